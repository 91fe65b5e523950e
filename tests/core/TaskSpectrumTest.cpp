// The spectrum a spectrum window computes on opening: single frames, short
// ranges and averages, checked against direct DFTs of the same frames, known
// sine spectra, plain min/max scans and the closed form of cepstral smoothing.
#include "support/AnalysisFiles.h"

#include "soundfile/CSfSettings.h"
#include "spectrum/CSfFft.h"
#include "spectrum/Decibels.h"
#include "spectrum/TaskSpectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Window values written out from their definitions: a window of length
// windowLength centred in n points.
std::vector<double> Hanning(int n, int windowLength) {
    std::vector<double> w(n, 0.0);
    const int off = (n - windowLength) / 2;
    for (int k = 0; k < windowLength; ++k)
        w[off + k] = 0.5 - 0.5 * std::cos(2 * kPi * k / windowLength);
    return w;
}

std::vector<double> Blackman(int n) {
    std::vector<double> w(n);
    for (int k = 0; k < n; ++k)
        w[k] = 0.4265907136715391 - 0.4965606190885641 * std::cos(2 * kPi * k / n) +
               0.07684866723989682 * std::cos(4 * kPi * k / n);
    return w;
}

// The direct power spectrum of the frame of values at start under window;
// frames past the end of the file are 0.
std::vector<double> FramePowers(const std::vector<int32_t>& values, size_t start,
                                const std::vector<double>& window) {
    std::vector<double> frame(window.size());
    for (size_t i = 0; i < window.size(); ++i)
        frame[i] = (start + i < values.size() ? values[start + i] : 0) * window[i];
    return DirectPowers(frame);
}

double Db(double power) {
    return std::max(double(kSilenceDb), 10.0 * std::log10(power));
}

// The closed form of cepstral smoothing: with c the real cepstrum of the
// spectrum mirrored to n = 2 x its size and bin n/2 at 0, bin k becomes
// c[0] + 2 (c[1] cos(2 pi k / n) + ... + c[keep - 1] cos(2 pi k (keep - 1) / n)).
std::vector<double> Smoothed(const std::vector<float>& spectrum, int keep) {
    const int n = int(2 * spectrum.size());
    std::vector<long double> cepstrum(keep, 0.0L);
    for (int t = 0; t < keep; ++t) {
        for (int k = 0; k < n; ++k) {
            const long double y = k < n / 2 ? spectrum[k] : k == n / 2 ? 0.0L : spectrum[n - k];
            cepstrum[t] += y * std::cos(2.0L * kPi * ((k * t) % n) / n) / n;
        }
    }
    std::vector<double> out(spectrum.size());
    for (int k = 0; k < n / 2; ++k) {
        long double v = cepstrum[0];
        for (int t = 1; t < keep; ++t)
            v += 2.0L * cepstrum[t] * std::cos(2.0L * kPi * ((k * t) % n) / n);
        out[k] = double(v);
    }
    return out;
}

// A sound with energy in every bin: two tones and a fixed pseudo-random hiss.
std::vector<int32_t> Hiss(int frames) {
    std::vector<int32_t> values = Sine(frames, 700, 8000, 6000);
    const std::vector<int32_t> high = Sine(frames, 2630, 8000, 2500);
    uint32_t state = 12345;
    for (int t = 0; t < frames; ++t) {
        state = state * 1664525u + 1013904223u;
        values[t] += high[t] + int32_t(state >> 22) - 512;
    }
    return values;
}

class TaskSpectrum : public ::testing::Test {
protected:
    void SetUp() override {
        settings.Fft().Lfft = 256;
        settings.Fft().Lwdw = 256;
        settings.Fft().Shift = 256;
        settings.Fft().IWin = 2; // Hanning
    }
    int screenWidth = 1024; // the width the analyses are sized by

    // A spectrum item on the head's task, computed as its window opens.
    std::unique_ptr<CSfFft> Compute(CSfHead& head, uint32_t start, uint32_t end, int channel = 0) {
        SetHeadTask(head, start, end, channel);
        auto item = std::make_unique<CSfFft>(head, settings);
        computed = ComputeTaskSpectrum(*item, desktop, screenWidth) == SpectrumOutcome::Computed;
        EXPECT_EQ(desktop.waitDepth, 0);
        return item;
    }

