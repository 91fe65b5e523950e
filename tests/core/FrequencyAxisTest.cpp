// The log, Bark and note frequency axes: Traunmueller's formula at values
// worked out by hand, every mapping against its inverse, the pixel rows a
// selection box is drawn on back to Hz, and the ticks each axis labels.
#include "drawing/FrequencyAxis.h"
#include "sonagram/SonagramAxis.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(FrequencyAxis, BarkFollowsTraunmuellerAndItsInverse) {
    // z = 26.81 f / (1960 + f) - 0.53, worked out by hand.
    const struct {
        double hz;
        double bark;
    } cases[] = {{0.0, -0.53},
                 {100.0, 26.81 * 100 / 2060 - 0.53},
                 {1000.0, 26.81 * 1000 / 2960 - 0.53}, // 8.527
                 {1960.0, 26.81 / 2 - 0.53},           // 12.875
                 {8000.0, 26.81 * 8000 / 9960 - 0.53}};
    for (const auto& c : cases) {
        EXPECT_NEAR(BarkOfHz(c.hz), c.bark, 1e-12) << c.hz;
        EXPECT_NEAR(HzOfBark(c.bark), c.hz, 1e-9) << c.hz;
    }
    EXPECT_NEAR(BarkOfHz(1000.0), 8.527, 0.001);
}

TEST(FrequencyAxis, PositionsAndFrequenciesAreInverseOnEveryAxis) {
    const FrequencyAxis axes[] = {
        FrequencyAxis(FreqAxisKind::Linear, 0.0, 8000.0),
        FrequencyAxis(FreqAxisKind::Log, 62.5, 8000.0),
        FrequencyAxis(FreqAxisKind::Bark, 0.0, 8000.0),
        FrequencyAxis(FreqAxisKind::Note, 43.06640625, 11025.0),
    };
    for (const FrequencyAxis& axis : axes) {
        EXPECT_NEAR(axis.Position(axis.Low()), 0.0, 1e-12);
        EXPECT_NEAR(axis.Position(axis.High()), 1.0, 1e-12);
        for (double hz : {70.0, 440.0, 1000.0, 3456.7, 7999.0})
            EXPECT_NEAR(axis.HzAt(axis.Position(hz)), hz, hz * 1e-12) << int(axis.Kind());
    }
    // The log axis halves at every octave: 62.5 .. 8000 Hz is 7 octaves, so
    // 500 Hz, three octaves up, lies at 3/7.
    EXPECT_NEAR(axes[1].Position(500.0), 3.0 / 7.0, 1e-12);
    // Bark: the middle of 0 .. 8000 Hz is the frequency of half their Bark span.
    EXPECT_NEAR(axes[2].HzAt(0.5), HzOfBark((BarkOfHz(0) + BarkOfHz(8000)) / 2), 1e-9);
}

TEST(FrequencyAxis, ABoxDrawnOnPixelRowsReturnsToItsFrequencies) {
    // A plot 300 pixels high; a box edge on a row stands for the frequency at
    // the row's middle, and that frequency lands on the same row again.
    const int top = 4;
    const int bottom = 304;
    for (FreqAxisKind kind :
         {FreqAxisKind::Linear, FreqAxisKind::Log, FreqAxisKind::Bark, FreqAxisKind::Note}) {
        const FrequencyAxis axis = FrequencyAxis::ForBand(kind, 0.0, 8000.0, 44100.0, 1024);
        for (int y = top; y < bottom; ++y) {
            const double hz = HzOfPixelRow(axis, top, bottom, y);
            EXPECT_EQ(PixelRowOfHz(axis, top, bottom, hz), y) << int(kind) << " row " << y;
            EXPECT_GE(hz, axis.Low());
            EXPECT_LE(hz, axis.High());
        }
        // Higher rows are higher frequencies.
        EXPECT_GT(HzOfPixelRow(axis, top, bottom, top), HzOfPixelRow(axis, top, bottom, 200));
    }
}

