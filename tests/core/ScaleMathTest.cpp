#include "drawing/ScaleMath.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace {

struct Step {
    int count;
    double first;
    double step;
};

Step Nice(double lo, double hi, int n) {
    Step s{-1, -1, -1};
    s.count = NiceStep(lo, hi, n, &s.first, &s.step);
    return s;
}

void ExpectNoStep(double lo, double hi, int n) {
    const Step s = Nice(lo, hi, n);
    EXPECT_EQ(s.count, 0) << lo << " " << hi << " " << n;
    EXPECT_EQ(s.step, 0.0) << lo << " " << hi << " " << n;
    if (std::isnan(lo))
        EXPECT_TRUE(std::isnan(s.first));
    else
        EXPECT_EQ(s.first, lo) << lo << " " << hi << " " << n;
}

constexpr double kTiny = 1e-12;
const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

} // namespace

TEST(NiceStep, StatedExamples) {
    Step s = Nice(0, 10, 4);
    EXPECT_EQ(s.count, 3);
    EXPECT_NEAR(s.step, 3, kTiny);
    EXPECT_NEAR(s.first, 3, kTiny);

    s = Nice(-1, 1, 2);
    EXPECT_EQ(s.count, 2);
    EXPECT_NEAR(s.step, 1, kTiny);
    EXPECT_NEAR(s.first, 0, kTiny);

    s = Nice(0.5, 1, 7);
    EXPECT_EQ(s.count, 7);
    EXPECT_NEAR(s.step, 0.07, kTiny);
    EXPECT_NEAR(s.first, 0.56, kTiny);
}

TEST(NiceStep, AnyWholeMultipleOfAPowerOfTen) {
    // d = 20: 2 x 10.
    Step s = Nice(0, 100, 5);
    EXPECT_EQ(s.count, 5);
    EXPECT_NEAR(s.step, 20, kTiny);
    EXPECT_NEAR(s.first, 20, kTiny);
    // d = 250 rounds to 3 x 100.
    s = Nice(0, 1000, 4);
    EXPECT_EQ(s.count, 3);
    EXPECT_NEAR(s.step, 300, kTiny);
    EXPECT_NEAR(s.first, 300, kTiny);
    // d = 9: the step is 9, not a 1-2-5 value.
    s = Nice(0, 9, 1);
    EXPECT_EQ(s.count, 1);
    EXPECT_NEAR(s.step, 9, kTiny);
    EXPECT_NEAR(s.first, 9, kTiny);
    // d = 9.6 rounds up to 10.
    s = Nice(0, 96, 10);
    EXPECT_EQ(s.count, 9);
    EXPECT_NEAR(s.step, 10, kTiny);
    EXPECT_NEAR(s.first, 10, kTiny);
    // d = 0.5 above 100.
    s = Nice(100, 101, 2);
    EXPECT_EQ(s.count, 2);
    EXPECT_NEAR(s.step, 0.5, kTiny);
    EXPECT_NEAR(s.first, 100.5, kTiny);
}

TEST(NiceStep, FirstTickIsTheFirstMultipleStrictlyAboveLo) {
    Step s = Nice(-35, 35, 7);
    EXPECT_EQ(s.count, 7);
    EXPECT_NEAR(s.step, 10, kTiny);
    EXPECT_NEAR(s.first, -30, kTiny);

    s = Nice(-100, -10, 3);
    EXPECT_EQ(s.count, 3);
    EXPECT_NEAR(s.step, 30, kTiny);
    EXPECT_NEAR(s.first, -90, kTiny);

    s = Nice(-120, 0, 4);
    EXPECT_EQ(s.count, 4);
    EXPECT_NEAR(s.step, 30, kTiny);
    EXPECT_NEAR(s.first, -90, kTiny);
}