    TempDir dir;
    MemoryStore store;
    CSfSettings settings{store};
    RecordingDesktop desktop;
    bool computed = false;
};

} // namespace

TEST_F(TaskSpectrum, InstantSineHasItsKnownPeak) {
    // 1000 Hz at 8000 Hz with Lfft 256 is exactly bin 32. Under a Hanning
    // window a whole-bin sine of amplitude A sums to A N / 4 in its bin, half
    // that in the two neighbours and nothing further out.
    const std::vector<int32_t> values = Sine(4096, 1000, 8000, 10000);
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    auto item = Compute(*head, 100, 100);
    ASSERT_TRUE(computed);
    const std::vector<float>& s = *item->Param().results.spectrum;
    ASSERT_EQ(s.size(), 128u);
    EXPECT_EQ(std::max_element(s.begin(), s.end()) - s.begin(), 32);
    const double peak = 20.0 * std::log10(10000.0 * 256 / 4);
    EXPECT_NEAR(s[32], peak, 0.01);
    EXPECT_NEAR(s[31], peak - 6.0206, 0.01);
    EXPECT_NEAR(s[33], peak - 6.0206, 0.01);
    EXPECT_LT(s[30], peak - 60);
    EXPECT_LT(s[34], peak - 60);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(desktop.infoTexts.empty()); // no progress for a single frame

    // The frame as read stays beside the spectrum for the waveform pane.
    const std::vector<float>& frame = *item->Param().results.samples;
    ASSERT_EQ(frame.size(), 256u);
    for (size_t i = 0; i < frame.size(); ++i)
        ASSERT_EQ(frame[i], float(values[100 + i])) << i;
    EXPECT_FALSE(item->Param().results.smoothed);
}

TEST_F(TaskSpectrum, InstantMatchesADirectDft) {
    const std::vector<int32_t> values = Hiss(3000);
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    const std::vector<double> powers = FramePowers(values, 777, Hanning(256, 256));
    const double top = std::sqrt(*std::max_element(powers.begin(), powers.end()));

    settings.SetYScale(17); // linear magnitudes
    auto linear = Compute(*head, 777, 777);
    ASSERT_TRUE(computed);
    for (size_t k = 0; k < powers.size(); ++k)
        ASSERT_NEAR((*linear->Param().results.spectrum)[k], std::sqrt(powers[k]), 1e-5 * top) << k;

    settings.SetYScale(18);
    auto db = Compute(*head, 777, 777);
    ASSERT_TRUE(computed);
    for (size_t k = 0; k < powers.size(); ++k)
        ASSERT_NEAR((*db->Param().results.spectrum)[k], Db(powers[k]), 1e-3) << k;
}

TEST_F(TaskSpectrum, ShorterWindowSitsCentredInTheFrame) {
    const std::vector<int32_t> values = Hiss(3000);
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    settings.Fft().Lfft = 64;
    settings.Fft().Lwdw = 40;
    settings.SetYScale(17);
    auto item = Compute(*head, 500, 500);
    ASSERT_TRUE(computed);
    const std::vector<double> powers = FramePowers(values, 500, Hanning(64, 40));
    const double top = std::sqrt(*std::max_element(powers.begin(), powers.end()));
    for (size_t k = 0; k < powers.size(); ++k)
        ASSERT_NEAR((*item->Param().results.spectrum)[k], std::sqrt(powers[k]), 1e-5 * top) << k;
}

TEST_F(TaskSpectrum, LongFramesLeaveTheirEnvelopeForThePane) {
    const std::vector<int32_t> values = Hiss(3000);
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    screenWidth = 16; // 32 values: 16 pairs over blocks of 2 x 256 / 32 frames
    auto instant = Compute(*head, 600, 600);
    ASSERT_TRUE(computed);
    EXPECT_EQ(*instant->Param().results.samples, NaiveMinMax(values, 600, 16, 16));
    const std::vector<double> powers = FramePowers(values, 600, Hanning(256, 256));
    for (size_t k = 0; k < powers.size(); ++k)
        ASSERT_NEAR((*instant->Param().results.spectrum)[k], Db(powers[k]), 1e-3) << k;

    // A range shorter than one hop is analysed at its start like an instant,
    // but the pane always gets the frame itself.
    auto shortRange = Compute(*head, 600, 600 + 255);
    ASSERT_TRUE(computed);
    EXPECT_EQ(*shortRange->Param().results.spectrum, *instant->Param().results.spectrum);
    const std::vector<float>& frame = *shortRange->Param().results.samples;
    ASSERT_EQ(frame.size(), 256u);
    for (size_t i = 0; i < frame.size(); ++i)
        ASSERT_EQ(frame[i], float(values[600 + i])) << i;
    EXPECT_TRUE(desktop.infoTexts.empty());
}

