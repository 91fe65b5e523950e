// The sonagram computation against tones whose bins and levels are known in
// closed form, silence, constant signals and ramps whose frame positions can
// be counted by hand.
#include "support/AnalysisFiles.h"

#include "drawing/NoteText.h"
#include "drawing/NumberText.h"
#include "sonagram/CSfSon.h"
#include "sonagram/ComputeSonagram.h"
#include "sonagram/SonReadout.h"
#include "sonagram/SonagramAxis.h"
#include "sonagram/SonagramMemory.h"

#include <charconv>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// A desktop that also counts how often the wait cursor was shown.
struct SonDesktop : RecordingDesktop {
    int waitShown = 0;
    void BeginWaitCursor() override {
        ++waitShown;
        RecordingDesktop::BeginWaitCursor();
    }
};

// The periodic Hanning window of N points has the sum N/2 and the mean square
// 3/8. A sine of amplitude A on bin k0 gives |X[k0]| = A N / 4, the two
// neighbours A N / 8 and nothing elsewhere, and the frame's mean square is
// A^2 x 3/16.
constexpr double kAmplitude = 10000.0;
const double kToneDb = 20.0 * std::log10(kAmplitude * 256 / 4);                // 116.12 dB
const double kToneLevel = 10.0 * std::log10(kAmplitude * kAmplitude * 3 / 16); // 72.73 dB

class ComputeSonagram_ : public ::testing::Test {
protected:
    int screenWidth = 64; // W = 32 columns

    // A sonagram item for start .. end of a file of values.
    std::unique_ptr<CSfSon> Item(const std::vector<int32_t>& values, uint32_t start, uint32_t end,
                                 int lfft, int window, float fmax, int channels = 1,
                                 int channel = 0) {
        heads.push_back(OpenSamples(dir, values, 8000, channels));
        CSfHead& head = *heads.back();
        SetHeadTask(head, start, end, channel);
        FftSettings son;
        son.Lfft = lfft;
        son.Lwdw = lfft;
        son.Shift = lfft;
        son.IWin = window;
        son.Range = 70;
        son.Fmax = fmax;
        return CSfSon::Create(head, son);
    }

    SonagramOutcome Compute(CSfSon& son, uint64_t budget = SonagramMemoryBudget()) {
        return ComputeSonagram(son, cells, desktop, screenWidth, budget);
    }

    // The rows of column whose cells are not background.
    std::vector<int> LitRows(int column) const {
        std::vector<int> rows;
        for (int y = 0; y < cells.height; ++y) {
            if (cells.At(column, y) != 0)
                rows.push_back(y);
        }
        return rows;
    }

    TempDir dir;
    std::vector<std::unique_ptr<CSfHead>> heads; // items point at theirs
    SonDesktop desktop;
    SonagramCells cells;
};

} // namespace

