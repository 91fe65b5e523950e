#include "soundfile/Decoder.h"

#include "soundfile/CanonicalPath.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/PrivateCacheFolder.h"
#include "soundfile/SettingsStore.h"
#include "soundfile/SfInfo.h"

#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int64_t kDefaultBudget = int64_t(4) << 30;
std::atomic<int64_t> budget{kDefaultBudget};

// Frames per read: large enough that libsndfile's per-call cost vanishes,
// small enough for the buffers to stay in the cache.
constexpr sf_count_t kChunkFrames = 16384;

// A temporary left by a run that was killed while decoding is this old
// before the next run removes it; a younger one may belong to a running program.
constexpr time_t kStaleTemporarySeconds = 3600;

// The header written first: RIFF, a "JUNK" chunk that becomes "ds64" when the
// file outgrows 4 GiB, "fmt " and the data chunk's header.
constexpr int kJunkSize = 28;
constexpr int kHeaderSize = 12 + 8 + kJunkSize + 8 + 16 + 8;

void PutLe16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void PutLe32(uint8_t* p, uint32_t v) {
    PutLe16(p, v & 0xFFFF);
    PutLe16(p + 2, v >> 16);
}
void PutLe64(uint8_t* p, uint64_t v) {
    PutLe32(p, uint32_t(v));
    PutLe32(p + 4, uint32_t(v >> 32));
}

bool WriteAll(int fd, const void* data, size_t size, off_t at = -1) {
    const auto* p = static_cast<const uint8_t*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = at < 0 ? ::write(fd, p + done, size - done)
                                 : ::pwrite(fd, p + done, size - done, at + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// How the decoded copy stores the samples of a libsndfile subtype.
enum class Sample { U8, S16, S24, S32, Float };

Sample SampleFor(int subtype) {
    switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return Sample::U8;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_ALAC_20:
    case SF_FORMAT_ALAC_24:
    case SF_FORMAT_DWVW_24:
        return Sample::S24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
        return Sample::S32;
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_I:
    case SF_FORMAT_MPEG_LAYER_II:
    case SF_FORMAT_MPEG_LAYER_III:
    case SF_FORMAT_DWVW_N:
        return Sample::Float;
    default:
        // 16-bit PCM, and the companded and ADPCM codings, whose decoders
        // give 16-bit integers exactly.
        return Sample::S16;
    }
}

int BytesOf(Sample s) {
    switch (s) {
    case Sample::U8:
        return 1;
    case Sample::S16:
        return 2;
    case Sample::S24:
        return 3;
    default:
        return 4;
    }
}

std::string FormatNameOf(int format) {
    switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_FLAC:
        return "FLAC";
    case SF_FORMAT_OGG:
        return (format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS ? "OPUS" : "OGG";
    case SF_FORMAT_MPEG:
        return "MP3";
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
        return "WAVE";
    case SF_FORMAT_RF64:
        return "RF64";
    case SF_FORMAT_AU:
        return "AU";
    case SF_FORMAT_AIFF:
        return "AIFF";
    case SF_FORMAT_CAF:
        return "CAF";
    case SF_FORMAT_W64:
        return "W64";
    default:
        break;
    }
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_TYPEMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.extension) {
        std::string name(info.extension);
        for (char& c : name)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        return name;
    }
    return "Unknown";
}

// Converts frames x channels decoded values into the stored bytes.
class Converter {
public:
    Converter(SNDFILE* file, Sample sample, int channels)
        : file_(file), sample_(sample), channels_(size_t(channels)) {
        const size_t values = size_t(kChunkFrames) * channels_;
        if (sample_ == Sample::Float)
            floats_.resize(values);
        else if (sample_ == Sample::U8 || sample_ == Sample::S16)
            shorts_.resize(values);
        else
            ints_.resize(values);
        bytes_.resize(values * size_t(BytesOf(sample_)));
    }

