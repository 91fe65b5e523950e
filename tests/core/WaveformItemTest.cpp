// The waveform item: what it takes from its source, its name and task words,
// and the envelope its window draws, checked against plain min/max scans.
#include "support/AnalysisFiles.h"

#include "waveform/CSfWav.h"
#include "waveform/WavEnvelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

class WaveformItem : public ::testing::Test {
protected:
    int screenWidth = 1024; // the width the analyses are sized by

    // An envelope through the item, as the window builds it.
    WavEnvelope Envelope(CSfHead& head, uint32_t start, uint32_t end, int channel = 0) {
        SetHeadTask(head, start, end, channel);
        CSfWav item(head);
        item.BuildEnvelope(desktop, screenWidth);
        EXPECT_EQ(desktop.waitDepth, 0);
        return item.Envelope();
    }

    TempDir dir;
    RecordingDesktop desktop;
};

std::vector<float> AsFloats(const std::vector<int32_t>& values, size_t first, size_t count) {
    std::vector<float> out;
    for (size_t i = first; i < first + count; ++i)
        out.push_back(i < values.size() ? float(values[i]) : 0.0f);
    return out;
}

} // namespace

TEST_F(WaveformItem, TakesHeadTaskAndName) {
    auto head = OpenSamples(dir, std::vector<int32_t>(2 * 88200, 0), 44100, 2);
    ASSERT_TRUE(head);
    SetHeadTask(*head, 0, 44100, 1);
    head->Info().task.selectLeft = 40;
    CSfWav item(*head);
    EXPECT_EQ(item.GetKind(), 5);
    EXPECT_EQ(item.GetHead(), head.get());
    EXPECT_EQ(item.GetName(), "WAV: 1, 0m_1s"); // 0 s is written "0m" in the compact form
    EXPECT_EQ(item.Range().start, 0u);
    EXPECT_EQ(item.Range().end, 44100u);
    EXPECT_EQ(item.Range().length, 44100u);
    EXPECT_EQ(item.Range().channel, 1);
    EXPECT_EQ(item.Task().selectLeft, 40); // the whole task of the source
    EXPECT_TRUE(item.Envelope().values.empty());
    EXPECT_EQ(item.Envelope().lower, 0.0f);
    EXPECT_EQ(item.Envelope().upper, 0.0f);

    SetHeadTask(*head, 66150, 154350, 0);
    EXPECT_EQ(CSfWav(*head).GetName(), "WAV: 0, 1.5s_3.5s");
}

TEST_F(WaveformItem, GetTaskGivesBlockChannelAndFlagsOnly) {
    auto head = OpenSamples(dir, std::vector<int32_t>(1000, 0), 8000);
    ASSERT_TRUE(head);
    SetHeadTask(*head, 100, 900);
    CSfWav item(*head);
    // The window's state: a block, the cursor and its flags.
    item.Task().start = 200;
    item.Task().end = 300;
    item.Task().channel = 0;
    item.Task().playCursor = 77;
    item.Task().cursorFrame = 250;
    item.Task().flags = 0x081;

    SfTask task;
    task.selectRight = 5;
    task.playCursor = 6;
    task.cursorFrame = 8;
    task.boxFreqLow = 9.0f;
    item.GetTask(task);
    EXPECT_EQ(task.start, 200u);
    EXPECT_EQ(task.end, 300u);
    EXPECT_EQ(task.channel, 0);
    EXPECT_EQ(task.flags, 0x081u);
    EXPECT_EQ(task.selectRight, 5);
    EXPECT_EQ(task.playCursor, 6);
    EXPECT_EQ(task.cursorFrame, 8);
    EXPECT_EQ(task.boxFreqLow, 9.0f);

    // A waveform inserted from this window opens on its block.
    CSfWav inner(static_cast<CSfBase&>(item));
    EXPECT_EQ(inner.GetHead(), head.get());
    EXPECT_EQ(inner.Range().start, 200u);
    EXPECT_EQ(inner.Range().length, 100u);
}

TEST_F(WaveformItem, EmptyAndReversedRangesHoldNoFrames) {
    auto head = OpenSamples(dir, Sine(1000, 100, 8000, 1000), 8000);
    ASSERT_TRUE(head);
    SetHeadTask(*head, 500, 500);
    CSfWav empty(*head);
    EXPECT_EQ(empty.Range().length, 0u);
    SetHeadTask(*head, 600, 500);
    CSfWav reversed(*head);
    EXPECT_EQ(reversed.Range().start, 600u);
    EXPECT_EQ(reversed.Range().length, 0u);
    reversed.BuildEnvelope(desktop, screenWidth);
    EXPECT_TRUE(reversed.Envelope().values.empty());
    EXPECT_EQ(reversed.Envelope().upper, 0.0f);
}