TEST_F(ComputeSonagram_, ToneLightsItsBinRowInEveryColumn) {
    // 1000 Hz at 8000 Hz with Lfft 256: bin 32. Fmax 4000 Hz: H = 128 rows,
    // bin 32 in row 127 - 32 = 95. The file runs one frame past the range.
    auto son = Item(Sine(8256, 1000, 8000, kAmplitude), 0, 8000, 256, 2, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    ASSERT_EQ(cells.width, 32);
    ASSERT_EQ(cells.height, 128);
    ASSERT_EQ(cells.index.size(), 32u * 128u);

    const SfFftParam& p = son->Param();
    EXPECT_NEAR(p.results.dBMax, kToneDb, 0.001);
    EXPECT_EQ(p.Floor, 46); // trunc(116.12 - 70)
    // Bin 32 is the loudest cell, index 255; its neighbours are 6.02 dB down:
    // trunc((70 - 6.02) x 256 / 70) = 233; the rest lies far below the floor.
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(LitRows(i), (std::vector<int>{94, 95, 96})) << "column " << i;
        EXPECT_EQ(cells.At(i, 95), 255) << i;
        EXPECT_EQ(cells.At(i, 94), 233) << i;
        EXPECT_EQ(cells.At(i, 96), 233) << i;
    }

    const SonLevels& levels = son->Levels();
    ASSERT_EQ(levels.values.size(), 32u);
    float lowest = levels.values[0];
    float highest = levels.values[0];
    for (float v : levels.values) {
        EXPECT_NEAR(v, kToneLevel, 0.01);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    // The bounds enclose the curve; a curve this even may come out flat and be
    // widened by 1 %, never by more.
    EXPECT_LE(levels.minimum, lowest);
    EXPECT_GE(levels.minimum, lowest * 0.99f);
    EXPECT_GE(levels.maximum, highest);
    EXPECT_LE(levels.maximum, highest * 1.01f);
}

// Stopped at a progress text (Esc in the window, Ctrl+C on the command line),
// the sonagram is not finished and nothing of it is new; computed again it is
// whole.
TEST_F(ComputeSonagram_, StoppedAtItsProgressLeavesNothing) {
    auto son = Item(Sine(8256, 1000, 8000, kAmplitude), 0, 8000, 256, 2, 4000.0f);
    desktop.stopProgress = true;
    EXPECT_EQ(Compute(*son), SonagramOutcome::Cancelled);
    EXPECT_EQ(desktop.infoTexts, std::vector<std::string>{"SON 0.00 Proz."});
    EXPECT_TRUE(son->Levels().values.empty());
    EXPECT_EQ(cells.width, 0);

    desktop.stopProgress = false;
    desktop.infoTexts.clear();
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    EXPECT_EQ(desktop.infoTexts, (std::vector<std::string>{"SON 0.00 Proz.", "SON 50.00 Proz."}));
    EXPECT_EQ(cells.width, 32);
}

TEST_F(ComputeSonagram_, HighBinsAtTheTopFirstFrameAtTheLeft) {
    // 500 Hz (bin 16, row 111) up to frame 4000, then 2000 Hz (bin 64, row 63).
    // Columns start every 250 frames: 0 .. 14 see only the low tone, 16 .. 31
    // only the high one.
    std::vector<int32_t> values = Sine(4000, 500, 8000, kAmplitude);
    const std::vector<int32_t> high = Sine(4256, 2000, 8000, kAmplitude);
    values.insert(values.end(), high.begin(), high.end());
    auto son = Item(values, 0, 8000, 256, 2, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    for (int i = 0; i < 32; ++i) {
        if (i == 15)
            continue; // straddles the change
        const int row = i < 15 ? 111 : 63;
        EXPECT_EQ(LitRows(i), (std::vector<int>{row - 1, row, row + 1})) << "column " << i;
        EXPECT_EQ(cells.At(i, row), 255) << i;
    }
}

TEST_F(ComputeSonagram_, OnlyTheRangeChannelIsAnalysed) {
    // Stereo: silence on channel 0, the 1000 Hz tone on channel 1.
    const std::vector<int32_t> tone = Sine(8256, 1000, 8000, kAmplitude);
    std::vector<int32_t> frames;
    for (int32_t v : tone) {
        frames.push_back(0);
        frames.push_back(v);
    }
    auto right = Item(frames, 0, 8000, 256, 2, 4000.0f, 2, 1);
    ASSERT_EQ(Compute(*right), SonagramOutcome::Computed);
    EXPECT_EQ(LitRows(7), (std::vector<int>{94, 95, 96}));

    auto left = Item(frames, 0, 8000, 256, 2, 4000.0f, 2, 0);
    ASSERT_EQ(Compute(*left), SonagramOutcome::Computed);
    for (int i = 0; i < 32; ++i)
        EXPECT_TRUE(LitRows(i).empty()) << i;
}

TEST_F(ComputeSonagram_, SilenceIsAllBackgroundOnTheDbFloorWithLevelsOfZeroDb) {
    auto son = Item(std::vector<int32_t>(8256, 0), 0, 8000, 256, 4, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    for (uint8_t c : cells.index)
        ASSERT_EQ(c, 0);
    EXPECT_EQ(son->Param().results.dBMax, -200.0f);
    EXPECT_EQ(son->Param().Floor, -270);
    for (float v : son->Levels().values)
        EXPECT_EQ(v, 0.0f);
    // A flat curve at 0 dB still gets an axis with an extent.
    EXPECT_FLOAT_EQ(son->Levels().minimum, -1.0f);
    EXPECT_FLOAT_EQ(son->Levels().maximum, 1.0f);
}

// Silent frames before a tone: their 0 dB is the curve's lower bound, not the
// -200 dB of silent bins, so the tone's frames keep the whole pane.
TEST_F(ComputeSonagram_, SilentFramesBeforeAToneLieAtZeroDb) {
    std::vector<int32_t> values(4000, 0);
    const std::vector<int32_t> tone = Sine(4256, 500, 8000, kAmplitude);
    values.insert(values.end(), tone.begin(), tone.end());
    auto son = Item(values, 0, 8000, 256, 2, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    const std::vector<float>& levels = son->Levels().values;
    EXPECT_EQ(levels.front(), 0.0f);
    EXPECT_NEAR(levels.back(), kToneLevel, 0.01);
    EXPECT_EQ(son->Levels().minimum, 0.0f);
    EXPECT_NEAR(son->Levels().maximum, kToneLevel, 0.01);
}

TEST_F(ComputeSonagram_, ConstantSignalIsZeroHertzInTheBottomRowWithAFlatCurve) {
    // A constant 100 through the rectangle: every frame has the mean square
    // 10000, 40 dB, and all of its power in bin 0.
    auto son = Item(std::vector<int32_t>(8256, 100), 0, 8000, 256, 0, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(LitRows(i), (std::vector<int>{127})) << i;
    EXPECT_NEAR(son->Param().results.dBMax, 20.0 * std::log10(100.0 * 256), 1e-3);
    for (float v : son->Levels().values)
        EXPECT_EQ(v, 40.0f);
    EXPECT_FLOAT_EQ(son->Levels().minimum, 40.0f * 0.99f);
    EXPECT_FLOAT_EQ(son->Levels().maximum, 40.0f * 1.01f);
}

TEST_F(ComputeSonagram_, ColumnsStartAtRoundedMultiplesOfTheHop) {
    // A ramp x[n] = n + 1 through the rectangle of 16 points tells each
    // column's first frame by its level. Range 20 .. 30 over 32 columns: hop
    // 10/32, column i starts at 20 + trunc(i x 10/32 + 0.5), so neighbouring
    // columns share frames, and the last one reads 15 frames past the range.
    std::vector<int32_t> ramp(64);
    for (int n = 0; n < 64; ++n)
        ramp[n] = n + 1;
    auto son = Item(ramp, 20, 30, 16, 0, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    const std::vector<float>& levels = son->Levels().values;
    ASSERT_EQ(levels.size(), 32u);
    for (int i = 0; i < 32; ++i) {
        const int first = 20 + (2 * i * 10 + 32) / 64;
        double sum = 0.0;
        for (int t = 0; t < 16; ++t)
            sum += double(first + t + 1) * (first + t + 1);
        EXPECT_NEAR(levels[i], 10.0 * std::log10(sum / 16), 1e-4) << "column " << i;
    }
    EXPECT_EQ(levels[0], levels[1]); // both start at frame 20
    EXPECT_NE(levels[1], levels[2]); // frame 21
}

TEST_F(ComputeSonagram_, FftLongerThanTheFileReadsZeroPadding) {
    // 96 frames, 12 periods, of 1000 Hz and Lfft 1024: every frame runs past
    // the end of the file. The tone lies on bin 128 of 1024, row 511 - 128 =
    // 383. With a whole number of periods the padded frame peaks there at
    // A x 96 / 2; bins 127 and 129 are 0.10 and 0.15 dB lower and so share
    // index 255, bins 126 and 130 are 0.45 and 0.56 dB lower (a direct DFT).
    // The first frame holds all 96 samples, sum of squares A^2 x 48.
    auto son = Item(Sine(96, 1000, 8000, kAmplitude), 0, 96, 1024, 0, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    ASSERT_EQ(cells.height, 512);
    EXPECT_NEAR(son->Param().results.dBMax, 20.0 * std::log10(kAmplitude * 96 / 2), 0.001);
    std::vector<int> darkest;
    for (int y = 0; y < cells.height; ++y) {
        if (cells.At(0, y) == 255)
            darkest.push_back(y);
    }
    EXPECT_EQ(darkest, (std::vector<int>{382, 383, 384}));
    EXPECT_EQ(cells.At(0, 381), 253);
    EXPECT_EQ(cells.At(0, 385), 254);
    EXPECT_NEAR(son->Levels().values[0], 10.0 * std::log10(kAmplitude * kAmplitude * 48 / 1024),
                0.01);
    // The last column starts at frame 93 and holds three samples of the tone.
    for (float v : son->Levels().values)
        EXPECT_TRUE(std::isfinite(v) && v > 0.0f);
}

TEST_F(ComputeSonagram_, FmaxIsClippedToHalfTheRateAndSetsTheRowCount) {
    const std::vector<int32_t> tone = Sine(2000, 1000, 8000, kAmplitude);
    auto son = Item(tone, 0, 1000, 256, 2, 10000.0f);
    son->Param().Fmin = 50.0f;
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    EXPECT_EQ(son->Param().Fmax, 4000.0f);
    EXPECT_EQ(son->Param().Fmin, 0.0f);
    EXPECT_EQ(cells.height, 128); // all Lfft / 2 bins

    // Bin k lies at k x 31.25 Hz; H counts the bins from 0 Hz up to Fmax.
    for (const auto& [fmax, rows] :
         {std::pair<float, int>{1000.0f, 32}, {1031.25f, 33}, {1031.0f, 32}, {40.0f, 1}}) {
        auto item = Item(tone, 0, 1000, 256, 2, fmax);
        ASSERT_EQ(Compute(*item), SonagramOutcome::Computed) << fmax;
        EXPECT_EQ(cells.height, rows) << fmax;
        EXPECT_EQ(item->Param().Fmax, fmax);
    }
    // The 1000 Hz tone is bin 32: the top row of 33, beyond the image of 32.
    auto top = Item(tone, 0, 1000, 256, 2, 1031.25f);
    ASSERT_EQ(Compute(*top), SonagramOutcome::Computed);
    EXPECT_EQ(cells.At(3, 0), 255);

    // W is half the screen width, whatever the range.
    screenWidth = 65;
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    EXPECT_EQ(cells.width, 32);
}

TEST_F(ComputeSonagram_, NoRowsOrNoColumnsLeaveOnlyTheLevelCurve) {
    // Fmax 0, or below the first bin step of 31.25 Hz: H = 0.
    for (float fmax : {0.0f, 31.0f}) {
        auto son = Item(Sine(8256, 1000, 8000, kAmplitude), 0, 8000, 256, 2, fmax);
        son->Param().results.dBMax = 12.5f;
        son->Param().Floor = 7;
        ASSERT_EQ(Compute(*son), SonagramOutcome::NoCells) << fmax;
        EXPECT_EQ(cells.width, 32);
        EXPECT_EQ(cells.height, 0);
        EXPECT_TRUE(cells.index.empty());
        EXPECT_EQ(son->Param().results.dBMax, 12.5f);
        EXPECT_EQ(son->Param().Floor, 7);
        ASSERT_EQ(son->Levels().values.size(), 32u);
        for (float v : son->Levels().values)
            EXPECT_NEAR(v, kToneLevel, 0.01);
    }

    // A screen one pixel wide: no columns at all.
    screenWidth = 1;
    auto son = Item(Sine(8256, 1000, 8000, kAmplitude), 0, 8000, 256, 2, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::NoCells);
    EXPECT_EQ(cells.width, 0);
    EXPECT_TRUE(son->Levels().values.empty());
    EXPECT_EQ(son->Levels().minimum, -1.0f);
    EXPECT_EQ(son->Levels().maximum, 1.0f);
    EXPECT_EQ(desktop.waitDepth, 0);
}

TEST_F(ComputeSonagram_, EmptyRangesAndBadLengthsComputeNothing) {
    const std::vector<int32_t> tone = Sine(2000, 1000, 8000, kAmplitude);
    cells = SonagramCells{1, 1, {9}, {}, {}};
    for (const auto& [start, end, lfft, outcome] :
         {std::tuple<uint32_t, uint32_t, int, SonagramOutcome>{300, 300, 256,
                                                               SonagramOutcome::EmptyRange},
          {500, 200, 256, SonagramOutcome::EmptyRange},
          {0, 1000, 1000, SonagramOutcome::BadFftLength},
          {0, 1000, 0, SonagramOutcome::BadFftLength}}) {
        auto son = Item(tone, start, end, lfft, 2, 10000.0f);
        son->Param().Fmin = 50.0f;
        EXPECT_EQ(Compute(*son), outcome) << start << " " << end << " " << lfft;
        EXPECT_EQ(son->Param().Fmax, 10000.0f);
        EXPECT_EQ(son->Param().Fmin, 50.0f);
        EXPECT_TRUE(son->Levels().values.empty());
    }
    EXPECT_EQ(cells.width, 1);
    EXPECT_EQ(cells.index, std::vector<uint8_t>{9});
    EXPECT_TRUE(desktop.infoTexts.empty());
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(desktop.waitShown, 0);
}

TEST_F(ComputeSonagram_, WorkBeyondTheMemoryBudgetIsRefusedWithAMessage) {
    // W = 32, H = 128, Lfft 256: 6 bytes per cell, 16 per frame point and 4
    // per column make 24576 + 4096 + 128 = 28800 bytes.
    const std::vector<int32_t> tone = Sine(2000, 1000, 8000, kAmplitude);
    auto son = Item(tone, 0, 1000, 256, 2, 4000.0f);
    EXPECT_EQ(SonagramBytes(32, 128, 256), 28800u);
    EXPECT_EQ(Compute(*son, 28799), SonagramOutcome::TooLarge);
    EXPECT_TRUE(son->Levels().values.empty());
    EXPECT_EQ(cells.height, 0);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].second, MessageIcon::Stop);
    EXPECT_EQ(desktop.waitShown, 0);
    EXPECT_EQ(Compute(*son, 28800), SonagramOutcome::Computed);
    EXPECT_EQ(cells.height, 128);

    // The largest FFT up to half the rate: 32 x 524288 cells, 112 MB.
    auto big = Item(tone, 0, 1000, 1048576, 2, 4000.0f);
    EXPECT_EQ(Compute(*big, 64u << 20), SonagramOutcome::TooLarge);
    EXPECT_EQ(desktop.messages.back().first,
              "This sonagram needs 112 MB of memory, more than the 64 MB it may use. "
              "Lower Fmax or the FFT length.");

    // However much memory the machine has, never more than 4 GiB.
    EXPECT_GT(SonagramMemoryBudget(), 0u);
    EXPECT_LE(SonagramMemoryBudget(), uint64_t(4) << 30);
}

TEST_F(ComputeSonagram_, ProgressEverySixteenColumnsUnderTheWaitCursor) {
    screenWidth = 1024; // W = 512
    auto son = Item(Sine(2000, 1000, 8000, kAmplitude), 0, 1000, 16, 2, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    ASSERT_EQ(desktop.infoTexts.size(), 32u); // columns 0, 16, .. 496
    EXPECT_EQ(desktop.infoTexts[0], "SON 0.00 Proz.");
    EXPECT_EQ(desktop.infoTexts[1], "SON 3.12 Proz."); // 3.125, rounded to even
    EXPECT_EQ(desktop.infoTexts[16], "SON 50.00 Proz.");
    EXPECT_EQ(desktop.infoTexts[31], "SON 96.88 Proz.");
    EXPECT_EQ(desktop.waitShown, 1);
    EXPECT_EQ(desktop.waitDepth, 0);
}

TEST_F(ComputeSonagram_, EveryHopFindsAClickBetweenTwoColumns) {
    // 32 columns over 32000 frames: a column every 1000 frames, each frame
    // 64 long. A click at frame 1500 lies in no frame of its own column
    // (1000 .. 1063) nor the next (2000 .. 2063); every 16 frames, four
    // frames of column 1 (1440 .. 1488) hold it.
    std::vector<int32_t> samples(32064, 0);
    const double click = 20000.0;
    samples[1500] = int32_t(click);
    for (const auto& [frames, lit] : {std::pair<int32_t, bool>{kFramesPerColumn, false},
                                      std::pair<int32_t, bool>{kFramesEveryHop, true}}) {
        auto son = Item(samples, 0, 32000, 64, 0, 4000.0f);
        son->Param().Frames = frames;
        son->Param().Hop = 16;
        ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
        const std::vector<float>& levels = son->Levels().values;
        ASSERT_EQ(levels.size(), 32u);
        // The rectangle keeps the click whole: every frame that holds it has
        // the mean square click^2 / 64 and the flat spectrum 20 log10(click).
        EXPECT_NEAR(levels[1], lit ? 10.0 * std::log10(click * click / 64) : 0.0, 1e-3);
        for (int i = 0; i < 32; ++i) {
            if (i != 1) {
                EXPECT_EQ(levels[size_t(i)], 0.0f) << "column " << i;
            }
            EXPECT_EQ(LitRows(i).size(), lit && i == 1 ? size_t(cells.height) : 0u)
                << "column " << i;
        }
        if (lit) {
            EXPECT_NEAR(son->Param().results.dBMax, 20.0 * std::log10(click), 1e-3);
            EXPECT_NEAR(cells.LevelAt(1, 0), 20.0 * std::log10(click), 1e-3);
        }
    }
}

TEST_F(ComputeSonagram_, EveryHopWithAHopWiderThanAColumnStillFillsEveryColumn) {
    // A ramp over 20 .. 30 with 32 columns and a hop of 4: most columns hold
    // no frame start of their own and take the frame at their start.
    std::vector<int32_t> ramp(64);
    for (int n = 0; n < 64; ++n)
        ramp[n] = n + 1;
    auto column = Item(ramp, 20, 30, 16, 0, 4000.0f);
    ASSERT_EQ(Compute(*column), SonagramOutcome::Computed);
    auto hop = Item(ramp, 20, 30, 16, 0, 4000.0f);
    hop->Param().Frames = kFramesEveryHop;
    hop->Param().Hop = 4;
    ASSERT_EQ(Compute(*hop), SonagramOutcome::Computed);
    // Frames 20, 24, 28 start in columns 0, 13 and 26 (frame j x 4 x 32 / 10).
    for (int i = 0; i < 32; ++i) {
        if (i == 0 || i == 13 || i == 26)
            continue;
        EXPECT_EQ(hop->Levels().values[size_t(i)], column->Levels().values[size_t(i)]) << i;
    }
    EXPECT_GE(hop->Levels().values[13], column->Levels().values[12]);
}

TEST_F(ComputeSonagram_, ReadoutsGiveTheLevelOfTheCellUnderThePoint) {
    // The tone of the first test: bin 32 in row 95, 32 x 128 cells shown on
    // 64 x 256 pixels, two by two.
    auto son = Item(Sine(8256, 1000, 8000, kAmplitude), 0, 8000, 256, 2, 4000.0f);
    ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
    ASSERT_TRUE(cells.HasLevels());
    for (int i = 0; i < cells.width; ++i)
        EXPECT_NEAR(cells.LevelAt(i, 95), kToneDb, 0.01) << "column " << i;
    const PlotRect plot{28, 4, 28 + 64, 4 + 256};
    const FrequencyAxis axis(FreqAxisKind::Linear, 0.0, 4000.0);
    for (int y = plot.top; y < plot.bottom; y += 3) {
        for (int x = plot.left; x < plot.right; x += 5) {
            const SonReadout r = ReadoutAt(cells, plot, axis, 0.0, 1.0, x, y);
            ASSERT_TRUE(r.hasLevel);
            EXPECT_EQ(r.column, (x - 28) / 2);
            EXPECT_EQ(r.row, (y - 4) / 2);
            EXPECT_EQ(r.level, cells.LevelAt((x - 28) / 2, (y - 4) / 2)) << x << "," << y;
            EXPECT_NEAR(r.seconds, (x - 28) / 64.0, 1e-12);
        }
    }
    // Row 95 lies on pixel rows 194 and 195; 194 reads 65.5 / 256 of 4000 Hz.
    const SonReadout tone = ReadoutAt(cells, plot, axis, 0.0, 1.0, 40, 194);
    EXPECT_DOUBLE_EQ(tone.hz, 65.5 * 4000 / 256);
    EXPECT_EQ(tone.row, 95);
    const std::string text = SonReadoutText(tone, false, 440.0, 0);
    EXPECT_NE(text.find("\r\nFreq:\t1023.4 Hz"), std::string::npos) << text;
    EXPECT_NE(
        text.find("\r\nLevel:\t" + NumberText(tone.level, std::chars_format::fixed, 1) + " dB\r\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\nNote:\t" + NoteText(tone.hz, 440.0, 0)), std::string::npos);
    EXPECT_NE(SonReadoutText(tone, true, 440.0, 0).find(" dBFS"), std::string::npos);
}

TEST_F(ComputeSonagram_, OtherAxesShowTheToneInTheRowsOfItsBin) {
    for (int32_t kind : {kAxisLog, kAxisBark, kAxisNote}) {
        auto son = Item(Sine(8256, 1000, 8000, kAmplitude), 0, 8000, 256, 2, 4000.0f);
        son->Param().FreqAxis = kind;
        ASSERT_EQ(Compute(*son), SonagramOutcome::Computed);
        ASSERT_EQ(cells.height, 128);
        EXPECT_EQ(cells.rowBin,
                  BinsOfRows(SonFrequencyAxis(son->Param(), 8000.0), 128, 8000.0 / 256));
        // The loudest cells are the tone's bin, wherever its rows lie.
        int loudest = 0;
        for (int y = 0; y < cells.height; ++y) {
            if (cells.At(5, y) == 255) {
                EXPECT_EQ(cells.rowBin[size_t(y)], 32) << "axis " << kind << " row " << y;
                ++loudest;
            }
        }
        EXPECT_GT(loudest, 0) << "axis " << kind;
    }
}