TEST_F(TaskSpectrum, AverageIsTheMeanOfTheFrameLevels) {
    const std::vector<int32_t> values = Hiss(4000);
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    settings.Fft().Lfft = 64;
    settings.Fft().Lwdw = 64;
    settings.Fft().Shift = 32;
    settings.Fft().IWin = 4; // Blackman
    screenWidth = 16;

    // 30 hops and 5 frames more: 31 frames from 1000 to 1960, progress at the
    // frames 0, 15 and 30 of the 30 expected.
    auto item = Compute(*head, 1000, 1000 + 30 * 32 + 5);
    ASSERT_TRUE(computed);
    EXPECT_EQ(desktop.infoTexts,
              (std::vector<std::string>{"FFT 0 Proz.", "FFT 50 Proz.", "FFT 100 Proz."}));
    std::vector<double> mean(32, 0.0);
    for (int f = 0; f < 31; ++f) {
        const std::vector<double> powers = FramePowers(values, 1000 + 32 * f, Blackman(64));
        for (size_t k = 0; k < mean.size(); ++k)
            mean[k] += Db(powers[k]) / 31;
    }
    const std::vector<float>& s = *item->Param().results.spectrum;
    ASSERT_EQ(s.size(), 32u);
    for (size_t k = 0; k < mean.size(); ++k)
        ASSERT_NEAR(s[k], mean[k], 1e-3) << k;
    // The pane shows the whole task: 16 pairs over blocks of 2 x 965 / 32 frames.
    EXPECT_EQ(*item->Param().results.samples, NaiveMinMax(values, 1000, 16, 60));

    // Exactly ten hops are ten frames, with one progress text.
    desktop.infoTexts.clear();
    settings.SetYScale(17);
    auto ten = Compute(*head, 1000, 1000 + 10 * 32);
    ASSERT_TRUE(computed);
    EXPECT_EQ(desktop.infoTexts, std::vector<std::string>{"FFT 0 Proz."});
    std::vector<double> magnitude(32, 0.0);
    double top = 0.0;
    for (int f = 0; f < 10; ++f) {
        const std::vector<double> powers = FramePowers(values, 1000 + 32 * f, Blackman(64));
        for (size_t k = 0; k < magnitude.size(); ++k) {
            magnitude[k] += std::sqrt(powers[k]) / 10;
            top = std::max(top, std::sqrt(powers[k]));
        }
    }
    for (size_t k = 0; k < magnitude.size(); ++k)
        ASSERT_NEAR((*ten->Param().results.spectrum)[k], magnitude[k], 1e-5 * top) << k;
}

// Stopped at a progress text (Esc in the window, Ctrl+C on the command line),
// the average is not finished and nothing is shown.
TEST_F(TaskSpectrum, StoppedAtItsProgressShowsNothing) {
    auto head = OpenSamples(dir, Hiss(4000), 8000);
    ASSERT_TRUE(head);
    settings.Fft().Lfft = settings.Fft().Lwdw = 64;
    settings.Fft().Shift = 32;
    desktop.stopProgress = true;
    SetHeadTask(*head, 1000, 1000 + 30 * 32 + 5);
    CSfFft item(*head, settings);
    EXPECT_EQ(ComputeTaskSpectrum(item, desktop, screenWidth), SpectrumOutcome::Cancelled);
    EXPECT_EQ(desktop.infoTexts, std::vector<std::string>{"FFT 0 Proz."});
    EXPECT_EQ(desktop.waitDepth, 0);
}

