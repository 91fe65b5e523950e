#include "drawing/ScaleMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Far enough beyond any screen to clip like infinity, near enough for the
// fixed-point coordinates of rasterisers.
constexpr double kPixelLimit = 1 << 20;

// Nearest pixel, halves rounded up.
int ToPixel(double v, int fallback) {
    if (std::isnan(v))
        return fallback;
    return static_cast<int>(std::floor(std::clamp(v, -kPixelLimit, kPixelLimit) + 0.5));
}

} // namespace

int NiceStep(double lo, double hi, int n, double* first, double* step) {
    *first = lo;
    *step = 0.0;
    if (n <= 0 || !std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo))
        return 0;
    // A range wider than the largest double, or so narrow that a power of ten
    // below it underflows, has no usable step.
    const double d = (hi - lo) / n;
    if (!std::isfinite(d) || !(d > 0))
        return 0;
    const double power = std::pow(10.0, std::floor(std::log10(d)));
    const double s = std::trunc(d / power + 0.5) * power;
    if (!std::isfinite(s) || !(s > 0))
        return 0;
    const double f = (std::floor(lo / s) + 1.0) * s;
    // Far from zero a tiny step would not move a tick value, and callers
    // stepping through the range would never reach its end.
    if (!std::isfinite(f) || !(f > lo) || !(f + s > f))
        return 0;
    *first = f;
    *step = s;
    const double steps = std::trunc((hi - lo) / s);
    return static_cast<int>(std::min(steps, static_cast<double>(std::numeric_limits<int>::max())));
}

bool MinMax(const float* values, int count, float* min, float* max) {
    if (count <= 0) {
        *min = *max = 0.0f;
        return true;
    }
    *min = *max = values[0];
    for (int i = 1; i < count; ++i) {
        if (values[i] < *min)
            *min = values[i];
        else if (values[i] > *max)
            *max = values[i];
    }
    return *min == *max;
}

float PeakAbs(const float* values, int count) {
    if (count <= 0)
        return 0.0f;
    float peak = std::fabs(values[0]);
    for (int i = 1; i < count; ++i)
        peak = std::max(peak, std::fabs(values[i]));
    return peak;
}

void CurveToPoints(PlotPoint* points, const float* values, int count, const PlotRect& rect,
                   float vmin, float vmax) {
    if (count <= 0)
        return;
    const double dx = (static_cast<double>(rect.right) - rect.left) / count;
    const double range = static_cast<double>(vmax) - vmin;
    double sy = 0.0;
    if (range != 0 && std::isfinite(range))
        sy = (static_cast<double>(rect.bottom) - rect.top) / range;
    if (!std::isfinite(sy))
        sy = 0.0;
    double x = rect.left;
    for (int i = 0; i < count; ++i, x += dx) {
        points[i].x = ToPixel(x, rect.left);
        points[i].y =
            ToPixel(rect.bottom - (static_cast<double>(values[i]) - vmin) * sy, rect.bottom);
    }
}

void grid(float lo, float hi, int inches, float* first, float* step) {
    double f = lo;
    double s = 0.0;
    NiceStep(lo, hi, inches < 1 ? 1 : inches, &f, &s);
    if (!(s > 0.0) || !std::isfinite(s)) {
        // An empty or unusable range still gets a positive step, so callers
        // can always count ticks across it.
        *first = lo;
        *step = 1.0f;
        return;
    }
    // Rounding the step up can carry the first tick past a narrow range; a
    // tenth of the step then lands inside it.
    for (int i = 0; i < 8 && f > hi; ++i) {
        s /= 10.0;
        f = (std::floor(lo / s) + 1.0) * s;
    }
    if (f > hi)
        f = lo;
    // Ticks are counted in single precision every tenth of a step; far from
    // zero a tenth may not move a float at all, so the step grows until it does.
    for (int i = 0; i < 40 && float(f + s / 10.0) == float(f); ++i)
        s *= 10.0;
    *first = static_cast<float>(f);
    *step = static_cast<float>(s);
}

int TruncatedHeld(double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::trunc(std::clamp(v, -1e6, 1e6)));
}
