#include "drawing/TimeText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

std::string Printf(const char* format, double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, v);
    return buffer;
}

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

} // namespace

TEST(FormatSecondsCompact, WritesEachFormOfTheTable) {
    EXPECT_EQ(FormatSeconds(3661.5, 0), "1h1m1.5s");
    EXPECT_EQ(FormatSeconds(7230, 0), "2h30s");
    EXPECT_EQ(FormatSeconds(3600, 0), "1h0m");
    EXPECT_EQ(FormatSeconds(3900, 0), "1h5m");
    EXPECT_EQ(FormatSeconds(75.5, 0), "1m15.5s");
    EXPECT_EQ(FormatSeconds(0.25, 0), "0.25s");
    EXPECT_EQ(FormatSeconds(60, 0), "1m");
    EXPECT_EQ(FormatSeconds(0, 0), "0m");
}

TEST(FormatSecondsCompact, EdgeCases) {
    EXPECT_EQ(FormatSeconds(0, 0), "0m");
    EXPECT_EQ(FormatSeconds(60, 0), "1m");
    EXPECT_EQ(FormatSeconds(3600, 0), "1h0m");
    EXPECT_EQ(FormatSeconds(3660, 0), "1h1m");
    EXPECT_EQ(FormatSeconds(90.5, 0), "1m30.5s");
    EXPECT_EQ(FormatSeconds(3630, 0), "1h30s");
    EXPECT_EQ(FormatSeconds(-5, 0), "0m");
    EXPECT_EQ(FormatSeconds(-59.9, 0), "0m");
    // Whole hours never turn into "59m60s" on the way through 1/3600.
    for (int hours = 1; hours <= 1000; ++hours)
        ASSERT_EQ(FormatSeconds(3600.0 * hours, 0), std::to_string(hours) + "h0m");
}

TEST(FormatSecondsCompact, SecondsHaveSixSignificantDigitsLikePrintf) {
    EXPECT_EQ(FormatSeconds(1.234567, 0), "1.23457s");
    EXPECT_EQ(FormatSeconds(3723.25, 0), "1h2m3.25s");
    EXPECT_EQ(FormatSeconds(1e-7, 0), "1e-07s");
    for (double t = 0.001; t < 60; t = t * 1.37 + 0.0001)
        ASSERT_EQ(FormatSeconds(t, 0), Printf("%gs", t)) << t;
}

TEST(FormatSecondsClock, EdgeCasesAndTableExamples) {
    EXPECT_EQ(FormatSeconds(0, 1), "0.000s");
    EXPECT_EQ(FormatSeconds(3.25, 1), "3.250s");
    // The rounded seconds do not carry into the minutes.
    EXPECT_EQ(FormatSeconds(59.9996, 1), "60.000s");
    EXPECT_EQ(FormatSeconds(75.5, 1), "01m15.500s");
    EXPECT_EQ(FormatSeconds(3725.125, 1), "1h02m05.125s");
    EXPECT_EQ(FormatSeconds(3600, 1), "1h00m00.000s");
    EXPECT_EQ(FormatSeconds(605.5, 1), "10m05.500s");
    EXPECT_EQ(FormatSeconds(36000, 1), "10h00m00.000s");
}

TEST(FormatSecondsClock, PadsLikePrintfAfterAMinuteField) {
    for (double s = 0; s < 60; s += 0.0625)
        ASSERT_EQ(FormatSeconds(60 + s, 1), "01m" + Printf("%06.3f", s) + "s") << s;
    for (double t = 0.0001; t < 60; t = t * 1.41 + 0.0003)
        ASSERT_EQ(FormatSeconds(t, 1), Printf("%.3f", t) + "s") << t;
}

TEST(FormatSeconds, NegativeTimesKeepTheirSignsInEveryField) {
    EXPECT_EQ(FormatSeconds(-5, 1), "-5.000s");
    EXPECT_EQ(FormatSeconds(-75.5, 1), "-1m-15.500s");
    EXPECT_EQ(FormatSeconds(-61.5, 1), "-1m-1.500s");
    EXPECT_EQ(FormatSeconds(-3725.125, 1), "-1h-2m-5.125s");
    EXPECT_EQ(FormatSeconds(-90, 0), "-1m");
    EXPECT_EQ(FormatSeconds(-3725, 0), "-2m");
}

TEST(FormatSeconds, NonFiniteIsZeroAndHugeIsClampedToTheHourField) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double t : {nan, inf, -inf}) {
        EXPECT_EQ(FormatSeconds(t, 0), "0m");
        EXPECT_EQ(FormatSeconds(t, 1), "0.000s");
    }
    EXPECT_EQ(FormatSeconds(1e300, 0), "2147483647h0m");
    EXPECT_EQ(FormatSeconds(1e300, 1), "2147483647h00m00.000s");
    EXPECT_EQ(FormatSeconds(-1e300, 0), "0m");
    EXPECT_EQ(FormatSeconds(-1e300, 1), "-2147483647h00m00.000s");
    EXPECT_EQ(FormatSeconds(3600.0 * 2147483647.0, 0), "2147483647h0m");
}

