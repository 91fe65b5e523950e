#include "soundfile/OverviewCache.h"

#include "soundfile/CanonicalPath.h"
#include "soundfile/Decoder.h"
#include "soundfile/Overview.h"
#include "soundfile/PrivateCacheFolder.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr char kMagic[4] = {'S', 'F', 'V', '1'};
constexpr int kHeaderSize = 24;
constexpr int kBareSize = 16; // the method word alone, after zeros
constexpr int64_t kIso9660Magic = 0x9660;
constexpr int64_t kUdfMagic = 0x15013346;
// Far beyond any level or 32-bit sample value an overview holds.
constexpr float kLargestValue = 1e12f;
// A temporary this old belongs to no running write any more.
constexpr time_t kStaleTemporarySeconds = 3600;

void PutLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t GetLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool ReadFully(int fd, uint8_t* out, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, out + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

bool WriteFully(int fd, const uint8_t* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// The header stores the modification time in 32 bits.
uint32_t StoredTime(int64_t mtime) {
    return static_cast<uint32_t>(mtime);
}

bool KnownMethod(uint32_t method) {
    return method == uint32_t(kOverviewWav) || method == uint32_t(kOverviewRms);
}

bool SameFile(const struct stat& st, const SfStat& sound) {
    return uint64_t(st.st_dev) == sound.device && uint64_t(st.st_ino) == sound.inode;
}

// Opens a path only when it is a regular file other than the sound file; a
// named pipe or device there would block or answer nonsense.
int OpenRegular(const std::string& path, int flags, const SfStat& sound, struct stat& st) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || SameFile(st, sound)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A cache is believed only when its owner is the user or the owner of the
// sound file: in a shared folder anyone else could have forged it.
bool TrustedOwner(const struct stat& st, const SfStat& sound) {
    return st.st_uid == ::geteuid() || st.st_uid == sound.owner;
}

// True when the bytes after the header are a whole number of channels of
// C values each, every one a finite number in range: a file that merely
// begins with "SFV1" (a checksum list, say) is no cache.
bool PlausibleCache(const uint8_t* bytes, size_t size) {
    if (size <= size_t(kHeaderSize) || std::memcmp(bytes, kMagic, 4) != 0)
        return false;
    const uint32_t C = GetLe32(bytes + 8);
    const size_t payload = size - kHeaderSize;
    if (C == 0 || C % 4 != 0 || payload % (size_t(C) * 4) != 0)
        return false;
    for (size_t at = kHeaderSize; at < size; at += 4) {
        const uint32_t bits = GetLe32(bytes + at);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value) || std::fabs(value) > kLargestValue)
            return false;
    }
    return true;
}

enum class Slot {
    Free,  // nothing there: a cache may be made
    Cache, // an overview cache, or the bare method word a method change leaves
    Taken, // anything else: the user's, never written over
};

Slot Inspect(const std::string& path, const SfStat& sound) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? Slot::Free : Slot::Taken;
    const int fd = OpenRegular(path, O_RDONLY, sound, st);
    if (fd < 0)
        return Slot::Taken;
    bool cache = false;
    // Twice the widest overview of many channels would still be a small file.
    constexpr int64_t kLargestCache = int64_t(64) << 20;
    if (TrustedOwner(st, sound) && st.st_size <= kLargestCache) {
        std::vector<uint8_t> bytes(size_t(st.st_size));
        if (ReadFully(fd, bytes.data(), bytes.size())) {
            if (bytes.size() == size_t(kBareSize))
                cache = std::all_of(bytes.begin(), bytes.begin() + 12,
                                    [](uint8_t b) { return b == 0; }) &&
                        KnownMethod(GetLe32(bytes.data() + 12));
            else
                cache = PlausibleCache(bytes.data(), bytes.size());
        }
    }
    ::close(fd);
    return cache ? Slot::Cache : Slot::Taken;
}

bool OlderThanSound(const struct stat& st, const SfStat& sound) {
    return int64_t(st.st_mtim.tv_sec) < sound.mtime ||
           (int64_t(st.st_mtim.tv_sec) == sound.mtime && st.st_mtim.tv_nsec < sound.mtimeNsec);
}

