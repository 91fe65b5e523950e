// Files our own probes do not read, made by the usual encoders and opened
// through their decoded copies: compared with sox's decoding of the same
// file (opusdec's for Opus, which Debian's sox does not read), and the decoded copies kept, reused,
// replaced and removed.
#include "support/TestFiles.h"

#include "soundfile/Decoder.h"
#include "soundfile/OpenHead.h"
#include "soundfile/PrivateCacheFolder.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Opened {
    SfInfo info;
    OpenOutcome outcome = OpenOutcome::Refused;
    Opened(const std::string& path, RecordingDesktop& desktop) {
        info.path = path;
        outcome = OpenAndRecognise(info, desktop);
    }
    ~Opened() { sfclose(info.handle); }
};

int Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// Values of one channel scaled to full scale 1, as sox gives floats.
std::vector<double> Normalised(const SfInfo& info, int channel, uint32_t count) {
    std::vector<float> raw(count);
    ReadSamples(info, raw.data(), count, 0, channel);
    const int bits = (info.flags & kSfIeeeFloat) ? 32 : 8 * info.bytesPerSample;
    std::vector<double> out(count);
    for (uint32_t i = 0; i < count; ++i)
        out[i] = std::ldexp(double(raw[i]), 1 - bits);
    return out;
}

double Energy(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v)
        sum += x * x;
    return sum;
}

std::string DecodedFolder() {
    return CacheRootPath() + "/decoded";
}

std::vector<std::string> CopiesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    return names;
}

class Decoding : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CACHE_HOME", cache.Path().c_str(), 1);
        source = dir.Write("tone.wav", StereoTone(8000));
    }
    void TearDown() override {
        ::unsetenv("XDG_CACHE_HOME");
        SetDecodedCacheBudget(int64_t(4) << 30);
    }

    TempDir dir;
    TempDir cache;
    std::string source;
};

} // namespace

TEST_F(Decoding, EveryCodingReadsAsSoxDecodesIt) {
    const struct {
        const char* name;
        std::string make;   // from tone.wav in the scratch folder
        std::string decode; // name to ref.wav, in 32-bit floats
        const char* format;
        int flags, bytesPerSample;
        double tolerance; // per sample, of full scale; lossy files compare their energy
    } cases[] = {
        {"t.flac", "flac -s -o t.flac tone.wav", "sox t.flac -e floating-point -b 32 ref.wav",
         "FLAC", 3, 2, 0.0},
        {"t24.flac", "sox tone.wav -b 24 t24.flac", "sox t24.flac -e floating-point -b 32 ref.wav",
         "FLAC", 3, 3, 0.0},
        {"u.wav", "sox tone.wav -e u-law u.wav", "sox u.wav -e floating-point -b 32 ref.wav",
         "WAVE", 3, 2, 0.0},
        {"a.au", "sox tone.wav -e a-law a.au", "sox a.au -e floating-point -b 32 ref.wav", "AU", 3,
         2, 0.0},
        {"ima.wav", "sox tone.wav -e ima-adpcm ima.wav",
         "sox ima.wav -e floating-point -b 32 ref.wav", "WAVE", 3, 2, 0.0},
        {"ms.wav", "sox tone.wav -e ms-adpcm ms.wav", "sox ms.wav -e floating-point -b 32 ref.wav",
         "WAVE", 3, 2, 0.0},
        {"f64.wav", "sox tone.wav -e floating-point -b 64 f64.wav",
         "sox f64.wav -e floating-point -b 32 ref.wav", "WAVE", 3 | 256, 4, 0.0},
        {"t.w64", "sox tone.wav t.w64", "sox t.w64 -e floating-point -b 32 ref.wav", "W64", 3, 2,
         0.0},
        {"t.ogg", "oggenc -Q -o t.ogg tone.wav", "sox t.ogg -e floating-point -b 32 ref.wav", "OGG",
         3 | 256, 4, -1},
        {"t.opus", "opusenc --quiet tone.wav t.opus", "opusdec --quiet --float t.opus ref.wav",
         "OPUS", 3 | 256, 4, -1},
        {"t.mp3", "lame --quiet -b 128 tone.wav t.mp3", "sox t.mp3 -e floating-point -b 32 ref.wav",
         "MP3", 3 | 256, 4, -1},
    };
    const std::string in = "cd " + dir.Path() + " && ";
    for (const auto& c : cases) {
        ASSERT_EQ(Shell(in + c.make), 0) << c.make;
        const std::string path = dir.Path() + "/" + c.name;
        ASSERT_EQ(Shell(in + c.decode), 0) << c.decode;
        RecordingDesktop desktop;
        Opened ours(path, desktop);
        Opened sox(dir.Path() + "/ref.wav", desktop);
        ASSERT_EQ(ours.outcome, OpenOutcome::Opened) << c.name;
        ASSERT_EQ(sox.outcome, OpenOutcome::Opened) << c.name;
        EXPECT_EQ(ours.info.path, path);
        EXPECT_STREQ(FormatName(ours.info), c.format) << c.name;
        EXPECT_EQ(ours.info.flags, c.flags) << c.name;
        EXPECT_EQ(ours.info.bytesPerSample, c.bytesPerSample) << c.name;
        EXPECT_EQ(ours.info.rate, sox.info.rate) << c.name;
        EXPECT_EQ(ours.info.channels, 2) << c.name;
        EXPECT_TRUE(desktop.messages.empty()) << c.name;
        for (int channel = 0; channel < 2; ++channel) {
            const uint32_t n = 4000;
            if (c.tolerance < 0) {
                // Decoders of lossy codings differ in the encoder delay they
                // trim at the start, which is silence: the energy agrees (libsndfile's
                // mpg123 gives 6% more than sox's libmad here, nearer the source).
                const double a = Energy(Normalised(ours.info, channel, ours.info.frames));
                const double b = Energy(Normalised(sox.info, channel, sox.info.frames));
                EXPECT_NEAR(a, b, 0.1 * b) << c.name << " channel " << channel;
                continue;
            }
            const std::vector<double> a = Normalised(ours.info, channel, n);
            const std::vector<double> b = Normalised(sox.info, channel, n);
            EXPECT_EQ(ours.info.frames, sox.info.frames) << c.name;
            for (uint32_t i = 0; i < n; ++i)
                ASSERT_NEAR(a[i], b[i], c.tolerance)
                    << c.name << " channel " << channel << " at " << i;
        }
    }
}