    // Decodes the next frames; returns how many, 0 at the end.
    sf_count_t Next() {
        switch (sample_) {
        case Sample::Float:
            return sf_readf_float(file_, floats_.data(), kChunkFrames);
        case Sample::S16: {
            const sf_count_t n = sf_readf_short(file_, shorts_.data(), kChunkFrames);
            std::memcpy(bytes_.data(), shorts_.data(), size_t(n) * channels_ * 2);
            return n;
        }
        case Sample::U8: {
            const sf_count_t n = sf_readf_short(file_, shorts_.data(), kChunkFrames);
            for (size_t i = 0; i < size_t(n) * channels_; ++i)
                bytes_[i] = uint8_t((shorts_[i] >> 8) + 128);
            return n;
        }
        case Sample::S24: {
            const sf_count_t n = sf_readf_int(file_, ints_.data(), kChunkFrames);
            uint8_t* out = bytes_.data();
            for (size_t i = 0; i < size_t(n) * channels_; ++i, out += 3) {
                const uint32_t v = uint32_t(ints_[i]);
                out[0] = uint8_t(v >> 8);
                out[1] = uint8_t(v >> 16);
                out[2] = uint8_t(v >> 24);
            }
            return n;
        }
        case Sample::S32:
            return sf_readf_int(file_, ints_.data(), kChunkFrames);
        }
        return 0;
    }

    const void* Bytes() const {
        if (sample_ == Sample::Float)
            return floats_.data();
        if (sample_ == Sample::S32)
            return ints_.data();
        return bytes_.data();
    }

private:
    SNDFILE* file_;
    Sample sample_;
    size_t channels_;
    std::vector<float> floats_;
    std::vector<short> shorts_;
    std::vector<int> ints_;
    std::vector<uint8_t> bytes_;
};

// The RIFF header for data bytes of sound, RF64 with its "ds64" chunk when
// the file would not fit the 32-bit sizes.
std::vector<uint8_t> WavHeader(Sample sample, int channels, int rate, uint64_t dataBytes) {
    const int bytes = BytesOf(sample);
    const uint64_t riffSize = uint64_t(kHeaderSize) - 8 + dataBytes + (dataBytes & 1);
    const bool rf64 = riffSize > 0xFFFFFFFFu;
    std::vector<uint8_t> h(kHeaderSize, 0);
    uint8_t* p = h.data();
    std::memcpy(p, rf64 ? "RF64" : "RIFF", 4);
    PutLe32(p + 4, rf64 ? 0xFFFFFFFFu : uint32_t(riffSize));
    std::memcpy(p + 8, "WAVE", 4);
    p += 12;
    std::memcpy(p, rf64 ? "ds64" : "JUNK", 4);
    PutLe32(p + 4, kJunkSize);
    if (rf64) {
        const uint64_t blockAlign = uint64_t(bytes) * uint64_t(channels);
        PutLe64(p + 8, riffSize);
        PutLe64(p + 16, dataBytes);
        PutLe64(p + 24, dataBytes / blockAlign);
    }
    p += 8 + kJunkSize;
    std::memcpy(p, "fmt ", 4);
    PutLe32(p + 4, 16);
    PutLe16(p + 8, sample == Sample::Float ? 3 : 1);
    PutLe16(p + 10, uint32_t(channels));
    PutLe32(p + 12, uint32_t(rate));
    PutLe32(p + 16, uint32_t(rate) * uint32_t(bytes * channels));
    PutLe16(p + 20, uint32_t(bytes * channels));
    PutLe16(p + 22, uint32_t(8 * bytes));
    p += 24;
    std::memcpy(p, "data", 4);
    PutLe32(p + 4, rf64 ? 0xFFFFFFFFu : uint32_t(dataBytes));
    return h;
}

// libsndfile gets a descriptor of its own: it closes the one it is given when
// it does not read the file, whatever it is asked. It reads from the shared
// file position, which our positioned reads never move but an earlier
// libsndfile open did.
SNDFILE* OpenAtStart(int fd, SF_INFO& info) {
    info = SF_INFO{};
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return nullptr;
    if (::lseek(own, 0, SEEK_SET) != 0) {
        ::close(own);
        return nullptr;
    }
    return sf_open_fd(own, SFM_READ, &info, SF_TRUE);
}

// FNV-1a: names a decoded copy by what identifies the version of its source.
uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