bool LoadFrom(const std::string& path, SfInfo& info, std::vector<float>& overview, int C,
              const SfStat& sound) {
    struct stat st;
    const int fd = OpenRegular(path, O_RDONLY, sound, st);
    if (fd < 0)
        return false;
    // Exactly the payload this file needs, from a trusted owner, and written
    // no earlier than the file's last change (the header's whole seconds
    // cannot tell). On a file system that keeps whole seconds only, a cache
    // made within the second of the change may predate a later change in
    // that same second: it is racy, and computed again.
    const size_t payload = overview.size() * 4;
    const bool racy = sound.mtimeNsec == 0 && int64_t(st.st_ctim.tv_sec) <= sound.mtime;
    std::vector<uint8_t> bytes;
    if (st.st_size == int64_t(kHeaderSize + payload) && TrustedOwner(st, sound) && !racy &&
        !OlderThanSound(st, sound)) {
        bytes.resize(kHeaderSize + payload);
        if (!ReadFully(fd, bytes.data(), bytes.size()))
            bytes.clear();
    }
    ::close(fd);
    const uint8_t* header = bytes.data();
    if (bytes.empty() || std::memcmp(header, kMagic, 4) != 0 ||
        GetLe32(header + 4) != StoredTime(sound.mtime) || GetLe32(header + 8) != uint32_t(C) ||
        GetLe32(header + 16) != uint32_t(info.dataOffset) ||
        GetLe32(header + 20) != uint32_t(info.flags))
        return false;
    std::vector<float> values(overview.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const uint32_t bits = GetLe32(header + kHeaderSize + 4 * i);
        std::memcpy(&values[i], &bits, sizeof bits);
    }
    if (!OverviewAgrees(info, values.data(), C / 4))
        return false;
    overview = std::move(values);
    info.overviewMethod =
        GetLe32(header + 12) == uint32_t(kOverviewRms) ? kOverviewRms : kOverviewWav;
    return true;
}

// Temporaries are hidden and named after the cache they become: ".a.sfv.kavirel-XXXXXX".
std::string TemporaryPrefix(const std::string& name) {
    return "." + name + ".kavirel-";
}

// A program killed while writing leaves its temporary behind; the next write
// of the same cache takes it away. Only what is provably such a leftover
// goes: exactly our naming, a regular file of this user, older than any
// running write could be, and beginning with a cache header.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string prefix = TemporaryPrefix(name);
    const time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string entryName = entry->d_name;
        if (entryName.size() != prefix.size() + 6 ||
            entryName.compare(0, prefix.size(), prefix) != 0)
            continue;
        const int fd = ::openat(::dirfd(dir), entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            continue;
        struct stat st;
        uint8_t header[kHeaderSize];
        const bool leftover =
            ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            now - st.st_mtime > kStaleTemporarySeconds && ReadFully(fd, header, sizeof header) &&
            std::memcmp(header, kMagic, 4) == 0 && GetLe32(header + 8) % 4 == 0 &&
            GetLe32(header + 8) > 0;
        ::close(fd);
        if (leftover)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// Written under a temporary name and renamed over the old cache, so that a
// crash half-way never leaves a cache that loads. The cache takes the sound
// file's modification time from before the overview was computed: a file
// changed since, even within the same second, is then newer than its cache.
bool WriteCache(const std::string& path, const std::vector<uint8_t>& bytes, const SfStat& sound) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    RemoveStaleTemporaries(folder, name);
    std::string temp = folder + "/" + TemporaryPrefix(name) + "XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const timespec times[2] = {{0, UTIME_OMIT}, {time_t(sound.mtime), long(sound.mtimeNsec)}};
    const bool written = ::fchmod(fd, 0644) == 0 && WriteFully(fd, bytes.data(), bytes.size()) &&
                         ::futimens(fd, times) == 0 && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// True when another sound file in the folder has the same cache name (x.wav
// beside x.WAV or x): one cache beside them could serve the wrong one.
bool StemShared(const std::string& soundPath) {
    const size_t slash = soundPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : soundPath.substr(0, slash);
    const std::string own = slash == std::string::npos ? soundPath : soundPath.substr(slash + 1);
    const std::string cacheName = OverviewCachePath(own);
    const std::vector<std::string> extensions = SoundFileExtensions();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    bool shared = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == own || name == cacheName || OverviewCachePath(name) != cacheName)
            continue;
        const size_t dot = name.rfind('.');
        const std::string extension =
            dot == std::string::npos || dot == 0 ? std::string() : Lower(name.substr(dot + 1));
        struct stat st;
        if ((extension.empty() ||
             std::find(extensions.begin(), extensions.end(), extension) != extensions.end()) &&
            ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode)) {
            shared = true;
            break;
        }
    }
    ::closedir(dir);
    return shared;
}

