// The sonagram window's arithmetic of pixels, frames and level columns, over
// plots wider and narrower than the range, and its info texts, data-log lines
// and Show Info text byte for byte on a file of known length.
#include "support/AnalysisFiles.h"

#include "drawing/TimeText.h"
#include "selection/TimePlot.h"
#include "sonagram/CSfSon.h"
#include "sonagram/SonagramDisplay.h"
#include "sonagram/SonagramTexts.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Frames 4000 .. 12000 at 8000 Hz across a plot of 400 pixels from 28:
// 20 frames or 2.5 ms per pixel.
const TimePlot kWide{4000, 8000, 28, 400};
// Three frames across the same plot: a frame every 133 pixels.
const TimePlot kShort{100, 3, 28, 400};
// A window squeezed until its plot has no width.
const TimePlot kNoWidth{4000, 8000, 28, 0};

struct Conversion {
    const char* name;
    std::function<double()> got;
    double expected;
};

class SonagramDisplayTable : public testing::TestWithParam<Conversion> {};

TEST_P(SonagramDisplayTable, GivesTheStatedValue) {
    EXPECT_DOUBLE_EQ(GetParam().got(), GetParam().expected);
}

const Conversion kConversions[] = {
    {"RangeStartIsThePlotEdge", [] { return NearestPixelOfFrame(kWide, 4000); }, 28},
    {"RangeEndIsThePlotsRightEdge", [] { return NearestPixelOfFrame(kWide, 12000); }, 428},
    {"HalfAPixelRoundsUp", [] { return NearestPixelOfFrame(kWide, 4010); }, 29},
    {"PixelToFrameRounds", [] { return NearestFrameOfPixel(kWide, 128); }, 6000},
    {"PixelsRightOfThePlotHoldTheEnd", [] { return NearestFrameOfPixel(kWide, 900); }, 12000},
    {"SecondsOfAPixel", [] { return SonSecondsOfPixel(kWide, 8000, 128); }, 0.75},
    {"ShortRangeFramePixel", [] { return NearestPixelOfFrame(kShort, 101); }, 161},
    {"ShortRangePixelFrame", [] { return NearestFrameOfPixel(kShort, 161); }, 101},
    {"NoWidthGivesTheStartFrame", [] { return NearestFrameOfPixel(kNoWidth, 200); }, 4000},
    {"NoWidthGivesTheStartTime", [] { return SonSecondsOfPixel(kNoWidth, 8000, 200); }, 0.5},
    {"NoWidthPutsFramesOnTheEdge", [] { return NearestPixelOfFrame(kNoWidth, 9000); }, 28},
    {"PlaybackHalfWay", [] { return PlaybackPixel(kWide, 8000, 1.0); }, 228},
    {"PlaybackTruncates", [] { return PlaybackPixel(kWide, 8000, 1.0 + 19.0 / 8000); }, 228},
    {"PlaybackBeforeTheRange", [] { return PlaybackPixel(kWide, 8000, 0.25); }, -72},
    {"ColumnOfFrame", [] { return SonColumnOfFrame(4000, 8000, 32, 4250); }, 1},
    {"ColumnOfTheEndFrameIsTheLast", [] { return SonColumnOfFrame(4000, 8000, 32, 12000); }, 31},
    {"LevelColumnRoundsUp", [] { return LevelColumnOfPixel(28, 400, 32, 35); }, 1},
    // The rightmost pixel rounds to 32, one past the last column.
    {"LevelColumnNeverPassesTheLast", [] { return LevelColumnOfPixel(28, 400, 32, 427); }, 31},
    {"LevelColumnOfNoWidth", [] { return LevelColumnOfPixel(28, 0, 32, 300); }, 0},
    {"LevelPixelOfTheLastColumn", [] { return LevelPixelOfColumn(28, 400, 32, 31); }, 416},
    {"LevelSecondsOfAColumn", [] { return LevelSecondsOfColumn(4000, 8000, 8000, 32, 5); },
     0.65625},
};