TEST_F(Decoding, CopiesAreReusedReplacedAndKeptWithinTheBudget) {
    const std::string flac = dir.Path() + "/t.flac";
    ASSERT_EQ(Shell("flac -s -o " + flac + " " + source), 0);
    std::string first;
    struct stat made;
    {
        RecordingDesktop desktop;
        Opened o(flac, desktop);
        ASSERT_EQ(o.outcome, OpenOutcome::Opened);
        first = o.info.decodedPath;
        EXPECT_EQ(first.rfind(DecodedFolder() + "/", 0), 0u) << first;
        EXPECT_EQ(desktop.infoTexts.back(), "Decode 100%");
        ASSERT_EQ(::stat(first.c_str(), &made), 0);
    }
    {
        // Unchanged: the copy is read again, not written.
        RecordingDesktop desktop;
        Opened o(flac, desktop);
        ASSERT_EQ(o.outcome, OpenOutcome::Opened);
        EXPECT_EQ(o.info.decodedPath, first);
        EXPECT_TRUE(desktop.infoTexts.empty());
        struct stat again;
        ASSERT_EQ(::stat(first.c_str(), &again), 0);
        EXPECT_EQ(again.st_ino, made.st_ino);
        EXPECT_EQ(again.st_mtim.tv_nsec, made.st_mtim.tv_nsec);
    }
    {
        // Rewritten with other sound: a new copy with the new length.
        ASSERT_EQ(Shell("sox " + source + " " + flac + " trim 0 4000s"), 0);
        RecordingDesktop desktop;
        Opened o(flac, desktop);
        ASSERT_EQ(o.outcome, OpenOutcome::Opened);
        EXPECT_NE(o.info.decodedPath, first);
        EXPECT_EQ(o.info.frames, 4000u);
    }
    {
        // Over budget, the least recently used copies go; the one in use
        // stays. The budget holds the Ogg copy (8000 stereo float frames
        // and the header) alone.
        SetDecodedCacheBudget(8000 * 8 + 80 + 100);
        const std::string ogg = dir.Path() + "/t.ogg";
        ASSERT_EQ(Shell("oggenc -Q -o " + ogg + " " + source), 0);
        RecordingDesktop desktop;
        Opened o(ogg, desktop);
        ASSERT_EQ(o.outcome, OpenOutcome::Opened);
        const std::vector<std::string> left = CopiesIn(DecodedFolder());
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(DecodedFolder() + "/" + left[0], o.info.decodedPath);
    }
}

