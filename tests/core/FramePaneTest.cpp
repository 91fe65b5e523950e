// The frame pane of the spectrum window: zero crossings, the fundamental
// frequency and period texts on frames computed from files made here, and the
// cursor of a range item, which holds fewer values than Lfft counts.
#include "support/AnalysisFiles.h"

#include "drawing/TimeText.h"
#include "soundfile/CSfSettings.h"
#include "spectrum/CSfFft.h"
#include "spectrum/FramePane.h"
#include "spectrum/TaskSpectrum.h"
#include "spectrum/ZeroCrossings.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class FramePane : public ::testing::Test {
protected:
    int screenWidth = 1024; // the width the analyses are sized by

    std::unique_ptr<CSfFft> Compute(CSfHead& head, uint32_t start, uint32_t end, int lfft) {
        settings.Fft().Lfft = lfft;
        settings.Fft().Lwdw = lfft;
        settings.Fft().Shift = lfft;
        SetHeadTask(head, start, end);
        auto item = std::make_unique<CSfFft>(head, settings);
        EXPECT_EQ(ComputeTaskSpectrum(*item, desktop, screenWidth), SpectrumOutcome::Computed);
        // As the spectrum pane's initial update leaves them.
        item->Param().start = start;
        item->Param().end = end;
        return item;
    }

    // The key's cursor and the text it shows.
    std::string Press(const CSfFft& item, FrameCursor& cursor, FrameKey key,
                      const FrameNoteNames& names = {440.0, 1}) {
        const SfFftParam& p = item.Param();
        cursor = StepFrameCursor(cursor, key, p.results.samples->data(), FrameCursorCount(p));
        return FrameKeyText(head->Info(), p, cursor, names);
    }

    // The frequency of a period text: the number before its last "Hz".
    static double Hz(const std::string& text) {
        const size_t end = text.rfind("Hz");
        return std::stod(text.substr(text.rfind('=', end) + 1));
    }

    TempDir dir;
    MemoryStore store;
    CSfSettings settings{store};
    RecordingDesktop desktop;
    std::unique_ptr<CSfHead> head;
};

std::vector<int32_t> Square(int frames, int period, int32_t amplitude) {
    std::vector<int32_t> values(frames);
    for (int t = 0; t < frames; ++t)
        values[t] = t % period < period / 2 ? amplitude : -amplitude;
    return values;
}

} // namespace

TEST(ZeroCrossings, PositionsAndPeriods) {
    const std::vector<float> v = {-1, 3, 2, 0, 0, 1, -2, -1, 1, 5};
    const int n = int(v.size());
    EXPECT_DOUBLE_EQ(CrossingPosition(v.data(), n, 0), 0.25);
    EXPECT_DOUBLE_EQ(CrossingPosition(v.data(), n, 4), 4.0);
    EXPECT_DOUBLE_EQ(CrossingPosition(v.data(), n, 7), 7.5);
    EXPECT_DOUBLE_EQ(CrossingPosition(v.data(), n, 2), 2.0); // no crossing there
    EXPECT_DOUBLE_EQ(CrossingPosition(v.data(), n, 9), 9.0); // last value
    EXPECT_EQ(NextCrossing(v.data(), n, 0), 4);
    EXPECT_EQ(NextCrossing(v.data(), n, 4), 7);
    EXPECT_EQ(NextCrossing(v.data(), n, 7), 7);
    EXPECT_EQ(PreviousCrossing(v.data(), n, 7), 4);
    EXPECT_EQ(PreviousCrossing(v.data(), n, 4), 4); // index 0 lies below the search
    EXPECT_EQ(PreviousCrossing(v.data(), n, 1), 1);
    ASSERT_TRUE(MeanPeriod(v.data(), n));
    EXPECT_DOUBLE_EQ(*MeanPeriod(v.data(), n), (7.5 - 0.25) / 2);
    EXPECT_DOUBLE_EQ(CrossingDistance(v.data(), n, 0, 7), 7.25);

    const std::vector<float> one = {1, -1, -1, 2, 1};
    EXPECT_FALSE(MeanPeriod(one.data(), int(one.size())));
    const std::vector<float> none(8, 0.0f);
    EXPECT_FALSE(MeanPeriod(none.data(), int(none.size())));
    EXPECT_FALSE(MeanPeriod(none.data(), 0));
}