std::string NameOf(const testing::TestParamInfo<Conversion>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Sonagram, SonagramDisplayTable, testing::ValuesIn(kConversions), NameOf);

// One second from 0.5 s of a 1.032 s file at 8000 Hz, with a level curve of
// 32 columns whose column i holds 1.5 i - 3 dB.
class SonagramTexts : public testing::Test {
protected:
    void SetUp() override {
        head = OpenSamples(dir, Sine(8256, 1000, 8000, 10000), 8000);
        ASSERT_TRUE(head);
        SetHeadTask(*head, 4000, 12000);
        FftSettings settings;
        settings.Lfft = settings.Lwdw = 256;
        settings.IWin = 2;
        settings.Range = 70;
        settings.Fmax = 4000;
        son = CSfSon::Create(*head, settings);
        for (int i = 0; i < 32; ++i)
            son->Levels().values.push_back(1.5f * i - 3);
        path = head->Info().path;
        shortPath = ShortPathText(path, 25);
    }

    TempDir dir;
    std::unique_ptr<CSfHead> head;
    std::unique_ptr<CSfSon> son;
    std::string path;
    std::string shortPath;
};

TEST_F(SonagramTexts, InfoTextGivesPixelsFromThePlotEdgeAndClockTimes) {
    EXPECT_EQ(SonInfoText(head->Info(), kWide, SonMarks{128, 108, 228}),
              shortPath +
                  "\r\nCurPos:\t[0100] 0.750s\r\nBlockSt:\t[0080] 0.700s\r\nBlockEn:\t[0200] "
                  "1.000s\r\nBlockLe:\t[0120] 0.300s");
    // A click collapses the selection onto the cursor: a length of nothing.
    EXPECT_EQ(SonInfoText(head->Info(), kWide, SonMarks{28, 28, 28}),
              shortPath + "\r\nCurPos:\t[0000] 0.500s\r\nBlockSt:\t[0000] 0.500s\r\nBlockEn:\t"
                          "[0000] 0.500s\r\nBlockLe:\t[0000] 0.000s");
}

TEST_F(SonagramTexts, LogLinesOfBothPanes) {
    // Frame 6500 lies in column trunc(2500 x 32 / 8000) = 10: 12 dB.
    son->Param().view.cursorFrame = 6500;
    EXPECT_EQ(SonLogLine(head->Info(), *son),
              "SON\t" + path + "\t0\t0.5\t1.5\t256\t2\t0.8125\t12\n");
    // The end of the range lies past the last column and takes it.
    son->Param().view.cursorFrame = 12000;
    EXPECT_EQ(SonLogLine(head->Info(), *son),
              "SON\t" + path + "\t0\t0.5\t1.5\t256\t2\t1.5\t43.5\n");
    EXPECT_EQ(RmsLogLine(head->Info(), *son, 5),
              "RMS\t" + path + "\t0\t0.5\t1.5\t0\t0\t0.65625\t4.5\n");
    EXPECT_EQ(RmsInfoText(head->Info(), *son, 5), shortPath + "\r\nRMS\r\n[0005] 0.65625s 4.5dB");
}

TEST_F(SonagramTexts, ShowInfoNamesFileRangeAndParameters) {
    son->Param().Floor = 46;
    son->Param().results.dBMax = 116.1234f;
    son->Param().Fmin = 0;
    EXPECT_EQ(SonShowInfoText(head->Info(), *son),
              "Filename: " + path +
                  "\nFmt:\tWAVE\nSr:\t8000\nNch:\t1\nBps:\t2\nLen:\t1.032s"
                  "\n\nStart:\t0.5s\nEnd:\t1.5s\nLen:\t1s\nChan:\t0"
                  "\n\nLfft:\t256\nLWdw:\t256\nIWin:\t2\nFl:\t46\nRa:\t70\ndBMax: \t116.12"
                  "\nFMin:\t0.000000\nFMax:\t4000.000000");
}

} // namespace