constexpr size_t kCopyNameSize = 16 + 4;       // sixteen hex digits and ".wav"
constexpr size_t kTemporarySuffixSize = 4 + 6; // ".tmp" and mkstemp's six characters

// Room left free on the disk while decoding, for everything else the user does.
constexpr uint64_t kFreeSpaceReserve = uint64_t(64) << 20;
// How often, in bytes written, a running decode looks at the free space.
constexpr uint64_t kSpaceCheckInterval = uint64_t(64) << 20;

bool IsCopyName(const std::string& name) {
    return name.size() == kCopyNameSize && name.compare(16, 4, ".wav") == 0 &&
           std::all_of(name.begin(), name.begin() + 16, [](char c) {
               return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f');
           });
}

bool IsTemporaryName(const std::string& name) {
    return name.size() == kCopyNameSize + kTemporarySuffixSize &&
           IsCopyName(name.substr(0, kCopyNameSize)) && name.compare(kCopyNameSize, 4, ".tmp") == 0;
}

uint32_t GetLe16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
uint32_t GetLe32(const uint8_t* p) {
    return GetLe16(p) | GetLe16(p + 2) << 16;
}
uint64_t GetLe64(const uint8_t* p) {
    return uint64_t(GetLe32(p)) | uint64_t(GetLe32(p + 4)) << 32;
}

// What the header of a decoded copy says, when the file is exactly one that
// DecodeToWav wrote: its fixed chunk layout and a size that matches the data.
struct CopyLayout {
    bool valid = false;
    bool isFloat = false;
    int channels = 0;
    int rate = 0;
    int bytesPerSample = 0;
    uint64_t frames = 0;
};

CopyLayout ReadCopyLayout(int fd, int64_t fileSize) {
    CopyLayout layout;
    uint8_t h[kHeaderSize];
    if (fileSize < kHeaderSize || ::pread(fd, h, kHeaderSize, 0) != kHeaderSize)
        return layout;
    const bool rf64 = std::memcmp(h, "RF64", 4) == 0;
    if ((!rf64 && std::memcmp(h, "RIFF", 4) != 0) || std::memcmp(h + 8, "WAVE", 4) != 0 ||
        std::memcmp(h + 12, rf64 ? "ds64" : "JUNK", 4) != 0 || GetLe32(h + 16) != kJunkSize ||
        std::memcmp(h + 48, "fmt ", 4) != 0 || GetLe32(h + 52) != 16 ||
        std::memcmp(h + 72, "data", 4) != 0)
        return layout;
    const uint32_t tag = GetLe16(h + 56);
    layout.channels = int(GetLe16(h + 58));
    layout.rate = int(GetLe32(h + 60));
    const uint32_t blockAlign = GetLe16(h + 68);
    layout.bytesPerSample = int(GetLe16(h + 70) / 8);
    const uint64_t dataBytes = rf64 ? GetLe64(h + 28) : GetLe32(h + 76);
    if ((tag != 1 && tag != 3) || layout.channels < 1 || layout.rate < 1 ||
        layout.bytesPerSample < 1 || layout.bytesPerSample > 4 ||
        blockAlign != uint32_t(layout.bytesPerSample * layout.channels) ||
        dataBytes % blockAlign != 0 ||
        uint64_t(fileSize) != uint64_t(kHeaderSize) + dataBytes + (dataBytes & 1))
        return layout;
    layout.isFloat = tag == 3;
    layout.frames = dataBytes / blockAlign;
    layout.valid = true;
    return layout;
}

