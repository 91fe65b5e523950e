// Files our own probes do not read, made by the usual encoders and opened
// through their decoded copies: compared with sox's decoding of the same
// file (opusdec's for Opus, which Debian's sox does not read), and the decoded copies kept, reused,
// replaced and removed.
#include "support/TestFiles.h"

#include "soundfile/Decoder.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

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
        EXPECT_EQ(first.rfind(DecodedCacheDir() + "/", 0), 0u) << first;
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
        // Over budget, the least recently used copies go; the one in use stays.
        SetDecodedCacheBudget(1);
        const std::string ogg = dir.Path() + "/t.ogg";
        ASSERT_EQ(Shell("oggenc -Q -o " + ogg + " " + source), 0);
        RecordingDesktop desktop;
        Opened o(ogg, desktop);
        ASSERT_EQ(o.outcome, OpenOutcome::Opened);
        const std::vector<std::string> left = CopiesIn(DecodedCacheDir());
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(DecodedCacheDir() + "/" + left[0], o.info.decodedPath);
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
        EXPECT_TRUE(CopiesIn(DecodedCacheDir()).empty());
    }
    {
        // Bytes without a header reach the raw-format dialog, never a decoder.
        RecordingDesktop desktop;
        Opened o(dir.Write("noise.raw", PcmBytes(std::vector<int32_t>(500, 300), 2)), desktop);
        EXPECT_EQ(o.outcome, OpenOutcome::Cancelled);
        EXPECT_EQ(desktop.rawAsked, 1);
        EXPECT_TRUE(CopiesIn(DecodedCacheDir()).empty());
    }
}
