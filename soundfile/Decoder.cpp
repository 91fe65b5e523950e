#include "soundfile/Decoder.h"

#include "soundfile/DesktopServices.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SfInfo.h"

#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

bool MakeDirs(const std::string& dir) {
    for (size_t at = 1; at <= dir.size(); ++at) {
        if (at != dir.size() && dir[at] != '/')
            continue;
        const std::string part = dir.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st;
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsOurs(const std::string& name) {
    return name.size() > 4 && name.find(".wav") != std::string::npos && name[0] != '.';
}

// Removes the least recently used copies until the rest fit the budget;
// the copy just opened stays whatever its size.
void KeepWithinBudget(const std::string& dir, const std::string& keep) {
    struct Entry {
        std::string path;
        int64_t size;
        struct timespec used;
    };
    std::vector<Entry> entries;
    int64_t total = 0;
    const time_t now = std::time(nullptr);
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (!IsOurs(name))
                continue;
            const std::string path = dir + "/" + name;
            struct stat st;
            if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || path == keep)
                continue;
            if (name.find(".tmp") != std::string::npos) {
                if (now - st.st_mtime > kStaleTemporarySeconds)
                    ::unlink(path.c_str());
                continue;
            }
            entries.push_back({path, int64_t(st.st_size), st.st_atim});
            total += int64_t(st.st_size);
        }
        ::closedir(d);
    }
    struct stat kept;
    if (::stat(keep.c_str(), &kept) == 0)
        total += int64_t(kept.st_size);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.used.tv_sec != b.used.tv_sec ? a.used.tv_sec < b.used.tv_sec
                                              : a.used.tv_nsec < b.used.tv_nsec;
    });
    for (const Entry& e : entries) {
        if (total <= DecodedCacheBudget())
            break;
        if (::unlink(e.path.c_str()) == 0)
            total -= e.size;
    }
}

// Marks a copy as just used. Only the access time moves: the overview cache
// compares the modification time.
void MarkUsed(const std::string& path) {
    const struct timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_OMIT}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
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

std::string DecodedCacheDir() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    std::string base;
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "/tmp") + "/.cache";
    }
    return base + "/TOLQ/Kavirel/decoded";
}

int64_t DecodedCacheBudget() {
    return budget.load();
}

void SetDecodedCacheBudget(int64_t bytes) {
    budget.store(bytes);
}

DecodeResult DecodeToWav(int fd, const std::string& wavPath, DesktopServices& desktop) {
    DecodeResult result;
    SF_INFO in;
    SNDFILE* file = OpenAtStart(fd, in);
    if (!file)
        return result;
    result.format = FormatNameOf(in.format);
    if (in.channels < 1 || in.samplerate < 1) {
        sf_close(file);
        result.outcome = DecodeOutcome::Failed;
        result.problem = "The " + result.format + " file holds no sound that can be read!";
        return result;
    }
    if (in.frames > sf_count_t(UINT32_MAX) && in.frames != SF_COUNT_MAX) {
        sf_close(file);
        result.outcome = DecodeOutcome::Failed;
        result.problem = "This file holds " + std::to_string(in.frames) +
                         " sample frames; no more than 4294967295 can be analysed.";
        return result;
    }
    // Floats at full scale 1, as float WAV files hold them; a lossy decoder's
    // slight overshoot beyond it is kept, not clipped.
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);

    const Sample sample = SampleFor(in.format & SF_FORMAT_SUBMASK);
    const size_t frameBytes = size_t(BytesOf(sample)) * size_t(in.channels);
    std::string temp = wavPath + ".tmpXXXXXX";
    const int out = ::mkstemp(temp.data());
    if (out < 0) {
        sf_close(file);
        result.outcome = DecodeOutcome::Failed;
        result.problem =
            "The decoded copy cannot be written: " + std::string(std::strerror(errno)) + ".";
        return result;
    }
    ::fchmod(out, 0600);

    Converter converter(file, sample, in.channels);
    uint64_t dataBytes = 0;
    uint64_t frames = 0;
    int shown = -1;
    bool ok = WriteAll(out, WavHeader(sample, in.channels, in.samplerate, 0).data(), kHeaderSize);
    while (ok) {
        const sf_count_t n = converter.Next();
        if (n <= 0)
            break;
        ok = WriteAll(out, converter.Bytes(), size_t(n) * frameBytes);
        dataBytes += uint64_t(n) * frameBytes;
        frames += uint64_t(n);
        const int percent = in.frames > 0 && in.frames != SF_COUNT_MAX
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
    desktop.EndStoppableProgress();
    sf_close(file);
    if (ok && result.outcome != DecodeOutcome::Cancelled) {
        if (frames == 0 || frames > UINT32_MAX) {
            result.problem = frames == 0 ? "The " + result.format + " file holds no sample frames!"
                                         : "This file holds " + std::to_string(frames) +
                                               " sample frames; no more than 4294967295 can be "
                                               "analysed.";
            ok = false;
        } else {
            const uint8_t pad = 0;
            ok = ((dataBytes & 1) == 0 || WriteAll(out, &pad, 1)) &&
                 WriteAll(out, WavHeader(sample, in.channels, in.samplerate, dataBytes).data(),
                          kHeaderSize, 0);
            if (!ok)
                result.problem =
                    "The decoded copy cannot be written: " + std::string(std::strerror(errno)) +
                    ".";
        }
    } else if (!ok) {
        result.problem =
            "The decoded copy cannot be written: " + std::string(std::strerror(errno)) + ".";
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

DecodeResult DecodeSoundFile(const SfInfo& info, DesktopServices& desktop) {
    // Only a file libsndfile reads is worth a directory in the user's cache.
    SF_INFO probe;
    SNDFILE* file = OpenAtStart(info.handle, probe);
    if (!file)
        return DecodeResult{};
    sf_close(file);

    struct stat st;
    const std::string dir = DecodedCacheDir();
    DecodeResult result;
    result.format = FormatNameOf(probe.format);
    if (::fstat(info.handle, &st) != 0 || !MakeDirs(dir)) {
        result.outcome = DecodeOutcome::Failed;
        result.problem = "No folder for the decoded copy of this file can be made in " + dir + ".";
        return result;
    }
    char name[64];
    std::snprintf(
        name, sizeof name, "%016llx.wav",
        static_cast<unsigned long long>(
            Fnv1a(CanonicalSoundPath(info.path) + '\n' + std::to_string(st.st_size) + '\n' +
                  std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec))));
    const std::string wavPath = dir + "/" + name;

    struct stat copy;
    if (::lstat(wavPath.c_str(), &copy) == 0 && S_ISREG(copy.st_mode)) {
        MarkUsed(wavPath);
        result.outcome = DecodeOutcome::Decoded;
        result.wavPath = wavPath;
        return result;
    }
    result = DecodeToWav(info.handle, wavPath, desktop);
    if (result.outcome == DecodeOutcome::Decoded)
        KeepWithinBudget(dir, wavPath);
    return result;
}