TEST_F(Decoding, StoppedDecodingLeavesNothingAndHeaderlessFilesStayRaw) {
    const std::string flac = dir.Path() + "/t.flac";
    ASSERT_EQ(Shell("flac -s -o " + flac + " " + source), 0);
    {
        RecordingDesktop desktop;
        desktop.stopProgress = true;
        Opened o(flac, desktop);
        EXPECT_EQ(o.outcome, OpenOutcome::Cancelled);
        EXPECT_EQ(o.info.handle, -1);
        EXPECT_TRUE(desktop.messages.empty());
        EXPECT_TRUE(CopiesIn(DecodedFolder()).empty());
    }
    {
        // Bytes without a header reach the raw-format dialog, never a decoder.
        RecordingDesktop desktop;
        Opened o(dir.Write("noise.raw", PcmBytes(std::vector<int32_t>(500, 300), 2)), desktop);
        EXPECT_EQ(o.outcome, OpenOutcome::Cancelled);
        EXPECT_EQ(desktop.rawAsked, 1);
        EXPECT_TRUE(CopiesIn(DecodedFolder()).empty());
    }
}

TEST_F(Decoding, DamagedShortenedAndOversizedFilesLeaveNoCopy) {
    const std::string in = "cd " + dir.Path() + " && ";
    ASSERT_EQ(Shell(in + "sox -n -r 8000 -c 2 -b 16 long.wav synth 20 sine 440 && "
                         "flac -s -o long.flac long.wav"),
              0);
    const std::string flac = dir.Path() + "/long.flac";
    const Bytes whole = ReadFileBytes(flac);
    const struct {
        const char* what;
        Bytes bytes;
        int64_t budget;
        const char* told;
    } cases[] = {
        {"cut in half", Bytes(whole.begin(), whole.begin() + long(whole.size() / 2)),
         int64_t(4) << 30, "Decoding stopped at frame"},
        // 20 s of stereo 16-bit sound need 625 KiB, more than a 512 KiB budget.
        {"larger than the budget", whole, int64_t(512) << 10, "needs 1 MiB"},
    };
    for (const auto& c : cases) {
        dir.Write("case.flac", c.bytes);
        SetDecodedCacheBudget(c.budget);
        RecordingDesktop desktop;
        Opened o(dir.Path() + "/case.flac", desktop);
        EXPECT_EQ(o.outcome, OpenOutcome::Refused) << c.what;
        ASSERT_EQ(desktop.messages.size(), 1u) << c.what;
        EXPECT_NE(desktop.messages[0].first.find(c.told), std::string::npos)
            << c.what << ": " << desktop.messages[0].first;
        EXPECT_TRUE(CopiesIn(DecodedFolder()).empty()) << c.what;
    }
    // The whole file decodes in full.
    SetDecodedCacheBudget(int64_t(4) << 30);
    RecordingDesktop desktop;
    Opened o(flac, desktop);
    ASSERT_EQ(o.outcome, OpenOutcome::Opened);
    EXPECT_EQ(o.info.frames, 160000u);
}

