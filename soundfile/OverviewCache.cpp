#include "soundfile/OverviewCache.h"

#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr char kMagic[4] = {'S', 'F', 'V', '1'};
constexpr int kHeaderSize = 24;
constexpr int64_t kIso9660Magic = 0x9660;
constexpr int64_t kUdfMagic = 0x15013346;

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

bool OnReadOnlyMedium(const std::string& path) {
    struct statvfs vfs;
    if (::statvfs(path.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY))
        return true;
    struct statfs fs;
    if (::statfs(path.c_str(), &fs) == 0)
        return int64_t(fs.f_type) == kIso9660Magic || int64_t(fs.f_type) == kUdfMagic;
    return false;
}

bool LoadOverview(SfInfo& info, std::vector<float>& overview, int C) {
    info.overviewMethod = kOverviewWav;
    SfStat st;
    if (sfstat(info.handle, st) == -1)
        return false;
    const int fd = ::open(OverviewCachePath(info.path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    uint8_t header[kHeaderSize];
    bool loaded = false;
    if (ReadFully(fd, header, sizeof header) && std::memcmp(header, kMagic, 4) == 0 &&
        GetLe32(header + 4) == StoredTime(st.mtime) && GetLe32(header + 8) == uint32_t(C) &&
        GetLe32(header + 16) == uint32_t(info.dataOffset) &&
        GetLe32(header + 20) == uint32_t(info.flags)) {
        // A payload shorter than the header promises is a miss: a half-written
        // or truncated cache must not show as a partly empty overview.
        std::vector<uint8_t> payload(overview.size() * 4);
        if (ReadFully(fd, payload.data(), payload.size())) {
            for (size_t i = 0; i < overview.size(); ++i) {
                const uint32_t bits = GetLe32(payload.data() + 4 * i);
                float v;
                std::memcpy(&v, &bits, sizeof v);
                overview[i] = std::isfinite(v) ? v : 0.0f;
            }
            const int32_t method = int32_t(GetLe32(header + 12));
            info.overviewMethod = method == kOverviewRms ? kOverviewRms : kOverviewWav;
            loaded = true;
        }
    }
    ::close(fd);
    return loaded;
}

void SaveOverview(const SfInfo& info, const std::vector<float>& overview, int C) {
    if (OnReadOnlyMedium(info.path))
        return;
    SfStat st;
    if (sfstat(info.handle, st) == -1)
        return;
    const std::string path = OverviewCachePath(info.path);
    std::vector<uint8_t> bytes(kHeaderSize + overview.size() * 4);
    std::memcpy(bytes.data(), kMagic, 4);
    PutLe32(bytes.data() + 4, StoredTime(st.mtime));
    PutLe32(bytes.data() + 8, uint32_t(C));
    PutLe32(bytes.data() + 12, uint32_t(kOverviewWav));
    PutLe32(bytes.data() + 16, uint32_t(info.dataOffset));
    PutLe32(bytes.data() + 20, uint32_t(info.flags));
    for (size_t i = 0; i < overview.size(); ++i) {
        uint32_t bits;
        std::memcpy(&bits, &overview[i], sizeof bits);
        PutLe32(bytes.data() + kHeaderSize + 4 * i, bits);
    }
    // Written under a temporary name and renamed over the old cache, so that a
    // crash half-way never leaves a cache that loads.
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return;
    const bool written = ::fchmod(fd, 0644) == 0 && WriteFully(fd, bytes.data(), bytes.size());
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0)
        ::unlink(temp.c_str());
}

void SaveOverviewMethod(const SfInfo& info) {
    if (OnReadOnlyMedium(info.path))
        return;
    const int fd = ::open(OverviewCachePath(info.path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    uint8_t word[4];
    PutLe32(word, uint32_t(info.overviewMethod));
    while (::pwrite(fd, word, sizeof word, 12) < 0 && errno == EINTR) {
    }
    ::close(fd);
}