TEST_F(TaskSpectrum, HopsLongerThanTheFrameStillShowTheWholeTask) {
    // Frames of 64 every 100 frames leave gaps, which the envelope of the
    // task must cover all the same; the loudest sample lies in a gap.
    std::vector<int32_t> values = Hiss(4000);
    values[1370] = -32000;
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    settings.Fft().Lfft = 64;
    settings.Fft().Lwdw = 64;
    settings.Fft().Shift = 100;
    screenWidth = 8;
    auto item = Compute(*head, 1000, 2000);
    ASSERT_TRUE(computed);
    // 16 values: 8 pairs over blocks of 2 x 1000 / 16 = 125 frames.
    EXPECT_EQ(*item->Param().results.samples, NaiveMinMax(values, 1000, 8, 125));
    EXPECT_EQ((*item->Param().results.samples)[4], -32000.0f);
    std::vector<double> mean(32, 0.0);
    for (int f = 0; f < 10; ++f) {
        const std::vector<double> powers = FramePowers(values, 1000 + 100 * f, Hanning(64, 64));
        for (size_t k = 0; k < mean.size(); ++k)
            mean[k] += Db(powers[k]) / 10;
    }
    for (size_t k = 0; k < mean.size(); ++k)
        ASSERT_NEAR((*item->Param().results.spectrum)[k], mean[k], 1e-3) << k;
}

TEST_F(TaskSpectrum, ShortTaskEnvelopeRunsOnPastItsEnd) {
    // A task shorter than the pane's 2 x screen width values is shown sample
    // by sample from its start, past its end and, with zeros, past the file.
    const std::vector<int32_t> values = Hiss(2000);
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    settings.Fft().Lfft = 64;
    settings.Fft().Shift = 64;
    screenWidth = 300;
    auto item = Compute(*head, 1700, 1700 + 4 * 64);
    ASSERT_TRUE(computed);
    const std::vector<float>& samples = *item->Param().results.samples;
    ASSERT_EQ(samples.size(), 600u);
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(samples[i], 1700 + i < values.size() ? float(values[1700 + i]) : 0.0f) << i;
}

TEST_F(TaskSpectrum, SilenceHasTheFloorLevel) {
    auto head = OpenSamples(dir, std::vector<int32_t>(3000, 0), 8000);
    ASSERT_TRUE(head);
    settings.SetMethod(kMethodCepSmooth);
    for (const uint32_t end : {0u, 2000u}) {
        auto item = Compute(*head, 0, end);
        ASSERT_TRUE(computed);
        for (float v : *item->Param().results.spectrum)
            ASSERT_EQ(v, kSilenceDb);
        // Smoothed as any level: bin Lfft/2, taken as 0, ripples it a little.
        const std::vector<double> reference = Smoothed(*item->Param().results.spectrum, 16);
        for (size_t k = 0; k < reference.size(); ++k)
            ASSERT_NEAR((*item->Param().results.smoothed)[k], reference[k], 2e-3) << k;
    }
    settings.SetYScale(17);
    auto linear = Compute(*head, 0, 2000);
    ASSERT_TRUE(computed);
    for (float v : *linear->Param().results.spectrum)
        ASSERT_EQ(v, 0.0f);
}

TEST_F(TaskSpectrum, CepstralSmoothingKeepsTheLowQuefrencies) {
    const std::vector<int32_t> values = Hiss(3000);
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    settings.SetMethod(kMethodCepSmooth);
    settings.Fft().CepFreq = 500.0; // 8000 / 500: quefrencies 0 .. 15 stay
    auto item = Compute(*head, 300, 300);
    ASSERT_TRUE(computed);
    const std::vector<float>& s = *item->Param().results.spectrum;
    const std::vector<float>& smoothed = *item->Param().results.smoothed;
    ASSERT_EQ(smoothed.size(), 128u);

    const std::vector<double> reference = Smoothed(s, 16);
    for (size_t k = 0; k < reference.size(); ++k)
        ASSERT_NEAR(smoothed[k], reference[k], 2e-3) << k;

    // A cut-off above half the sample rate keeps nothing to lift off.
    settings.Fft().CepFreq = 5000.0;
    auto flat = Compute(*head, 300, 300);
    ASSERT_TRUE(computed);
    EXPECT_EQ(*flat->Param().results.smoothed, *flat->Param().results.spectrum);
}

