// The six windows against tables made from their textbook definitions, and the
// placement of a short window inside a longer frame.
#include "spectrum/WindowFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr long double kTwoPi = 6.283185307179586476925286766559L;
constexpr float kGarbage = 7.0f;

// One period of the window's cosine series over n points, at point k.
long double CosineWindowValue(int type, int k, int n) {
    const long double x = kTwoPi * k / n;
    switch (type) {
    case kWindowHanning:
        return 0.5L - 0.5L * std::cos(x);
    case kWindowHamming:
        return 0.54L - 0.46L * std::cos(x);
    case kWindowBlackman:
        // The exact Blackman window, in its rational form.
        return (7938.0L - 9240.0L * std::cos(x) + 1430.0L * std::cos(2 * x)) / 18608.0L;
    default:
        return 0.35875L - 0.48829L * std::cos(x) + 0.14128L * std::cos(2 * x) -
               0.01168L * std::cos(3 * x);
    }
}

std::vector<float> Window(int length, int windowLength, int type) {
    std::vector<float> window(length + 1, kGarbage);
    MakeWindow(window.data(), length, windowLength, type);
    EXPECT_EQ(window[length], kGarbage) << "written past the frame";
    window.pop_back();
    return window;
}

const int kCosineTypes[] = {kWindowHanning, kWindowHamming, kWindowBlackman, kWindowBlackmanHarris};

// -------------------------------------------------------------------------
// Cosine windows

TEST(WindowTest, CosineWindowsFollowTheirDefinitions) {
    const std::pair<int, int> sizes[] = {{16, 16},   {256, 256}, {1000, 1000}, {4096, 4096},
                                         {256, 100}, {257, 100}, {64, 63},     {9, 2}};
    for (int type : kCosineTypes) {
        for (const auto& [length, n] : sizes) {
            SCOPED_TRACE(testing::Message() << "type " << type << " L " << length << " N " << n);
            const std::vector<float> window = Window(length, n, type);
            const int offset = (length - n) / 2;
            for (int i = 0; i < length; ++i) {
                const bool inside = i >= offset && i < offset + n;
                const long double expected = inside ? CosineWindowValue(type, i - offset, n) : 0.0L;
                ASSERT_NEAR(window[i], static_cast<double>(expected), 1e-7) << "index " << i;
            }
        }
    }
}

// One period, not the symmetric N - 1 form: the first value is the minimum,
// the peak of exactly 1 sits at N/2, and point k mirrors point N - k.
TEST(WindowTest, CosineWindowsArePeriodic) {
    const int n = 512;
    for (int type : kCosineTypes) {
        SCOPED_TRACE(type);
        const std::vector<float> window = Window(n, n, type);
        EXPECT_NEAR(window[n / 2], 1.0f, 1e-7f);
        for (int k = 1; k < n; ++k) {
            ASSERT_GE(window[k], window[0]) << k;
            ASSERT_LE(window[k], window[n / 2]) << k;
            ASSERT_NEAR(window[k], window[n - k], 1e-7f) << k;
        }
    }
    EXPECT_EQ(Window(n, n, kWindowHanning)[0], 0.0f);
    EXPECT_NEAR(Window(n, n, kWindowHamming)[0], 0.08f, 1e-7f);
}

TEST(WindowTest, HanningOf100PointsSitsInTheMiddleOf256) {
    const std::vector<float> window = Window(256, 100, kWindowHanning);
    for (int i = 0; i <= 78; ++i) {
        ASSERT_EQ(window[i], 0.0f) << i;
    }
    for (int i = 178; i < 256; ++i) {
        ASSERT_EQ(window[i], 0.0f) << i;
    }
    for (int i = 79; i < 178; ++i) {
        ASSERT_GT(window[i], 0.0f) << i;
    }
    EXPECT_FLOAT_EQ(window[128], 1.0f);
}

// -------------------------------------------------------------------------
// Triangle

TEST(WindowTest, TriangleMeetsInTheMiddle) {
    EXPECT_EQ(Window(4, 4, kWindowTriangle), (std::vector<float>{0, 1, 1, 0}));
    EXPECT_EQ(Window(8, 8, kWindowTriangle),
              (std::vector<float>{0, 0.25f, 0.5f, 1, 1, 0.5f, 0.25f, 0}));
    EXPECT_EQ(Window(5, 5, kWindowTriangle), (std::vector<float>{0, 0.4f, 0.8f, 0.4f, 0}));
}

TEST(WindowTest, LongTriangleRisesEvenlyFromBothEnds) {
    const int n = 1000;
    const std::vector<float> window = Window(n, n, kWindowTriangle);
    for (int m = 0; m < n / 2 - 1; ++m) {
        ASSERT_FLOAT_EQ(window[m], 2.0f * m / n) << m;
        ASSERT_FLOAT_EQ(window[n - 1 - m], 2.0f * m / n) << m;
    }
    EXPECT_EQ(window[n / 2 - 1], 1.0f);
    EXPECT_EQ(window[n / 2], 1.0f);
}

// The right end is counted from the end of the frame: with an odd number of
// points to spare the triangle takes one point more than its length.
TEST(WindowTest, ShortTriangleIsPlacedFromBothEndsOfTheFrame) {
    EXPECT_EQ(Window(10, 4, kWindowTriangle), (std::vector<float>{0, 0, 0, 0, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(Window(9, 4, kWindowTriangle), (std::vector<float>{0, 0, 0, 0.5f, 1, 0.5f, 0, 0, 0}));
}

// -------------------------------------------------------------------------
// Rectangle, lengths and the frame around the window

TEST(WindowTest, RectangleCoversTheWholeFrameWhateverItsLength) {
    for (int type : {int{kWindowRectangle}, -1, 6, 100}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(Window(32, 10, type), std::vector<float>(32, 1.0f));
        EXPECT_EQ(Window(32, 32, type), std::vector<float>(32, 1.0f));
    }
}

TEST(WindowTest, WindowLengthOutOfRangeMeansTheWholeFrame) {
    for (int type : {kWindowTriangle, kWindowHanning, kWindowBlackmanHarris}) {
        SCOPED_TRACE(type);
        const std::vector<float> whole = Window(64, 64, type);
        EXPECT_EQ(Window(64, 0, type), whole);
        EXPECT_EQ(Window(64, -5, type), whole);
        EXPECT_EQ(Window(64, 65, type), whole);
    }
}

TEST(WindowTest, ShortWindowClearsEverythingAroundIt) {
    for (int type : {kWindowTriangle, kWindowHamming}) {
        SCOPED_TRACE(type);
        const std::vector<float> window = Window(64, 20, type);
        for (int i = 0; i < 22; ++i) {
            ASSERT_EQ(window[i], 0.0f) << i;
        }
        for (int i = 42; i < 64; ++i) {
            ASSERT_EQ(window[i], 0.0f) << i;
        }
    }
}

TEST(WindowTest, EmptyFrameWritesNothing) {
    for (int length : {0, -3}) {
        std::vector<float> window(4, kGarbage);
        MakeWindow(window.data(), length, 16, kWindowTriangle);
        MakeWindow(window.data(), length, 16, kWindowHanning);
        MakeWindow(window.data(), length, 16, kWindowRectangle);
        EXPECT_EQ(window, std::vector<float>(4, kGarbage));
    }
}

} // namespace