TEST(FrequencyAxis, LogAndNoteAxesStartAtOneBinAndTwentyHertz) {
    // 44100 / 1024 = 43.07 Hz is above 20 Hz; 44100 / 16384 = 2.7 Hz is not.
    EXPECT_DOUBLE_EQ(FrequencyAxis::ForBand(FreqAxisKind::Log, 0, 8000, 44100, 1024).Low(),
                     44100.0 / 1024);
    EXPECT_DOUBLE_EQ(FrequencyAxis::ForBand(FreqAxisKind::Note, 0, 8000, 44100, 16384).Low(), 20.0);
    EXPECT_DOUBLE_EQ(FrequencyAxis::ForBand(FreqAxisKind::Bark, 0, 8000, 44100, 1024).Low(), 0.0);
    EXPECT_DOUBLE_EQ(FrequencyAxis::ForBand(FreqAxisKind::Linear, 0, 8000, 44100, 1024).Low(), 0.0);
}

TEST(FrequencyAxis, TicksAreOctavesBarksAndEveryC) {
    const FrequencyAxis log(FreqAxisKind::Log, 43.0, 8000.0);
    std::vector<std::string> labels;
    for (const AxisTick& tick : log.Ticks(440.0, 0))
        labels.push_back(tick.label);
    EXPECT_EQ(labels,
              (std::vector<std::string>{"62.5", "125", "250", "500", "1k", "2k", "4k", "8k"}));

    const FrequencyAxis bark(FreqAxisKind::Bark, 0.0, 4000.0); // -0.53 .. 17.49 Bark
    const std::vector<AxisTick> barks = bark.Ticks(440.0, 0);
    ASSERT_EQ(barks.size(), 18u); // 0 .. 17
    EXPECT_EQ(barks.front().label, "0");
    EXPECT_EQ(barks.front().beside, std::to_string(std::lround(HzOfBark(0))));
    EXPECT_EQ(barks[10].label, "10");
    EXPECT_EQ(barks[10].beside, "1268"); // 1960 x 10.53 / 16.28
    EXPECT_NEAR(barks[10].position, bark.Position(HzOfBark(10)), 1e-12);

    // Middle C is 261.63 Hz for A = 440: C4 in US notation, C1 in German.
    const FrequencyAxis notes(FreqAxisKind::Note, 100.0, 1100.0);
    for (const auto& [notation, names] :
         {std::pair<int, std::vector<std::string>>{0, {"C3", "C4", "C5", "C6"}},
          std::pair<int, std::vector<std::string>>{1, {"C0", "C1", "C2", "C3"}}}) {
        const std::vector<AxisTick> ticks = notes.Ticks(440.0, notation);
        ASSERT_EQ(ticks.size(), names.size());
        for (size_t i = 0; i < ticks.size(); ++i)
            EXPECT_EQ(ticks[i].label, names[i]);
        EXPECT_NEAR(ticks[1].hz, 261.6256, 1e-3);
    }
    // A reference of 415 Hz moves every C down a semitone.
    EXPECT_NEAR(notes.Ticks(415.0, 0)[1].hz, 261.6256 * 415 / 440, 1e-3);
    EXPECT_TRUE(FrequencyAxis(FreqAxisKind::Linear, 0, 8000).Ticks(440, 0).empty());
}

TEST(FrequencyAxis, RowsShowTheBinUnderTheirMiddle) {
    // Linear: row y shows bin H - 1 - y, as it always has.
    const FrequencyAxis linear(FreqAxisKind::Linear, 0.0, 4000.0);
    const std::vector<int> straight = BinsOfRows(linear, 128, 31.25);
    for (int y = 0; y < 128; ++y)
        EXPECT_EQ(straight[size_t(y)], 127 - y);
    // Log from 62.5 to 4000 Hz, six octaves over 128 rows of 31.25 Hz bins:
    // the top row's middle lies at 62.5 x 2^(6 x 127.5 / 128) = 3936 Hz, bin
    // 125; the bottom row's at 63.5 Hz, bin 2. Rows never climb downward, and
    // the upper octave 2 .. 4 kHz (bins 64 .. 127) takes the top sixth.
    const FrequencyAxis log(FreqAxisKind::Log, 62.5, 4000.0);
    const std::vector<int> bins = BinsOfRows(log, 128, 31.25);
    EXPECT_EQ(bins.front(), 125);
    EXPECT_EQ(bins.back(), 2);
    for (size_t y = 1; y < bins.size(); ++y)
        EXPECT_LE(bins[y], bins[y - 1]) << y;
    // Row 20's middle, 107.5 rows up, lies at 2055 Hz; row 21's at 1989 Hz.
    EXPECT_EQ(bins[20], 65);
    EXPECT_EQ(bins[21], 63);
}