// Opens an entry of the copies' folder when it is a regular file of this user.
int OpenOwnEntry(int dirFd, const std::string& name, struct stat& st) {
    const int fd =
        ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Removes the least recently used copies until the rest, with room for
// reserve more bytes, fit the budget; the copy named keep stays. Only files
// with a copy's name and a copy's exact header and size are touched, and
// temporaries of ours that no running decode can still own.
void KeepWithinBudget(const PrivateFolder& folder, const std::string& keep, uint64_t reserve) {
    struct Entry {
        std::string name;
        int64_t size;
        struct timespec used;
    };
    std::vector<Entry> entries;
    int64_t total = int64_t(std::min<uint64_t>(reserve, INT64_MAX / 2));
    const time_t now = std::time(nullptr);
    const int listFd = ::openat(folder.Fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* d = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!d) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        const bool temporary = IsTemporaryName(name);
        if (!temporary && !IsCopyName(name))
            continue;
        struct stat st;
        const int fd = OpenOwnEntry(folder.Fd(), name, st);
        if (fd < 0)
            continue;
        const bool copy = !temporary && ReadCopyLayout(fd, st.st_size).valid;
        ::close(fd);
        if (temporary) {
            if (now - st.st_mtime > kStaleTemporarySeconds)
                ::unlinkat(folder.Fd(), name.c_str(), 0);
            continue;
        }
        if (!copy)
            continue;
        total += int64_t(st.st_size);
        if (name != keep)
            entries.push_back({name, int64_t(st.st_size), st.st_atim});
    }
    ::closedir(d);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.used.tv_sec != b.used.tv_sec ? a.used.tv_sec < b.used.tv_sec
                                              : a.used.tv_nsec < b.used.tv_nsec;
    });
    for (const Entry& e : entries) {
        if (total <= DecodedCacheBudget())
            break;
        if (::unlinkat(folder.Fd(), e.name.c_str(), 0) == 0)
            total -= e.size;
    }
}

// Bytes the disk holding path can still take, beyond the reserve.
uint64_t FreeBytes(const std::string& folder) {
    struct statvfs vfs;
    if (::statvfs(folder.c_str(), &vfs) != 0)
        return UINT64_MAX;
    const uint64_t free = uint64_t(vfs.f_bavail) * uint64_t(vfs.f_frsize);
    return free > kFreeSpaceReserve ? free - kFreeSpaceReserve : 0;
}

std::string MiB(uint64_t bytes) {
    return std::to_string((bytes + (uint64_t(1) << 20) - 1) >> 20) + " MiB";
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Why a decode whose copy takes total bytes, of which stillToWrite are not
// written yet, may not go on; empty when it may.
std::string RoomProblem(uint64_t total, uint64_t stillToWrite, const std::string& folder) {
    if (total > uint64_t(DecodedCacheBudget()))
        return "Decoding this file needs " + MiB(total) + " for its copy, more than the " +
               MiB(uint64_t(DecodedCacheBudget())) +
               " that decoded copies may take (setting DecodedCacheMiB).";
    const uint64_t free = FreeBytes(folder);
    if (stillToWrite > free)
        return "Decoding this file needs " + MiB(total) + " for its copy, but only " + MiB(free) +
               " more are free in " + folder + ".";
    return std::string();
}

} // namespace

std::vector<std::string> SoundFileExtensions() {
    // Our own, and the usual names of what libsndfile lists under another.
    std::vector<std::string> names = {"wav", "bwf", "rf64", "aif", "aiff", "aifc", "au",
                                      "snd", "raw", "pcm",  "ogg", "opus", "mp3",  "mp2"};
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO info{};
        info.format = i;
        if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) == 0 && info.extension)
            names.emplace_back(info.extension);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

int64_t DecodedCacheBudget() {
    return budget.load();
}

void SetDecodedCacheBudget(int64_t bytes) {
    budget.store(bytes);
}

int64_t DecodedCacheBudgetSetting(SettingsStore& store) {
    const int mebibytes = store.GetInt("General", "DecodedCacheMiB", int(kDefaultBudget >> 20));
    return int64_t(std::max(mebibytes, 0)) << 20;
}