// Where a cache of the file may be, in the order they are looked at. The
// fallback is used only while the user's cache folder is private.
std::vector<std::string> CachePlaces(const SfInfo& info, bool forWriting) {
    std::vector<std::string> places;
    if ((!forWriting || !OnReadOnlyMedium(info.path)) && !StemShared(info.path))
        places.push_back(OverviewCachePath(info.path));
    std::string fallback = FallbackCachePath(info.path);
    if (!fallback.empty() && OpenPrivateCacheFolder().Ok())
        places.push_back(std::move(fallback));
    return places;
}

} // namespace

std::string OverviewCachePath(const std::string& soundPath) {
    const size_t slash = soundPath.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = soundPath.rfind('.');
    // A leading dot names a hidden file, not an extension.
    if (dot == std::string::npos || dot <= nameStart)
        return soundPath + ".sfv";
    return soundPath.substr(0, dot) + ".sfv";
}

std::string FallbackCachePath(const std::string& soundPath) {
    const std::string folder = CacheRootPath();
    if (folder.empty())
        return std::string();
    // 64-bit FNV-1a: stable from run to run, unlike std::hash. A collision
    // only costs a rebuild, since a loaded cache must agree with the file.
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : CanonicalSoundPath(soundPath)) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    char name[32];
    std::snprintf(name, sizeof name, "/%016llx.sfv", static_cast<unsigned long long>(hash));
    return folder + name;
}

bool OnReadOnlyMedium(const std::string& path) {
    struct statvfs vfs;
    if (::statvfs(path.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY))
        return true;
    struct statfs fs;
    if (::statfs(path.c_str(), &fs) == 0)
        return int64_t(fs.f_type) == kIso9660Magic || int64_t(fs.f_type) == kUdfMagic;
    return false;
}

bool LoadOverview(SfInfo& info, std::vector<float>& overview, int C, const SfStat& sound) {
    info.overviewMethod = kOverviewWav;
    for (const std::string& place : CachePlaces(info, false))
        if (LoadFrom(place, info, overview, C, sound))
            return true;
    return false;
}

void SaveOverview(const SfInfo& info, const std::vector<float>& overview, int C,
                  const SfStat& sound) {
    std::vector<uint8_t> bytes(kHeaderSize + overview.size() * 4);
    std::memcpy(bytes.data(), kMagic, 4);
    PutLe32(bytes.data() + 4, StoredTime(sound.mtime));
    PutLe32(bytes.data() + 8, uint32_t(C));
    PutLe32(bytes.data() + 12, uint32_t(kOverviewWav));
    PutLe32(bytes.data() + 16, uint32_t(info.dataOffset));
    PutLe32(bytes.data() + 20, uint32_t(info.flags));
    for (size_t i = 0; i < overview.size(); ++i) {
        uint32_t bits;
        std::memcpy(&bits, &overview[i], sizeof bits);
        PutLe32(bytes.data() + kHeaderSize + 4 * i, bits);
    }
    for (const std::string& place : CachePlaces(info, true)) {
        if (Inspect(place, sound) != Slot::Taken && WriteCache(place, bytes, sound))
            return;
    }
}

void SaveOverviewMethod(const SfInfo& info) {
    SfStat sound;
    if (sfstat(info.handle, sound) != 0)
        return;
    uint8_t word[4];
    PutLe32(word, uint32_t(info.overviewMethod));
    const std::vector<std::string> places = CachePlaces(info, true);
    bool written = false;
    for (const std::string& place : places) {
        struct stat st;
        if (Inspect(place, sound) != Slot::Cache)
            continue;
        const int fd = OpenRegular(place, O_WRONLY, sound, st);
        if (fd < 0)
            continue;
        while (::pwrite(fd, word, sizeof word, 12) < 0 && errno == EINTR) {
        }
        ::close(fd);
        written = true;
    }
    // Without a cache the word alone is kept, at the first place that is free.
    for (const std::string& place : places) {
        if (written)
            break;
        if (Inspect(place, sound) != Slot::Free)
            continue;
        const int fd = ::open(place.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            continue;
        uint8_t bare[kBareSize] = {};
        std::memcpy(bare + 12, word, sizeof word);
        written = WriteFully(fd, bare, sizeof bare);
        ::close(fd);
    }
}
