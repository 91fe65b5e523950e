// kavirel-cli spectrum, envelope and pitch as scripts use them: the lines they
// print, checked against known sine spectra, the closed form of cepstral
// smoothing, plain min/max scans and pulse trains of known period; their
// messages and exit codes.
#include "cli/CliRunner.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Column c of every line, as numbers.
std::vector<double> Column(const std::vector<std::string>& lines, size_t c) {
    std::vector<double> values;
    for (const std::string& line : lines)
        values.push_back(std::stod(Fields(line).at(c)));
    return values;
}

std::vector<int32_t> Sine(int frames, double hz, double rate, double amplitude) {
    std::vector<int32_t> values(frames);
    for (int t = 0; t < frames; ++t)
        values[t] = int32_t(std::lround(amplitude * std::sin(2.0 * kPi * hz * t / rate)));
    return values;
}

class AnalysisCli : public CliFiles {
protected:
    // Runs kavirel-cli with the settings in the scratch configuration home.
    Result Run(const std::vector<std::string>& args) {
        return RunCli("XDG_CONFIG_HOME=" + Quote(config.Path()), args, dir.Path());
    }

    void Settings(const std::string& text) {
        std::filesystem::create_directories(config.Path() + "/TOLQ");
        std::ofstream(config.Path() + "/TOLQ/Kavirel.conf") << text;
    }
};

} // namespace

TEST_F(AnalysisCli, SpectrumOfASineAtAnInstant) {
    // 1000 Hz at 8000 Hz is bin 32 of 256. Under a Hanning window a whole-bin
    // sine of amplitude A sums to A N / 4 there and half that next to it.
    const std::string path = Wav(Sine(4096, 1000, 8000, 10000), 8000);
    const Result r = Run(
        {"spectrum", path, "--start", "100", "--lfft", "256", "--lwdw", "256", "--window", "2"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 128u);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> f = Fields(lines[i]);
        ASSERT_EQ(f.size(), 3u) << lines[i];
        ASSERT_EQ(f[0], std::to_string(i));
    }
    EXPECT_EQ(Fields(lines[1])[1], "31.25");
    EXPECT_EQ(Fields(lines[32])[1], "1000");
    EXPECT_EQ(Fields(lines[127])[1], "3968.75");
    const std::vector<double> db = Column(lines, 2);
    const double peak = 20.0 * std::log10(10000.0 * 256 / 4);
    EXPECT_EQ(std::max_element(db.begin(), db.end()) - db.begin(), 32);
    EXPECT_NEAR(db[32], peak, 0.01);
    EXPECT_NEAR(db[31], peak - 6.0206, 0.01);
    EXPECT_NEAR(db[33], peak - 6.0206, 0.01);

    const Result linear = Run({"spectrum", path, "--start", "100", "--end", "100", "--lfft", "256",
                               "--lwdw", "256", "--window", "2", "--linear"});
    EXPECT_EQ(linear.code, 0);
    EXPECT_NEAR(Column(Lines(linear.out), 2)[32], 640000.0, 640000.0 * 1e-5);

    // Every frame of a steady sine whose period divides the hop is the same,
    // so their average is the spectrum of any one of them.
    const Result average = Run({"spectrum", path, "--start", "0", "--end", "3840", "--lfft", "256",
                                "--lwdw", "256", "--window", "2", "--shift", "256"});
    const Result first =
        Run({"spectrum", path, "--start", "0", "--lfft", "256", "--lwdw", "256", "--window", "2"});
    const std::vector<double> mean = Column(Lines(average.out), 2);
    const std::vector<double> one = Column(Lines(first.out), 2);
    ASSERT_EQ(mean.size(), 128u);
    for (size_t k = 0; k < mean.size(); ++k) {
        if (one[k] > 0) {
            ASSERT_NEAR(mean[k], one[k], 1e-4) << k;
        }
    }
}

TEST_F(AnalysisCli, SmoothedColumnFollowsTheCepstralClosedForm) {
    std::vector<int32_t> values = Sine(2048, 440, 8000, 8000);
    const std::vector<int32_t> second = Sine(2048, 2900, 8000, 3000);
    for (size_t t = 0; t < values.size(); ++t)
        values[t] += second[t] + int32_t((t * 7919) % 301) - 150;
    const std::string path = Wav(values, 8000);
    // 8000 Hz / 250 Hz: the quefrencies 0 .. 31 stay.
    const Result r = Run(
        {"spectrum", path, "--start", "10", "--lfft", "256", "--method", "1", "--cepfreq", "250"});
    EXPECT_EQ(r.code, 0);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 128u);
    ASSERT_EQ(Fields(lines[0]).size(), 4u);
    const std::vector<double> s = Column(lines, 2);
    const std::vector<double> smoothed = Column(lines, 3);
    const int n = 256;
    const int keep = 32;
    std::vector<long double> c(keep, 0.0L);
    for (int t = 0; t < keep; ++t)
        for (int k = 0; k < n; ++k) {
            const long double y = k < n / 2 ? s[k] : k == n / 2 ? 0.0L : s[n - k];
            c[t] += y * std::cos(2.0L * kPi * ((k * t) % n) / n) / n;
        }
    for (int k = 0; k < n / 2; ++k) {
        long double v = c[0];
        for (int t = 1; t < keep; ++t)
            v += 2.0L * c[t] * std::cos(2.0L * kPi * ((k * t) % n) / n);
        ASSERT_NEAR(smoothed[k], double(v), 2e-3) << k;
    }
}