DecodeResult DecodeToWav(int fd, const std::string& wavPath, DesktopServices& desktop) {
    DecodeResult result;
    SF_INFO in;
    SNDFILE* file = OpenAtStart(fd, in);
    if (!file)
        return result;
    result.format = FormatNameOf(in.format);
    const auto fail = [&](std::string problem) {
        sf_close(file);
        result.outcome = DecodeOutcome::Failed;
        result.problem = std::move(problem);
        return result;
    };
    if (in.channels < 1 || in.samplerate < 1)
        return fail("The " + result.format + " file holds no sound that can be read!");
    const bool framesKnown = in.frames >= 0 && in.frames != SF_COUNT_MAX;
    if (framesKnown && in.frames > sf_count_t(UINT32_MAX))
        return fail("This file holds " + std::to_string(in.frames) +
                    " sample frames; no more than 4294967295 can be analysed.");
    // Floats at full scale 1, as float WAV files hold them; a lossy decoder's
    // slight overshoot beyond it is kept, not clipped.
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);

    const Sample sample = SampleFor(in.format & SF_FORMAT_SUBMASK);
    const size_t frameBytes = size_t(BytesOf(sample)) * size_t(in.channels);
    // A few megabytes of a compressed file may hold gigabytes of sound: the
    // copy must fit the budget and the disk before and while it is written.
    const std::string folder = FolderOf(wavPath);
    if (framesKnown) {
        const uint64_t total = uint64_t(kHeaderSize) + uint64_t(in.frames) * frameBytes;
        const std::string problem = RoomProblem(total, total, folder);
        if (!problem.empty())
            return fail(problem);
    }
    std::string temp = wavPath + ".tmpXXXXXX";
    const int out = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0)
        return fail("The decoded copy cannot be written: " + std::string(std::strerror(errno)) +
                    ".");
    ::fchmod(out, 0600);

    Converter converter(file, sample, in.channels);
    uint64_t dataBytes = 0;
    uint64_t frames = 0;
    uint64_t nextSpaceCheck = kSpaceCheckInterval;
    int shown = -1;
    bool ok = WriteAll(out, WavHeader(sample, in.channels, in.samplerate, 0).data(), kHeaderSize);
    while (ok) {
        const sf_count_t n = converter.Next();
        if (n <= 0)
            break;
        ok = WriteAll(out, converter.Bytes(), size_t(n) * frameBytes);
        dataBytes += uint64_t(n) * frameBytes;
        frames += uint64_t(n);
        if (ok && (kHeaderSize + dataBytes > uint64_t(DecodedCacheBudget()) ||
                   dataBytes >= nextSpaceCheck)) {
            nextSpaceCheck = dataBytes + kSpaceCheckInterval;
            // The bytes still to come, as far as the file declares them, and
            // at least until the next look.
            const uint64_t rest = framesKnown && uint64_t(in.frames) > frames
                                      ? (uint64_t(in.frames) - frames) * frameBytes
                                      : 0;
            result.problem = RoomProblem(kHeaderSize + dataBytes + rest,
                                         std::max(rest, kSpaceCheckInterval), folder);
            if (!result.problem.empty()) {
                ok = false;
                break;
            }
        }
        const int percent = framesKnown && in.frames > 0
                                ? int(std::min<uint64_t>(100, frames * 100 / uint64_t(in.frames)))
                                : 0;
        if (percent != shown) {
            shown = percent;
            char text[32];
            std::snprintf(text, sizeof text, "Decode %d%%", percent);
            if (!desktop.ShowStoppableProgress(text, percent)) {
                result.outcome = DecodeOutcome::Cancelled;
                break;
            }
        }
    }
    const int writeError = errno;
    desktop.EndStoppableProgress();
    sf_close(file);
    if (ok && result.outcome != DecodeOutcome::Cancelled) {
        if (frames == 0 || frames > UINT32_MAX) {
            result.problem = frames == 0 ? "The " + result.format + " file holds no sample frames!"
                                         : "This file holds " + std::to_string(frames) +
                                               " sample frames; no more than 4294967295 can be "
                                               "analysed.";
            ok = false;
        } else if (framesKnown && frames < uint64_t(in.frames)) {
            // A damaged or shortened file: its copy would pass for the whole.
            result.problem = "Decoding stopped at frame " + std::to_string(frames) + " of " +
                             std::to_string(in.frames) + ": the file is damaged.";
            ok = false;
        } else {
            const uint8_t pad = 0;
            ok = ((dataBytes & 1) == 0 || WriteAll(out, &pad, 1)) &&
                 WriteAll(out, WavHeader(sample, in.channels, in.samplerate, dataBytes).data(),
                          kHeaderSize, 0) &&
                 ::fsync(out) == 0;
            if (!ok)
                result.problem =
                    "The decoded copy cannot be written: " + std::string(std::strerror(errno)) +
                    ".";
        }
    } else if (!ok && result.problem.empty()) {
        result.problem =
            "The decoded copy cannot be written: " + std::string(std::strerror(writeError)) + ".";
    }
    ok = ::close(out) == 0 && ok;
    if (result.outcome != DecodeOutcome::Cancelled && ok &&
        ::rename(temp.c_str(), wavPath.c_str()) == 0) {
        result.outcome = DecodeOutcome::Decoded;
        result.wavPath = wavPath;
        return result;
    }
    ::unlink(temp.c_str());
    if (result.outcome != DecodeOutcome::Cancelled) {
        result.outcome = DecodeOutcome::Failed;
        if (result.problem.empty())
            result.problem = "The decoded copy cannot be written.";
    }
    return result;
}

