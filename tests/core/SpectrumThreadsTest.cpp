// The averaged spectrum, its envelope and its progress texts are the same bit
// for bit on 1, 2 and 8 threads, over 8-bit, 24-bit and float samples, both averages
// and magnitudes, frames that overlap, touch or leave gaps and groups of them that
// split unevenly; the dB mean is the single running mean over all frames; and a
// stop at a progress text ends the work on any number of threads.
#include "support/AnalysisFiles.h"
#include "support/CodedFiles.h"

#include "soundfile/AnalysisThreads.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SampleAccess.h"
#include "spectrum/CSfFft.h"
#include "spectrum/DecibelMean.h"
#include "spectrum/MagnitudeSpectrum.h"
#include "spectrum/TaskSpectrum.h"
#include "spectrum/WindowFunction.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

struct Average {
    std::vector<float> spectrum;
    std::vector<float> envelope;
    std::vector<std::string> progress;
};

struct Case {
    const char* what;
    int lfft;
    int shift;
    uint32_t yScale; // 17: magnitudes; else dB
    int average;
};

const Case kCases[] = {
    {"dB mean, 8 summing tasks, 3 batches", 4096, 1000, 2, kAverageDecibels},
    {"power mean, overlapping frames", 4096, 1000, 2, kAveragePower},
    {"magnitudes", 4096, 1000, 17, kAverageDecibels},
    {"short frames, one summing task, one batch", 64, 50, 2, kAverageDecibels},
    {"gaps between frames, read one by one", 512, 700, 2, kAverageDecibels},
    {"frames longer than FFTW takes", 65536, 40000, 2, kAverageDecibels},
};

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

class SpectrumThreads : public ::testing::Test {
protected:
    void TearDown() override { SetAnalysisThreads(0); }

    Average Compute(CSfHead& head, const Case& c, int threads) {
        SetAnalysisThreads(threads);
        settings.Fft().Lfft = c.lfft;
        settings.Fft().Lwdw = c.lfft;
        settings.Fft().Shift = c.shift;
        settings.Fft().IWin = 4; // Blackman
        settings.Fft().Average = c.average;
        settings.SetYScale(c.yScale);
        CSfFft item(head, settings);
        RecordingDesktop desktop;
        EXPECT_EQ(ComputeTaskSpectrum(item, desktop, 300), SpectrumOutcome::Computed);
        const FftResults& r = item.Param().results;
        return {*r.spectrum, *r.samples, desktop.infoTexts};
    }

    TempDir dir;
    MemoryStore store;
    CSfSettings settings{store};
};

} // namespace

TEST_F(SpectrumThreads, SameBitsOnAnyNumberOfThreads) {
    constexpr uint32_t kFrames = 300001;
    for (const Coding& coding : {kCodings[0], kCodings[2], kCodings[4]}) {
        CSfHead head;
        head.Info().path = MakeFile(dir, coding, 2, kFrames);
        RecordingDesktop opener;
        ASSERT_EQ(OpenAndRecognise(head.Info(), opener), OpenOutcome::Opened) << coding.name;
        SetHeadTask(head, 777, kFrames - 5000, 1);
        for (const Case& c : kCases) {
            const Average one = Compute(head, c, 1);
            ASSERT_EQ(one.spectrum.size(), size_t(c.lfft / 2));
            EXPECT_FALSE(one.progress.empty());
            for (int threads : {2, 8}) {
                const Average many = Compute(head, c, threads);
                EXPECT_TRUE(SameBits(many.spectrum, one.spectrum))
                    << coding.name << ", " << c.what << ", " << threads << " threads";
                EXPECT_TRUE(SameBits(many.envelope, one.envelope)) << coding.name << ", " << c.what;
                EXPECT_EQ(many.progress, one.progress) << coding.name << ", " << c.what;
            }
        }
    }
}

TEST_F(SpectrumThreads, DecibelMeanIsOneRunningMeanOverAllFrames) {
    const std::vector<int32_t> values = Voiced(300000, 140, 16000, 9000);
    auto head = OpenSamples(dir, values, 16000);
    ASSERT_TRUE(head);
    SetHeadTask(*head, 100, 290000);
    const Case c = kCases[0];
    const Average got = Compute(*head, c, 2);

    std::vector<float> window(c.lfft);
    MakeWindow(window.data(), c.lfft, c.lfft, 4);
    DecibelMean mean;
    ASSERT_TRUE(mean.Reset(c.lfft / 2));
    std::vector<float> frame(c.lfft);
    for (uint32_t at = 100; at < 290000; at += uint32_t(c.shift)) {
        ReadWindowedSamples(head->Info(), frame.data(), uint32_t(c.lfft), at, 0, window.data());
        MagnitudeSpectrum(frame.data(), c.lfft, false);
        mean.AddMagnitudes(frame.data());
    }
    std::vector<float> expected(c.lfft / 2);
    mean.Mean(expected.data());
    EXPECT_TRUE(SameBits(got.spectrum, expected));
}

TEST_F(SpectrumThreads, StoppedMidwayEndsOnAnyNumberOfThreads) {
    // Short frames at short hops: many groups, so that threads wait for free
    // slots while the stop comes.
    struct StopAtThird : RecordingDesktop {
        bool ShowStoppableProgress(const std::string& text, int percent) override {
            RecordingDesktop::ShowStoppableProgress(text, percent);
            return infoTexts.size() < 3;
        }
    };
    auto head = OpenSamples(dir, Voiced(2000000, 140, 16000, 9000), 16000);
    ASSERT_TRUE(head);
    SetHeadTask(*head, 0, 1990000);
    settings.Fft().Lfft = settings.Fft().Lwdw = 64;
    settings.Fft().Shift = 16;
    for (int threads : {1, 2, 8}) {
        SetAnalysisThreads(threads);
        CSfFft item(*head, settings);
        StopAtThird desktop;
        EXPECT_EQ(ComputeTaskSpectrum(item, desktop, 300), SpectrumOutcome::Cancelled) << threads;
        EXPECT_EQ(desktop.infoTexts.size(), 3u) << threads;
    }
}