TEST_F(AnalysisCli, SpectrumTakesWhatIsNotGivenFromTheSettings) {
    const std::string path = Wav(Sine(8192, 1000, 8000, 10000), 8000);
    const Result defaults = Run({"spectrum", path, "--start", "0"});
    EXPECT_EQ(defaults.code, 0);
    EXPECT_EQ(Lines(defaults.out).size(), 1024u); // Lfft 2048

    // 512 points under a Hanning window, linear: bin 64 holds A N / 4.
    Settings("[Fft]\nLfft=512\nLwdw=512\nIWin=2\nYScale=17\n");
    const Result saved = Run({"spectrum", path, "--start", "0"});
    EXPECT_EQ(saved.code, 0);
    const std::vector<std::string> lines = Lines(saved.out);
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(Fields(lines[64])[1], "1000");
    EXPECT_NEAR(Column(lines, 2)[64], 10000.0 * 512 / 4, 1280000.0 * 1e-5);
}

TEST_F(AnalysisCli, SpectrumOfARawFileAndItsRefusals) {
    const std::vector<int32_t> values = Sine(4096, 1000, 8000, 10000);
    const std::string wav = Wav(values, 8000);
    const std::string raw = dir.Write("t.pcm", PcmBytes(values, 2));
    const Result fromWav = Run({"spectrum", wav, "--start", "5", "--lfft", "64"});
    const Result fromRaw =
        Run({"spectrum", raw, "--start", "5", "--lfft", "64", "--raw", "8000,1,2,0,LSB"});
    EXPECT_EQ(fromRaw.code, 0);
    EXPECT_EQ(fromRaw.out, fromWav.out);
    EXPECT_EQ(Run({"spectrum", raw, "--start", "5"}).code, 2);

    // The last frame that fits, then one frame further.
    EXPECT_EQ(Run({"spectrum", wav, "--start", "3840", "--lfft", "256"}).code, 0);
    const Result beyond = Run({"spectrum", wav, "--start", "3841", "--lfft", "256"});
    EXPECT_EQ(beyond.code, 1);
    EXPECT_EQ(beyond.out, "");
    EXPECT_EQ(beyond.err, "FFT-Length exceeds the File-Length\n");
    EXPECT_EQ(Run({"spectrum", wav, "--start", "0", "--lfft", "8192"}).err,
              "FFT-Length exceeds the File-Length\n");

    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"spectrum", wav},
             {"spectrum", wav, "--start", "-1"},
             {"spectrum", wav, "--start", "0", "--lfft", "1000"},
             {"spectrum", wav, "--start", "0", "--lfft", "8"},
             {"spectrum", wav, "--start", "0", "--shift", "0"},
             {"spectrum", wav, "--start", "0", "--lwdw", "0"},
             {"spectrum", wav, "--start", "0", "--method", "3"},
             {"spectrum", wav, "--start", "0", "--cepfreq", "0"},
             {"spectrum", wav, "--start", "0", "--channel", "1"},
             {"spectrum", wav, "--start", "0", "--end", "4097"},
         }) {
        const Result r = Run(wrong);
        EXPECT_EQ(r.code, 64) << wrong.back();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("usage: kavirel-cli spectrum FILE"), std::string::npos);
    }
}

TEST_F(AnalysisCli, EnvelopeOfShortAndLongRanges) {
    std::vector<int32_t> values = Sine(1000, 130, 8000, 5000);
    values[250] = -30000;
    values[333] = 21000;
    const std::string path = Wav(values, 8000);

    // 100 frames at 16 values: 8 pairs over blocks of 2 x 100 / 16 = 12 frames.
    const Result pairs =
        Run({"envelope", path, "--start", "240", "--end", "340", "--screen-width", "8"});
    EXPECT_EQ(pairs.code, 0);
    EXPECT_EQ(pairs.err, "");
    const std::vector<std::string> lines = Lines(pairs.out);
    ASSERT_EQ(lines.size(), 17u);
    char header[96];
    std::snprintf(header, sizeof header, "# count=16 lower=%.9g upper=%.9g",
                  double(-1.1f * 30000.0f), double(1.1f * 30000.0f));
    EXPECT_EQ(lines[0], header);
    for (int j = 0; j < 8; ++j) {
        const auto block = values.begin() + 240 + 12 * j;
        ASSERT_EQ(lines[1 + 2 * j], std::to_string(*std::min_element(block, block + 12)));
        ASSERT_EQ(lines[2 + 2 * j], std::to_string(*std::max_element(block, block + 12)));
    }

    // On a wide screen the same frames are shown one by one.
    const Result samples = Run({"envelope", path, "--start", "240", "--end", "340"});
    const std::vector<std::string> all = Lines(samples.out);
    ASSERT_EQ(all.size(), 101u);
    EXPECT_EQ(all[0].substr(0, 12), "# count=100 ");
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(all[1 + i], std::to_string(values[240 + i]));
}