TEST_F(FramePane, SquareWaveGivesItsFundamental) {
    head = OpenSamples(dir, Square(4000, 80, 8000), 8000); // 100 Hz
    ASSERT_TRUE(head);
    auto item = Compute(*head, 13, 13, 1024);
    EXPECT_EQ(FrameDrawCount(item->Param(), 1024), 1024);
    FrameCursor cursor;
    EXPECT_EQ(Press(*item, cursor, FrameKey::Fundamental),
              ShortPathText(head->Info().path, 25) +
                  "\r\nWAV\r\nZeroCrossF0=100Hz, G-1+35Cent\r\n");
    EXPECT_EQ(cursor.mode, 1);
}

// The fundamental and the period are named with the pitch and notation the
// spectrum pane uses, not a fixed one.
TEST_F(FramePane, NotesFollowTheReferenceAndNotation) {
    head = OpenSamples(dir, Square(4000, 80, 8000), 8000); // 100 Hz
    ASSERT_TRUE(head);
    auto item = Compute(*head, 13, 13, 1024);
    struct Case {
        FrameNoteNames names;
        const char* note;
    };
    const Case cases[] = {
        {{440.0, 1}, "G-1+35Cent"},
        {{440.0, 0}, "G2+35Cent"},
        {{415.0, 0}, "G#2+36Cent"},
        {{466.16, 1}, "F#-1+35Cent"},
    };
    for (const Case& c : cases) {
        FrameCursor cursor;
        const std::string fundamental = Press(*item, cursor, FrameKey::Fundamental, c.names);
        EXPECT_EQ(fundamental, ShortPathText(head->Info().path, 25) +
                                   "\r\nWAV\r\nZeroCrossF0=100Hz, " + c.note + "\r\n")
            << c.names.referenceHz;
        // A period of 80 samples is the same 100 Hz.
        cursor = FrameCursor{};
        Press(*item, cursor, FrameKey::Home, c.names);
        Press(*item, cursor, FrameKey::Mark, c.names);
        for (int i = 0; i < 79; ++i)
            Press(*item, cursor, FrameKey::Right, c.names);
        const std::string period = Press(*item, cursor, FrameKey::Right, c.names);
        EXPECT_NE(period.find(std::string("=100Hz, ") + c.note), std::string::npos) << period;
    }
}

TEST_F(FramePane, PeriodsBetweenCrossingsAreInterpolated) {
    // 130 Hz at 8000 Hz rises through zero at multiples of 61.538 frames.
    head = OpenSamples(dir, Sine(4000, 130, 8000, 10000), 8000);
    ASSERT_TRUE(head);
    auto item = Compute(*head, 0, 0, 1024);
    FrameCursor cursor{100, 0, 0};
    Press(*item, cursor, FrameKey::Mark);
    EXPECT_EQ(cursor.mark, 100);
    Press(*item, cursor, FrameKey::NextCrossing);
    EXPECT_EQ(cursor.index, 123);
    const std::string text = Press(*item, cursor, FrameKey::NextCrossing);
    EXPECT_EQ(cursor.index, 184);
    EXPECT_EQ(cursor.mode, 2);
    EXPECT_NE(text.find("[100-184=84]"), std::string::npos) << text;
    EXPECT_NEAR(Hz(text), 8000.0 / (3 * 8000.0 / 130 - 100), 0.02) << text; // not 8000 / 84

    // From one crossing to the next: one period.
    Press(*item, cursor, FrameKey::Home);
    Press(*item, cursor, FrameKey::NextCrossing);
    EXPECT_EQ(cursor.index, 61);
    Press(*item, cursor, FrameKey::Mark);
    EXPECT_NEAR(Hz(Press(*item, cursor, FrameKey::NextCrossing)), 130.0, 0.05);
    EXPECT_NEAR(Hz(Press(*item, cursor, FrameKey::Right)), 8000.0 / 63, 1e-3); // by index
    Press(*item, cursor, FrameKey::PreviousCrossing);
    EXPECT_EQ(cursor.index, 123);
    Press(*item, cursor, FrameKey::PreviousCrossing);
    EXPECT_EQ(cursor.index, 61);
}