TEST_F(Decoding, OnlyCopiesOfOursAreUsedOrRemoved) {
    const std::string flac = dir.Path() + "/t.flac";
    ASSERT_EQ(Shell("flac -s -o " + flac + " " + source), 0);
    std::string copy;
    {
        RecordingDesktop desktop;
        Opened o(flac, desktop);
        ASSERT_EQ(o.outcome, OpenOutcome::Opened);
        copy = o.info.decodedPath;
    }
    // A copy planted with another rate (the predictable name of a shared
    // cache) is decoded again, not believed.
    Bytes planted = ReadFileBytes(copy);
    planted[60] = 0x80; // 16000 Hz
    planted[61] = 0x3E;
    std::filesystem::remove(copy);
    {
        std::ofstream(copy, std::ios::binary)
            .write(reinterpret_cast<const char*>(planted.data()), std::streamsize(planted.size()));
    }
    {
        RecordingDesktop desktop;
        Opened o(flac, desktop);
        ASSERT_EQ(o.outcome, OpenOutcome::Opened);
        EXPECT_EQ(o.info.rate, 8000);
        EXPECT_FALSE(desktop.infoTexts.empty());
    }
    // The user's files in the folder, even named like copies, outlive any budget.
    const std::string lookalike = DecodedFolder() + "/0123456789abcdef.wav";
    const std::string notes = DecodedFolder() + "/notes.wav.txt";
    {
        std::ofstream(lookalike) << "not a copy";
        std::ofstream(notes) << "mine";
    }
    SetDecodedCacheBudget(1000);
    ASSERT_EQ(Shell("sox " + source + " " + flac + " trim 0 100s"), 0);
    RecordingDesktop desktop;
    Opened o(flac, desktop);
    ASSERT_EQ(o.outcome, OpenOutcome::Opened);
    EXPECT_TRUE(std::filesystem::exists(lookalike));
    EXPECT_TRUE(std::filesystem::exists(notes));
    EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST_F(Decoding, ACacheFolderThatIsNotPrivateIsRefused) {
    const std::string flac = dir.Path() + "/t.flac";
    ASSERT_EQ(Shell("flac -s -o " + flac + " " + source), 0);
    TempDir music;
    const std::string recording = music.Write("recording1.wav", StereoTone(100));
    const std::string lookalike = music.Write("0123456789abcdef.wav", StereoTone(100));
    const std::string root = cache.Path() + "/TOLQ/Kavirel";
    const struct {
        const char* what;
        std::function<void()> plant;
        bool needsRoot;
    } cases[] = {
        {"decoded is a link to the user's music",
         [&] {
             std::filesystem::create_directories(root);
             ASSERT_EQ(::symlink(music.Path().c_str(), (root + "/decoded").c_str()), 0);
         },
         false},
        {"Kavirel is a link",
         [&] {
             std::filesystem::create_directories(cache.Path() + "/TOLQ");
             ASSERT_EQ(::symlink(music.Path().c_str(), root.c_str()), 0);
         },
         false},
        {"the cache home is writable by everyone",
         [&] { ASSERT_EQ(::chmod(cache.Path().c_str(), 0777), 0); }, false},
        {"TOLQ belongs to another user",
         [&] {
             std::filesystem::create_directories(root);
             ASSERT_EQ(::chown((cache.Path() + "/TOLQ").c_str(), 65534, 65534), 0);
         },
         true},
    };
    for (const auto& c : cases) {
        if (c.needsRoot && ::geteuid() != 0)
            continue;
        std::filesystem::remove_all(cache.Path() + "/TOLQ");
        ::chmod(cache.Path().c_str(), 0700);
        c.plant();
        SetDecodedCacheBudget(1);
        RecordingDesktop desktop;
        Opened o(flac, desktop);
        EXPECT_EQ(o.outcome, OpenOutcome::Refused) << c.what;
        ASSERT_EQ(desktop.messages.size(), 1u) << c.what;
        EXPECT_NE(desktop.messages[0].first.find(cache.Path()), std::string::npos)
            << c.what << ": " << desktop.messages[0].first;
        EXPECT_TRUE(std::filesystem::exists(recording)) << c.what;
        EXPECT_TRUE(std::filesystem::exists(lookalike)) << c.what;
        EXPECT_EQ(CopiesIn(music.Path()).size(), 2u) << c.what;
    }
    ::chmod(cache.Path().c_str(), 0700);

    // Without XDG_CACHE_HOME and HOME the home of the account is used, never
    // a shared folder.
    ::unsetenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::unsetenv("HOME");
    const std::string fallback = CacheRootPath();
    if (!savedHome.empty())
        ::setenv("HOME", savedHome.c_str(), 1);
    EXPECT_EQ(fallback, std::string(::getpwuid(::geteuid())->pw_dir) + "/.cache/TOLQ/Kavirel");
}
