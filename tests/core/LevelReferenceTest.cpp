// Calibrated levels: dBFS readings that do not depend on the sample width,
// the window or the transform length, and the power average beside the mean
// of dB values.
#include "support/AnalysisFiles.h"

#include "sonagram/CSfSon.h"
#include "sonagram/ComputeSonagram.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SfInfo.h"
#include "spectrum/CSfFft.h"
#include "spectrum/TaskSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kRate = 44100;

// A WAV file of a sine of amplitude (a fraction of full scale) at bin
// `bin` of an lfft-point transform, as 16-, 24-bit or float samples.
std::unique_ptr<CSfHead> SineFile(const TempDir& dir, const std::string& coding, double amplitude,
                                  int lfft, int bin, int frames) {
    const double hz = double(bin) * kRate / lfft;
    if (coding == "float") {
        WavSpec layout;
        layout.formatTag = 3;
        layout.bytesPerSample = 4;
        layout.rate = kRate;
        Bytes data;
        for (int i = 0; i < frames; ++i) {
            const float v = float(amplitude * std::sin(2 * kPi * hz * i / kRate));
            uint32_t bits;
            std::memcpy(&bits, &v, 4);
            AppendLe32(data, bits);
        }
        RecordingDesktop desktop;
        return OpenHeadFile(dir.Write("sine.wav", MakeWav(layout, data)), desktop, 1024);
    }
    const int bytes = coding == "24" ? 3 : 2;
    const double fullScale = std::ldexp(1.0, 8 * bytes - 1);
    return OpenSamples(dir, Sine(frames, hz, kRate, amplitude * fullScale), kRate, 1, bytes);
}

struct Spectrum {
    std::unique_ptr<CSfFft> item;
    float At(int bin) const { return (*item->Param().results.spectrum)[size_t(bin)]; }
};

Spectrum Compute(CSfHead& head, CSfSettings& settings, uint32_t start, uint32_t end) {
    SetHeadTask(head, start, end);
    Spectrum s{std::make_unique<CSfFft>(head, settings)};
    RecordingDesktop desktop;
    EXPECT_EQ(ComputeTaskSpectrum(*s.item, desktop, 1024), SpectrumOutcome::Computed);
    return s;
}

} // namespace

TEST(LevelReference, AnOnBinSineReadsItsAmplitudeInDbfsWhateverTheWindowLengthAndWidth) {
    const double amplitude = 0.5; // -6.02 dBFS
    for (const char* coding : {"16", "24", "float"}) {
        for (int lfft : {256, 1024, 8192, 65536}) {
            TempDir dir;
            const int bin = lfft / 8;
            auto head = SineFile(dir, coding, amplitude, lfft, bin, lfft + 16);
            ASSERT_TRUE(head);
            for (int window = 0; window <= 5; ++window) {
                MemoryStore store;
                CSfSettings settings(store);
                FftSettings& fft = settings.Fft();
                fft.Lfft = fft.Lwdw = fft.Shift = lfft;
                fft.IWin = window;
                fft.LevelRef = kLevelRefFullScale;
                const Spectrum s = Compute(*head, settings, 8, 8);
                EXPECT_NEAR(s.At(bin), 20 * std::log10(amplitude), 0.05)
                    << coding << "-bit, Lfft " << lfft << ", window " << window;
            }
        }
    }
}

TEST(LevelReference, ThePowerAverageOfAToneAndEqualSilenceIsThreeDecibelsDown) {
    TempDir dir;
    const int lfft = 1024;
    std::vector<int32_t> values = Sine(8 * lfft, 64.0 * kRate / lfft, kRate, 10000);
    values.resize(16 * lfft, 0); // as much digital silence after it
    auto head = OpenSamples(dir, values, kRate);
    const struct {
        int32_t average;
        double drop; // dB lost to the silence at the tone's bin
    } cases[] = {
        {kAveragePower, 10 * std::log10(2.0)},
        // The stated mean of dB values counts silent frames at the floor.
        {kAverageDecibels, -1},
    };
    for (const auto& c : cases) {
        MemoryStore store;
        CSfSettings settings(store);
        FftSettings& fft = settings.Fft();
        fft.Lfft = fft.Lwdw = fft.Shift = lfft;
        fft.IWin = 4;
        fft.Average = c.average;
        const Spectrum tone = Compute(*head, settings, 0, 8 * lfft);
        const Spectrum both = Compute(*head, settings, 0, 16 * lfft);
        const double drop = double(tone.At(64)) - double(both.At(64));
        if (c.drop > 0)
            EXPECT_NEAR(drop, c.drop, 1e-3);
        else
            EXPECT_GT(drop, 50.0);
    }
}

TEST(LevelReference, TheSonagramLevelCurveInDbfsIsTheTrueRmsOfEachFrame) {
    const int lfft = 512;
    const int frames = 40 * lfft;
    const struct {
        const char* what;
        std::vector<int32_t> values;
        double dbfs;
    } cases[] = {
        {"a -6 dBFS sine", Sine(frames, 1000, kRate, 16384), 20 * std::log10(0.5 / std::sqrt(2.0))},
        {"a full-scale square",
         [] {
             std::vector<int32_t> v(frames);
             for (int i = 0; i < frames; ++i)
                 v[size_t(i)] = (i / 50) % 2 ? 32767 : -32767;
             return v;
         }(),
         20 * std::log10(32767.0 / 32768.0)},
    };
    for (const auto& c : cases) {
        TempDir dir;
        auto head = OpenSamples(dir, c.values, kRate);
        SetHeadTask(*head, 0, uint32_t(frames - lfft));
        FftSettings son;
        son.Lfft = son.Lwdw = son.Shift = lfft;
        son.IWin = 4;
        son.Range = 70;
        son.Fmax = 8000;
        son.LevelRef = kLevelRefFullScale;
        auto item = CSfSon::Create(*head, son);
        SonagramCells cells;
        RecordingDesktop desktop;
        ASSERT_EQ(ComputeSonagram(*item, cells, desktop, 64), SonagramOutcome::Computed);
        for (float level : item->Levels().values)
            EXPECT_NEAR(level, c.dbfs, 0.05) << c.what;
        // The largest cell of the sine is its on-bin level, near -6 dBFS.
        if (c.what[2] == '6') {
            EXPECT_NEAR(item->Param().results.dBMax, -6.02, 1.5) << c.what;
        }
    }
}