TEST(FormatFrames, WritesTheTimeOfTheFrameCount) {
    EXPECT_EQ(FormatFrames(44100, 44100.0f, 0), "1s");
    EXPECT_EQ(FormatFrames(2646000, 44100.0f, 0), "1m");
    EXPECT_EQ(FormatFrames(44100, 44100.0f, 1), "1.000s");
    EXPECT_EQ(FormatFrames(3969000, 44100.0f, 0), "1m30s");
    EXPECT_EQ(FormatFrames(3969000, 44100.0f, 1), "01m30.000s");
    EXPECT_EQ(FormatFrames(22050, 44100.0f, 0), "0.5s");
    EXPECT_EQ(FormatFrames(1, 3.0f, 0), "0.333333s");
    EXPECT_EQ(FormatFrames(-220500, 44100.0f, 0), "0m");
    // The frame count is signed, the full 32-bit range.
    EXPECT_EQ(FormatFrames(kInt32Max, 8000.0f, 0), "74h33m55.4559s");
    EXPECT_EQ(FormatFrames(kInt32Max, 8000.0f, 1), "74h33m55.456s");
    EXPECT_EQ(FormatFrames(kInt32Min, 8000.0f, 1), "-74h-33m-55.456s");
}

TEST(FormatFrames, ZeroRateIsWrittenAsZero) {
    EXPECT_EQ(FormatFrames(100, 0.0f, 0), "0m");
    EXPECT_EQ(FormatFrames(0, 0.0f, 1), "0.000s");
    EXPECT_EQ(FormatFrames(-100, 0.0f, 1), "0.000s");
}

TEST(ParseTimeText, StatedExamples) {
    EXPECT_EQ(ParseTimeText("1m30s", 44100.0f), 3969000);
    EXPECT_EQ(ParseTimeText("2.5s", 44100.0f), 110250);
    EXPECT_EQ(ParseTimeText("1s500", 44100.0f), 44600);
    EXPECT_EQ(ParseTimeText("1000", 44100.0f), 1000);
    EXPECT_EQ(ParseTimeText("", 44100.0f), 0);
    EXPECT_EQ(ParseTimeText("1.5", 44100.0f), 1);
}

TEST(ParseTimeText, UnitLettersInBothCases) {
    EXPECT_EQ(ParseTimeText("1h", 44100.0f), 158760000);
    EXPECT_EQ(ParseTimeText("1H30M", 44100.0f), 238140000);
    EXPECT_EQ(ParseTimeText("2S", 1000.0f), 2000);
    EXPECT_EQ(ParseTimeText("100f", 44100.0f), 100);
    EXPECT_EQ(ParseTimeText("7F3f", 44100.0f), 10);
    EXPECT_EQ(ParseTimeText("0.5m", 44100.0f), 1323000);
    EXPECT_EQ(ParseTimeText("1s1s", 44100.0f), 88200);
}

TEST(ParseTimeText, TokensAreReadAsAtofAndAtolRead) {
    EXPECT_EQ(ParseTimeText("1m 30s", 44100.0f), 3969000);
    EXPECT_EQ(ParseTimeText(" 2 s ", 1000.0f), 2000);
    EXPECT_EQ(ParseTimeText("-1s", 44100.0f), -44100);
    EXPECT_EQ(ParseTimeText("+2s", 1000.0f), 2000);
    EXPECT_EQ(ParseTimeText("1e1s", 44100.0f), 441000);
    EXPECT_EQ(ParseTimeText("2.5e-1s", 1000.0f), 250);
    EXPECT_EQ(ParseTimeText("1,5s", 1000.0f), 1000);
    // Not a number: nothing is added.
    EXPECT_EQ(ParseTimeText("abcs", 44100.0f), 0);
    EXPECT_EQ(ParseTimeText("xyz", 44100.0f), 0);
    EXPECT_EQ(ParseTimeText("s", 44100.0f), 0);
    EXPECT_EQ(ParseTimeText("1.9f", 44100.0f), 1);
    EXPECT_EQ(ParseTimeText("12abc", 44100.0f), 12);
}

TEST(ParseTimeText, EachProductIsTruncatedTowardZeroOnItsOwn) {
    EXPECT_EQ(ParseTimeText("0.5s0.5s", 3.0f), 2);
    EXPECT_EQ(ParseTimeText("0.00001s", 44100.0f), 0);
    EXPECT_EQ(ParseTimeText("-0.00003s", 44100.0f), -1);
    EXPECT_EQ(ParseTimeText("0.5s-0.5s", 3.0f), 0);
}