TEST(NiceStep, NoStepForUnusableRanges) {
    ExpectNoStep(5, 5, 4);
    ExpectNoStep(10, 0, 4);
    ExpectNoStep(0, 10, 0);
    ExpectNoStep(0, 10, -3);
    ExpectNoStep(kNan, 10, 4);
    ExpectNoStep(0, kNan, 4);
    ExpectNoStep(-kInf, 10, 4);
    ExpectNoStep(0, kInf, 4);
    // The width overflows to infinity.
    ExpectNoStep(-std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), 4);
    // A tenth of the width underflows.
    ExpectNoStep(0, std::numeric_limits<double>::denorm_min(), 4);
    // The step is below the resolution of the values: no tick lies above lo,
    // or a tick plus the step is the same tick again.
    ExpectNoStep(1e17, std::nextafter(1e17, kInf), 4);
    ExpectNoStep(9.044889105823874, 9.04488910582388, 9);
}

TEST(NiceStep, CountIsClampedToInt) {
    // d = 1.49e-10 rounds down to 1e-10: 3.2e9 whole steps.
    const Step s = Nice(0, 0.32, INT_MAX);
    EXPECT_EQ(s.count, INT_MAX);
    EXPECT_NEAR(s.step, 1e-10, 1e-22);
}

TEST(MinMax, FindsTheRangeAndReportsFlatCurves) {
    float lo = 0, hi = 0;
    const std::vector<float> v = {3, -1, 7, 2};
    EXPECT_FALSE(MinMax(v.data(), 4, &lo, &hi));
    EXPECT_EQ(lo, -1);
    EXPECT_EQ(hi, 7);

    const std::vector<float> falling = {9, 5, 1};
    EXPECT_FALSE(MinMax(falling.data(), 3, &lo, &hi));
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 9);

    const std::vector<float> negative = {-4, -8, -2};
    EXPECT_FALSE(MinMax(negative.data(), 3, &lo, &hi));
    EXPECT_EQ(lo, -8);
    EXPECT_EQ(hi, -2);

    const float single = -6.5f;
    EXPECT_TRUE(MinMax(&single, 1, &lo, &hi));
    EXPECT_EQ(lo, -6.5f);
    EXPECT_EQ(hi, -6.5f);

    const std::vector<float> flat(5, 2.0f);
    EXPECT_TRUE(MinMax(flat.data(), 5, &lo, &hi));
    EXPECT_EQ(lo, 2);
    EXPECT_EQ(hi, 2);

    // Only the first count values count.
    EXPECT_FALSE(MinMax(v.data(), 2, &lo, &hi));
    EXPECT_EQ(lo, -1);
    EXPECT_EQ(hi, 3);
}

TEST(MinMax, AnEmptyArrayIsFlatAtZero) {
    float lo = 5, hi = 5;
    EXPECT_TRUE(MinMax(nullptr, 0, &lo, &hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 0);
    lo = hi = 5;
    EXPECT_TRUE(MinMax(nullptr, -2, &lo, &hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 0);
}

TEST(PeakAbs, LargestMagnitude) {
    const std::vector<float> v = {1, -7, 3, 6.5f};
    EXPECT_EQ(PeakAbs(v.data(), 4), 7);
    EXPECT_EQ(PeakAbs(v.data(), 1), 1);
    const float negative = -2.5f;
    EXPECT_EQ(PeakAbs(&negative, 1), 2.5f);
    const std::vector<float> zeros(3, 0.0f);
    EXPECT_EQ(PeakAbs(zeros.data(), 3), 0);
    EXPECT_EQ(PeakAbs(nullptr, 0), 0);
    EXPECT_EQ(PeakAbs(nullptr, -1), 0);
}

TEST(CurveToPoints, MapsValuesOntoTheRectangle) {
    const PlotRect rect{28, 4, 228, 104};
    const std::vector<float> v = {0, 50, 100, 25};
    std::vector<PlotPoint> p(4);
    CurveToPoints(p.data(), v.data(), 4, rect, 0, 100);
    const int x[] = {28, 78, 128, 178};
    const int y[] = {104, 54, 4, 79};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p[i].x, x[i]) << i;
        EXPECT_EQ(p[i].y, y[i]) << i;
    }

    // dB levels below zero; values outside the range leave the rectangle.
    const std::vector<float> db = {-60, -30, 0, -90, 15};
    std::vector<PlotPoint> q(5);
    CurveToPoints(q.data(), db.data(), 5, PlotRect{0, 0, 100, 60}, -60, 0);
    const int qx[] = {0, 20, 40, 60, 80};
    const int qy[] = {60, 30, 0, 90, -15};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(q[i].x, qx[i]) << i;
        EXPECT_EQ(q[i].y, qy[i]) << i;
    }
}