TEST_F(WaveformItem, ShortRangesShowTheSamplesThemselves) {
    const std::vector<int32_t> values = Sine(3000, 440, 8000, 20000);
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    // 1000 frames on a 1024-pixel screen: 1000 values, not pairs.
    const WavEnvelope e = Envelope(*head, 1500, 2500);
    EXPECT_EQ(e.values, AsFloats(values, 1500, 1000));
    int32_t peak = 0;
    for (size_t i = 1500; i < 2500; ++i)
        peak = std::max(peak, std::abs(values[i]));
    EXPECT_FLOAT_EQ(e.upper, 1.1f * float(peak));
    EXPECT_FLOAT_EQ(e.lower, -1.1f * float(peak));
}

TEST_F(WaveformItem, LongRangesShowMinMaxPairs) {
    std::vector<int32_t> values = Sine(500, 50, 8000, 1000);
    values[137] = -30000; // the peak that decides the bounds is a minimum
    values[301] = 12000;
    auto head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    screenWidth = 8; // W = 16 values

    // Exactly W frames: W/2 pairs over chunks of 2 frames.
    EXPECT_EQ(Envelope(*head, 40, 56).values, NaiveMinMax(values, 40, 8, 2));

    // 300 frames: chunks of 2 x 300 / 16 = 37 frames, the last 4 frames unseen.
    const WavEnvelope e = Envelope(*head, 100, 400);
    EXPECT_EQ(e.values, NaiveMinMax(values, 100, 8, 37));
    EXPECT_EQ(e.values[2], -30000.0f);
    EXPECT_FLOAT_EQ(e.upper, 33000.0f);
    EXPECT_FLOAT_EQ(e.lower, -33000.0f);

    // A range running past the end of the file: the missing frames are 0.
    const WavEnvelope past = Envelope(*head, 400, 700);
    EXPECT_EQ(past.values, NaiveMinMax(values, 400, 8, 37));
    EXPECT_EQ(past.values[15], 0.0f);
}

TEST_F(WaveformItem, ChunksLongerThanOneReadAreScannedWhole) {
    // Three pairs of chunks of 150000 frames each, read in pieces: the
    // extremes sit far into a chunk and in its very last frame.
    std::vector<int32_t> values(450000, 3);
    values[0] = -5;
    values[149999] = 9;
    values[150000 + 70000] = -17000;
    values[300000 + 140000] = 16000;
    auto head = OpenSamples(dir, values, 44100);
    ASSERT_TRUE(head);
    screenWidth = 3;
    const WavEnvelope e = Envelope(*head, 0, 450000);
    EXPECT_EQ(e.values, NaiveMinMax(values, 0, 3, 150000));
    EXPECT_EQ(e.values, (std::vector<float>{-5, 9, -17000, 3, 3, 16000}));
}

TEST_F(WaveformItem, SilenceAndSampleWidths) {
    auto silent = OpenSamples(dir, std::vector<int32_t>(5000, 0), 8000);
    ASSERT_TRUE(silent);
    const WavEnvelope quiet = Envelope(*silent, 0, 5000);
    EXPECT_EQ(quiet.values.size(), 2048u);
    EXPECT_EQ(quiet.upper, 0.0f);
    EXPECT_EQ(quiet.lower, 0.0f);
    EXPECT_FALSE(std::signbit(quiet.lower)); // texts show 0, not -0

    // 8-bit samples are the byte minus 128, 16-bit ones signed.
    auto bytes = OpenSamples(dir, {-128, 127, 0, -1}, 8000, 1, 1);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(Envelope(*bytes, 0, 4).values, (std::vector<float>{-128, 127, 0, -1}));
    auto words = OpenSamples(dir, {-32768, 32767, 1}, 8000, 1, 2);
    ASSERT_TRUE(words);
    const WavEnvelope e = Envelope(*words, 0, 3);
    EXPECT_EQ(e.values, (std::vector<float>{-32768, 32767, 1}));
    EXPECT_FLOAT_EQ(e.upper, 1.1f * 32768.0f);

    // The chosen channel of a stereo file.
    auto stereo = OpenSamples(dir, {1, -7, 2, 8, 3, -9}, 8000, 2);
    ASSERT_TRUE(stereo);
    EXPECT_EQ(Envelope(*stereo, 0, 3, 1).values, (std::vector<float>{-7, 8, -9}));
}