namespace {

// Marks a copy as just used. Only the access time moves: the overview cache
// compares the modification time.
void MarkUsed(const std::string& path) {
    const struct timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_OMIT}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// A copy is used again only when it is what decoding the source now would
// give: the same rate, channels, sample coding and, where the source
// declares it, the same number of frames.
bool CopyMatchesSource(const PrivateFolder& folder, const std::string& name,
                       const SF_INFO& source) {
    struct stat st;
    const int fd = OpenOwnEntry(folder.Fd(), name, st);
    if (fd < 0)
        return false;
    const CopyLayout copy = ReadCopyLayout(fd, st.st_size);
    ::close(fd);
    const Sample sample = SampleFor(source.format & SF_FORMAT_SUBMASK);
    const bool framesKnown = source.frames >= 0 && source.frames != SF_COUNT_MAX;
    return copy.valid && copy.channels == source.channels && copy.rate == source.samplerate &&
           copy.bytesPerSample == BytesOf(sample) && copy.isFloat == (sample == Sample::Float) &&
           (!framesKnown || copy.frames == uint64_t(source.frames));
}

} // namespace

DecodeResult DecodeSoundFile(const SfInfo& info, DesktopServices& desktop) {
    // Only a file libsndfile reads is worth a directory in the user's cache.
    SF_INFO probe;
    SNDFILE* file = OpenAtStart(info.handle, probe);
    if (!file)
        return DecodeResult{};
    sf_close(file);

    struct stat st;
    DecodeResult result;
    result.format = FormatNameOf(probe.format);
    const PrivateFolder folder = OpenPrivateCacheFolder("decoded");
    if (!folder.Ok() || ::fstat(info.handle, &st) != 0) {
        result.outcome = DecodeOutcome::Failed;
        result.problem = folder.Ok() ? "The file cannot be read." : folder.Problem();
        return result;
    }
    char name[64];
    std::snprintf(
        name, sizeof name, "%016llx.wav",
        static_cast<unsigned long long>(
            Fnv1a(CanonicalSoundPath(info.path) + '\n' + std::to_string(st.st_size) + '\n' +
                  std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec))));
    const std::string wavPath = folder.Path() + "/" + name;

    if (CopyMatchesSource(folder, name, probe)) {
        MarkUsed(wavPath);
        result.outcome = DecodeOutcome::Decoded;
        result.wavPath = wavPath;
        return result;
    }
    // Room for the new copy is made first, from the least recently used.
    const bool framesKnown = probe.frames >= 0 && probe.frames != SF_COUNT_MAX;
    const uint64_t needed =
        framesKnown ? uint64_t(kHeaderSize) +
                          uint64_t(probe.frames) *
                              uint64_t(BytesOf(SampleFor(probe.format & SF_FORMAT_SUBMASK))) *
                              uint64_t(std::max(probe.channels, 1))
                    : 0;
    if (needed <= uint64_t(DecodedCacheBudget()))
        KeepWithinBudget(folder, name, needed);
    result = DecodeToWav(info.handle, wavPath, desktop);
    if (result.outcome == DecodeOutcome::Decoded)
        KeepWithinBudget(folder, name, 0);
    return result;
}