TEST(CurveToPoints, RoundsToTheNearestPixelWithHalvesUp) {
    // dx = 0.5 and sy = 0.5.
    const std::vector<float> v = {0, 1, 2, 3, 5};
    std::vector<PlotPoint> p(5);
    CurveToPoints(p.data(), v.data(), 4, PlotRect{10, 0, 12, 10}, 0, 20);
    const int x[] = {10, 11, 11, 12};
    const int y[] = {10, 10, 9, 9};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(p[i].x, x[i]) << i;
        EXPECT_EQ(p[i].y, y[i]) << i;
    }
    // Only count points are written.
    EXPECT_EQ(p[4].x, 0);
    EXPECT_EQ(p[4].y, 0);

    // Halves round up above the top edge too, so the curve has no kink there.
    const std::vector<float> above = {21, 23};
    CurveToPoints(p.data(), above.data(), 2, PlotRect{0, 0, 2, 10}, 0, 20);
    EXPECT_EQ(p[0].y, 0);
    EXPECT_EQ(p[1].y, -1);

    // A third of a pixel per value.
    const std::vector<float> flat(6, 0.0f);
    std::vector<PlotPoint> q(6);
    CurveToPoints(q.data(), flat.data(), 6, PlotRect{0, 0, 2, 10}, 0, 1);
    const int qx[] = {0, 0, 1, 1, 1, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(q[i].x, qx[i]) << i;
}

TEST(CurveToPoints, NonFiniteValuesAndEmptyRangesGiveUsablePixels) {
    const PlotRect rect{0, 10, 100, 110};
    const std::vector<float> v = {std::numeric_limits<float>::quiet_NaN(),
                                  std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::infinity(), 1e30f, 50};
    std::vector<PlotPoint> p(5);
    CurveToPoints(p.data(), v.data(), 5, rect, 0, 100);
    EXPECT_EQ(p[0].y, 110);
    EXPECT_EQ(p[1].y, -(1 << 20));
    EXPECT_EQ(p[2].y, 1 << 20);
    EXPECT_EQ(p[3].y, -(1 << 20));
    EXPECT_EQ(p[4].y, 60);
    EXPECT_EQ(p[4].x, 80);

    // No extent, or a range without finite ends: everything on the bottom edge.
    for (float lo :
         {5.0f, -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        const float hi = lo == 5.0f ? 5.0f : 100.0f;
        CurveToPoints(p.data(), v.data(), 5, rect, lo, hi);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(p[i].y, 110) << lo << " " << i;
    }

    // Nothing is written for an empty curve.
    PlotPoint untouched{-7, -7};
    CurveToPoints(&untouched, v.data(), 0, rect, 0, 100);
    EXPECT_EQ(untouched.x, -7);
    EXPECT_EQ(untouched.y, -7);
}

TEST(ScaleMath, GridGivesAPositiveStepWithTheFirstTickInRange) {
    struct Case {
        float lo, hi;
        int inches;
    } cases[] = {
        {0, 10, 4}, {0, 0.96f, 1}, {-1, 1, 2},    {0.5f, 1, 7},          {3, 3, 5},
        {5, 1, 3},  {0, 8000, 0},  {0, 1e-6f, 9}, {1e6f, 1e6f + 128, 3}, {2e9f, 2e9f + 1000, 4}};
    for (const Case& c : cases) {
        float first = -99, step = -99;
        grid(c.lo, c.hi, c.inches, &first, &step);
        EXPECT_GT(step, 0.0f) << c.lo << " " << c.hi;
        EXPECT_NE(first + step / 10.0f, first) << "ticks would not advance";
        if (c.hi > c.lo) {
            EXPECT_GE(first, c.lo) << c.lo << " " << c.hi;
            EXPECT_LE(first, c.hi) << c.lo << " " << c.hi;
        }
    }
    float first, step;
    grid(0, 10, 4, &first, &step);
    EXPECT_FLOAT_EQ(step, 3.0f);
    EXPECT_FLOAT_EQ(first, 3.0f);
}