TEST_F(AnalysisCli, EnvelopeOfAChannelAndItsRefusals) {
    const std::string stereo = Wav({1, -7, 2, 8, 3, -9, 4, 0}, 8000, 2);
    char header[96];
    std::snprintf(header, sizeof header, "# count=3 lower=%.9g upper=%.9g\n", double(-1.1f * 9.0f),
                  double(1.1f * 9.0f));
    EXPECT_EQ(Run({"envelope", stereo, "--start", "0", "--end", "3", "--channel", "1"}).out,
              std::string(header) + "-7\n8\n-9\n");
    const Result silent =
        Run({"envelope", Wav(std::vector<int32_t>(50, 0), 8000), "--start", "0", "--end", "50"});
    EXPECT_EQ(silent.out.substr(0, silent.out.find('\n')), "# count=50 lower=0 upper=0");

    const Result empty = Run({"envelope", stereo, "--start", "2", "--end", "2"});
    EXPECT_EQ(empty.code, 1);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.err, "You have to define a task!\n");
    EXPECT_EQ(Run({"envelope", stereo, "--start", "0"}).code, 64);
    EXPECT_EQ(Run({"envelope", stereo, "--start", "0", "--end", "5"}).code, 64);
    EXPECT_EQ(Run({"envelope", stereo, "--start", "0", "--end", "4", "--channel", "2"}).code, 64);
}

TEST_F(AnalysisCli, PitchOfAPulseTrainFrameByFrame) {
    // Half-sine pulses 200 times a second, 2 s at 16 kHz. 16100 samples from
    // 0.5 s hold frames of 3 / floor seconds a step apart; what is left over
    // is split between both ends.
    std::vector<int32_t> values(32000);
    for (size_t t = 0; t < values.size(); ++t) {
        const double p = std::fmod(double(t) * 200.0 / 16000.0, 1.0);
        values[t] = p < 0.3 ? int32_t(std::lround(8000.0 * std::sin(kPi * p / 0.3))) : 0;
    }
    const std::string file = Wav(values, 16000);
    const struct {
        std::vector<std::string> options;
        size_t frames;
        double first; // centre of the first frame, seconds
        double step;
    } runs[] = {
        {{}, 97, (8000 + 50 + 320) / 16000.0, 0.01},
        {{"--floor", "100", "--ceiling", "400", "--step", "0.005"},
         196,
         (8000 + 10 + 240) / 16000.0,
         0.005},
    };
    for (const auto& run : runs) {
        std::vector<std::string> args = {"pitch", file, "--start", "0.5s", "--end", "24100"};
        args.insert(args.end(), run.options.begin(), run.options.end());
        const Result r = Run(args);
        ASSERT_EQ(r.code, 0) << r.err;
        const std::vector<std::string> lines = Lines(r.out);
        ASSERT_EQ(lines.size(), run.frames);
        const std::vector<double> times = Column(lines, 0);
        const std::vector<double> f0 = Column(lines, 1);
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(std::regex_match(lines[i], std::regex(R"(\d+\.\d{6}\t\d+\.\d{3})")))
                << lines[i];
            EXPECT_NEAR(times[i], run.first + double(i) * run.step, 1e-6);
            EXPECT_NEAR(f0[i], 200.0, 1.0) << lines[i];
        }
    }
}

TEST_F(AnalysisCli, PitchRefusesBadParameters) {
    const std::string file = Wav(Sine(8000, 200.0, 8000.0, 8000.0), 8000);
    const std::vector<std::vector<std::string>> wrong = {
        {"--floor", "0"},    {"--floor", "-75"}, {"--ceiling", "75"}, {"--step", "0"},
        {"--step", "-0.01"}, {"--channel", "1"}, {"--start", "2s"},   {"--floor", "75Hz"},
    };
    for (const std::vector<std::string>& options : wrong) {
        std::vector<std::string> args = {"pitch", file};
        args.insert(args.end(), options.begin(), options.end());
        const Result r = Run(args);
        EXPECT_EQ(r.code, 64) << options[0] << " " << options[1];
        EXPECT_NE(r.err.find("usage: kavirel-cli pitch FILE"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}