TEST(ParseTimeText, OutOfRangeIsClampedAndNanCountsNothing) {
    EXPECT_EQ(ParseTimeText("1000h", 44100.0f), kInt32Max);
    EXPECT_EQ(ParseTimeText("-1000h", 44100.0f), kInt32Min);
    EXPECT_EQ(ParseTimeText("1e999s", 44100.0f), kInt32Max);
    EXPECT_EQ(ParseTimeText("99999999999f", 44100.0f), kInt32Max);
    EXPECT_EQ(ParseTimeText("-99999999999999999999999", 44100.0f), kInt32Min);
    // The sum is kept wide and clamped once.
    EXPECT_EQ(ParseTimeText("2000000000f2000000000f", 44100.0f), kInt32Max);
    EXPECT_EQ(ParseTimeText("2000000000f2000000000f-2000000000f", 44100.0f), 2000000000);
    EXPECT_EQ(ParseTimeText("-2000000000f-2000000000f", 44100.0f), kInt32Min);
    // Each term is clamped before it is added.
    EXPECT_EQ(ParseTimeText("1000h-1h", 44100.0f), kInt32Max - 158760000);
    EXPECT_EQ(ParseTimeText("nans", 44100.0f), 0);
    EXPECT_EQ(ParseTimeText("nan", 44100.0f), 0);
    EXPECT_EQ(ParseTimeText("1s", std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(ParseTimeText("1s", std::numeric_limits<float>::infinity()), kInt32Max);
    EXPECT_EQ(ParseTimeText("0s5", std::numeric_limits<float>::infinity()), 5);
}

TEST(ParseTimeText, LongTokensKeepTheirFirst127Characters) {
    const std::string zeros125(125, '0');
    EXPECT_EQ(ParseTimeText(zeros125 + "12f", 44100.0f), 12);
    EXPECT_EQ(ParseTimeText(zeros125 + "123f", 44100.0f), 12);
    EXPECT_EQ(ParseTimeText(zeros125 + "12345", 44100.0f), 12);
    // Characters past the limit are dropped only up to the next unit letter.
    EXPECT_EQ(ParseTimeText(zeros125 + "1234f2f", 44100.0f), 14);
    EXPECT_EQ(ParseTimeText(zeros125 + "2.5s", 44100.0f), 88200);
    EXPECT_EQ(ParseTimeText(std::string(1000, ' ') + "5s", 44100.0f), 0);
}

TEST(ShortPathText, ShortPathsAreUnchanged) {
    const std::string exactly25 = "/home/anna/rec/voice1.wav";
    ASSERT_EQ(exactly25.size(), 25u);
    EXPECT_EQ(ShortPathText(exactly25, 25), exactly25);
    EXPECT_EQ(ShortPathText("a.wav", 25), "a.wav");
    EXPECT_EQ(ShortPathText("", 25), "");
}

TEST(ShortPathText, LongPathsKeepTheirTail) {
    EXPECT_EQ(ShortPathText("/home/anna/recordings/2023/interview-long-name.wav", 25),
              "/...3/interview-long-name.wav");
    EXPECT_EQ(ShortPathText("/home/anna/rec/voice12.wav", 25), "/...home/anna/rec/voice12.wav");
    EXPECT_EQ(ShortPathText("recordings/2023/interview-long-name.wav", 25),
              "...3/interview-long-name.wav");
    EXPECT_EQ(ShortPathText("./abcdefghijklmnopqrstuvwxyz.wav", 25),
              "...fghijklmnopqrstuvwxyz.wav");
    const std::string longPath = "/" + std::string(300, 'x') + ".wav";
    EXPECT_EQ(ShortPathText(longPath, 25).size(), 29u);
    EXPECT_EQ(ShortPathText("/abc", 0), "/...");
    EXPECT_EQ(ShortPathText("abc", -4), "...");
}

TEST(ShortPathText, NeverCutsInsideAUtf8Character) {
    const std::string tail23 = "abcdefghijklmnopqrstuvw";
    // "ü" is two bytes; the last 25 bytes would begin with its second byte.
    EXPECT_EQ(ShortPathText("/music/\xC3\xBC" + tail23 + "x", 25), "/..." + tail23 + "x");
    // "€" is three bytes; the cut would land on its second byte.
    EXPECT_EQ(ShortPathText("/music/\xE2\x82\xAC" + tail23, 25), "/..." + tail23);
    // A cut on the lead byte keeps the whole character.
    EXPECT_EQ(ShortPathText("/music/\xC3\xBC" + tail23, 25), "/...\xC3\xBC" + tail23);
    EXPECT_EQ(ShortPathText(std::string(30, '\x80'), 25), "...");
}