TEST_F(FramePane, MarkOnTheCursorShowsNoFrequency) {
    std::vector<int32_t> values = Sine(2000, 130, 8000, 10000);
    values[100] = -10000;
    head = OpenSamples(dir, values, 8000);
    ASSERT_TRUE(head);
    auto item = Compute(*head, 0, 0, 256);
    FrameCursor cursor{100, 0, 0};
    EXPECT_EQ(Press(*item, cursor, FrameKey::Mark),
              ShortPathText(head->Info().path, 25) +
                  "\r\nWAV[0100] 0.0125s\r\n[ffffd8f0] -10000p\r\n[100-100=0]\r\n"
                  "0.0125s-0.0125s=0Hz, ");
    EXPECT_EQ(FrameClickText(head->Info(), item->Param(), 100),
              ShortPathText(head->Info().path, 25) + "\r\nWAV[0100] at 0.0125s\r\n-10000p");
}

TEST_F(FramePane, SilentFrameHasNoFundamental) {
    head = OpenSamples(dir, std::vector<int32_t>(3000, 0), 8000);
    ASSERT_TRUE(head);
    auto item = Compute(*head, 500, 500, 512);
    const int drawn = FrameDrawCount(item->Param(), 1024);
    EXPECT_EQ(FrameAmplitude(item->Param(), drawn), 1.0f);
    EXPECT_DOUBLE_EQ(PercentTop(1.0f, 2), 100.0 / 32768);
    FrameCursor cursor;
    EXPECT_EQ(Press(*item, cursor, FrameKey::Fundamental),
              ShortPathText(head->Info().path, 25) + "\r\nWAV\r\nZeroCrossF0: no period found\r\n");
}

TEST_F(FramePane, RangeCursorStaysWithinTheEnvelope) {
    head = OpenSamples(dir, Sine(8000, 300, 8000, 20000), 8000);
    ASSERT_TRUE(head);
    screenWidth = 16; // an envelope of 32 values
    auto item = Compute(*head, 1000, 5000, 256);
    const SfFftParam& p = item->Param();
    ASSERT_EQ(p.results.samples->size(), 32u);
    EXPECT_EQ(FrameDrawCount(p, 16), 32);
    EXPECT_EQ(FrameCursorCount(p), 32);
    EXPECT_NEAR(FrameAmplitude(p, 32), 20000, 1);

    FrameCursor cursor;
    EXPECT_EQ(Press(*item, cursor, FrameKey::End),
              ShortPathText(head->Info().path, 25) + "\r\nWAV " +
                  FormatSeconds((4000.0 / 32 * 31 + 1000) / 8000, 0));
    EXPECT_EQ(cursor.index, 31);
    Press(*item, cursor, FrameKey::Right);
    EXPECT_EQ(cursor.index, 31);
    cursor.index = 200; // left by an earlier frame
    Press(*item, cursor, FrameKey::Left);
    EXPECT_EQ(cursor.index, 31);

    const PlotRect plot{28, 4, 348, 204};
    EXPECT_EQ(FrameIndexAt(plot, 32, 347, 100), 31);
    EXPECT_EQ(FrameIndexAt(plot, 32, 28, 100), 0);
    EXPECT_EQ(FrameIndexAt(plot, 32, 20, 100), -1);
    EXPECT_EQ(FrameCursorX(plot, 32, 31), 338);
    EXPECT_EQ(FramePlaybackX(plot, p, 8000, 3000.0 / 8000), 28 + 160);
}