TEST_F(TaskSpectrum, FramesMustLieInTheFile) {
    auto head = OpenSamples(dir, Sine(1000, 440, 8000, 100), 8000);
    ASSERT_TRUE(head);
    auto last = Compute(*head, 744, 744); // the frame ends with the file
    EXPECT_TRUE(computed);
    EXPECT_TRUE(desktop.messages.empty());

    auto beyond = Compute(*head, 745, 745);
    EXPECT_FALSE(computed);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].first, "FFT-Length exceeds the File-Length");
    EXPECT_EQ(desktop.messages[0].second, MessageIcon::None);
    EXPECT_FALSE(beyond->Param().results.spectrum || beyond->Param().results.samples);
    EXPECT_EQ(beyond->Param().Fmax, 8000.0f); // stopped before anything changed

    // A transform longer than the whole file, and a start so near the largest
    // frame number that start + Lfft would wrap round in 32 bits.
    settings.Fft().Lfft = 2048;
    auto longer = Compute(*head, 0, 0);
    EXPECT_FALSE(computed);
    settings.Fft().Lfft = 256;
    auto wrapped = Compute(*head, 4294967200u, 4294967200u);
    EXPECT_FALSE(computed);
    EXPECT_EQ(desktop.messages.size(), 3u);
    EXPECT_FALSE(wrapped->Param().results.spectrum);
}

TEST_F(TaskSpectrum, LimitsFmaxAndTheWindowLength) {
    auto head = OpenSamples(dir, Sine(1000, 440, 8000, 100), 8000);
    ASSERT_TRUE(head);
    settings.Fft().Lwdw = 4096;
    auto item = Compute(*head, 0, 0);
    ASSERT_TRUE(computed);
    EXPECT_EQ(item->Param().Fmax, 4000.0f);
    EXPECT_EQ(item->Param().Lwdw, 256);
}

TEST_F(TaskSpectrum, RecordsThatCannotBeComputedAreRefused) {
    auto head = OpenSamples(dir, Sine(5000, 440, 8000, 100), 8000);
    ASSERT_TRUE(head);
    settings.Fft().Shift = 0; // would never advance
    auto still = Compute(*head, 0, 4000);
    EXPECT_FALSE(computed);
    settings.Fft().Shift = 256;
    settings.Fft().Lfft = 100; // not a power of two
    auto odd = Compute(*head, 0, 0);
    EXPECT_FALSE(computed);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_FALSE(still->Param().results.spectrum || odd->Param().results.spectrum);
}

TEST_F(TaskSpectrum, ReadsTheTasksChannel) {
    std::vector<int32_t> stereo;
    for (int32_t v : Sine(2000, 1000, 8000, 10000)) {
        stereo.push_back(0);
        stereo.push_back(v);
    }
    auto head = OpenSamples(dir, stereo, 8000, 2);
    ASSERT_TRUE(head);
    auto right = Compute(*head, 0, 0, 1);
    ASSERT_TRUE(computed);
    EXPECT_NEAR((*right->Param().results.spectrum)[32], 20.0 * std::log10(10000.0 * 256 / 4), 0.01);
    auto left = Compute(*head, 0, 0, 0);
    ASSERT_TRUE(computed);
    EXPECT_EQ((*left->Param().results.spectrum)[32], kSilenceDb);
}

TEST_F(TaskSpectrum, ZoomedItemsShowTheirParentsArrays) {
    auto head = OpenSamples(dir, Hiss(3000), 8000);
    ASSERT_TRUE(head);
    auto parent = Compute(*head, 0, 1000);
    ASSERT_TRUE(computed);
    const std::vector<float> before = *parent->Param().results.spectrum;
    SfFftParam& p = parent->Param();
    p.start = 0;
    p.end = 1000;
    p.view.viewFlags = kFftBoxDefined;
    p.view.boxFreqLow = 100.0f;
    p.view.boxFreqHigh = 900.0f;

    CSfFft zoomed(*parent, settings);
    desktop.infoTexts.clear();
    EXPECT_EQ(ComputeTaskSpectrum(zoomed, desktop, screenWidth), SpectrumOutcome::Computed);
    EXPECT_TRUE(desktop.infoTexts.empty()); // nothing was averaged again
    EXPECT_EQ(zoomed.Param().results.spectrum, parent->Param().results.spectrum);
    EXPECT_EQ(zoomed.Param().results.samples, parent->Param().results.samples);
    EXPECT_EQ(*zoomed.Param().results.spectrum, before);
}
