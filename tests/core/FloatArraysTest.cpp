#include "drawing/FloatArrays.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// values[i - 1] is a local maximum for i = 3 (5 at index 2) and i = 7 (4 at
// index 6).
const std::vector<float> kCurve = {0, 1, 5, 2, 1, 3, 4, 1, 0};

int Find(const std::vector<float>& v, int start, int direction) {
    return FindPeakIndex(v.data(), static_cast<int>(v.size()), start, direction);
}

} // namespace

TEST(FindPeakIndex, FindsTheIndexJustAfterTheNextLocalMaximum) {
    EXPECT_EQ(Find(kCurve, 0, 1), 3);
    EXPECT_EQ(Find(kCurve, 2, 1), 3);
    EXPECT_EQ(Find(kCurve, 3, 1), 7);
    EXPECT_EQ(Find(kCurve, 4, 5), 7);
    EXPECT_EQ(Find(kCurve, 8, -1), 7);
    EXPECT_EQ(Find(kCurve, 7, -1), 3);
    EXPECT_EQ(Find(kCurve, 6, -3), 3);
}

TEST(FindPeakIndex, ReturnsStartWithoutAPeakOrDirection) {
    EXPECT_EQ(Find(kCurve, 3, -1), 3);
    EXPECT_EQ(Find(kCurve, 0, 0), 0);
    EXPECT_EQ(Find(kCurve, 5, 0), 5);
    const std::vector<float> rising = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Find(rising, 0, 1), 0);
    EXPECT_EQ(Find(rising, 5, -1), 5);
    // A plateau is not a peak: the test is strictly greater.
    const std::vector<float> plateau = {1, 3, 3, 1, 0};
    EXPECT_EQ(Find(plateau, 0, 1), 3);
    const std::vector<float> flat(6, 2.0f);
    EXPECT_EQ(Find(flat, 0, 1), 0);
}

TEST(FindPeakIndex, NeverReadsOutsideTheArray) {
    // Sentinels around the array would look like peaks to a search that
    // strayed past either end.
    std::vector<float> buffer = {1000, 5, 4, 3, 2, 1, -1000};
    const float* values = buffer.data() + 1;
    const int count = 5;
    // Falling values: every i from 1 to count - 2 follows a local maximum.
    EXPECT_EQ(FindPeakIndex(values, count, 0, 1), 1);
    EXPECT_EQ(FindPeakIndex(values, count, 2, -1), 1);
    for (int start : {count - 2, count - 1, count, count + 10, INT_MAX})
        EXPECT_EQ(FindPeakIndex(values, count, start, 1), start) << start;
    for (int start : {1, 0, -1, -10, INT_MIN})
        EXPECT_EQ(FindPeakIndex(values, count, start, -1), start) << start;
    // A start beyond the end searches downward from the last testable index.
    EXPECT_EQ(FindPeakIndex(values, count, count + 10, -1), count - 2);
    EXPECT_EQ(FindPeakIndex(values, count, INT_MAX, -1), count - 2);
    // A start before the beginning searches upward from the first testable index.
    EXPECT_EQ(FindPeakIndex(values, count, -10, 1), 1);
    EXPECT_EQ(FindPeakIndex(values, count, INT_MIN, 1), 1);
    // The only maximum, at count - 2, would need a value beyond the end to be
    // recognised; the first value would need one before the beginning.
    std::vector<float> edges = {1000, 1, 2, 3, 5, 4, -1000};
    const float* rising = edges.data() + 1;
    EXPECT_EQ(FindPeakIndex(rising, count, 0, 1), 0);
    EXPECT_EQ(FindPeakIndex(rising, count, 4, -1), 4);
    // Too short to hold a peak.
    for (int n : {0, 1, 2, -5})
        for (int direction : {1, -1})
            EXPECT_EQ(FindPeakIndex(values, n, 1, direction), 1);
}

TEST(FloatArrays, ZeroAddAndScale) {
    std::vector<float> a = {1, -2, 3, 4};
    ZeroFloats(a.data(), 3);
    EXPECT_EQ(a, (std::vector<float>{0, 0, 0, 4}));

    std::vector<float> sum = {1, 2, 3, 9};
    const std::vector<float> add = {0.5f, -2, 10, 100};
    AddFloats(sum.data(), add.data(), 3);
    EXPECT_EQ(sum, (std::vector<float>{1.5f, 0, 13, 9}));

    std::vector<float> scaled(4, 7.0f);
    const std::vector<float> source = {1, -2, 0.25f, 5};
    ScaleFloats(scaled.data(), source.data(), 3, 4.0);
    EXPECT_EQ(scaled, (std::vector<float>{4, -8, 1, 7}));
    EXPECT_EQ(source, (std::vector<float>{1, -2, 0.25f, 5}));

    // In place, with a factor that float cannot hold exactly.
    std::vector<float> thirds = {3, 6, 9};
    ScaleFloats(thirds.data(), thirds.data(), 3, 1.0 / 3.0);
    EXPECT_EQ(thirds, (std::vector<float>{1, 2, 3}));
}

TEST(FloatArrays, NothingHappensForAnEmptyOrNegativeCount) {
    std::vector<float> a = {1, 2};
    const std::vector<float> b = {5, 5};
    for (int count : {0, -3}) {
        ZeroFloats(a.data(), count);
        AddFloats(a.data(), b.data(), count);
        ScaleFloats(a.data(), b.data(), count, 2.0);
        FillWords(a.data(), count, 0);
        EXPECT_EQ(a, (std::vector<float>{1, 2}));
    }
}

TEST(FloatArrays, FillWordsWritesTheBitPatternIntoEveryWord) {
    std::vector<float> ones(5, 0.0f);
    FillWords(ones.data(), 4, 0x3F800000u);
    EXPECT_EQ(ones, (std::vector<float>{1, 1, 1, 1, 0}));

    std::vector<uint32_t> words(3, 0);
    FillWords(words.data(), 3, 0xDEADBEEFu);
    EXPECT_EQ(words, (std::vector<uint32_t>{0xDEADBEEFu, 0xDEADBEEFu, 0xDEADBEEFu}));

    float minusTwo = -2.0f;
    uint32_t pattern;
    std::memcpy(&pattern, &minusTwo, sizeof pattern);
    std::vector<float> filled(2, 0.0f);
    FillWords(filled.data(), 2, pattern);
    EXPECT_EQ(filled, (std::vector<float>{-2, -2}));
}
