// The values at which an axis puts its ticks and labels. They are counted in
// single precision, the way a user reads them off the axis.
#pragma once

#include <cmath>

// No axis needs more marks than this; it stops a run over a range that a
// careless caller made absurdly long.
constexpr int kMaxAxisMarks = 100000;

// True for a finite range with extent: only such a range has ticks.
inline bool UsableRange(float lo, float hi) {
    return std::isfinite(lo) && std::isfinite(hi) && hi > lo;
}

// Calls mark(value, major) for ticks every increment, in two runs from first:
// upward while the value is at most hi, then downward while it is at least lo.
// Each run counts its ticks from first, and every fifth of a run is major.
// Values outside [lo, hi] are skipped. A run also ends where adding the
// increment no longer changes the float, far from zero for a small step.
template <typename Mark>
void ForEachTick(float first, float increment, float lo, float hi, Mark mark) {
    if (!std::isfinite(first) || !std::isfinite(increment) || !(increment > 0))
        return;
    float v = first;
    for (int i = 0; i < kMaxAxisMarks && v <= hi; ++i) {
        if (v >= lo)
            mark(v, i % 5 == 0);
        const float next = v + increment;
        if (next == v)
            break;
        v = next;
    }
    v = first;
    for (int i = 1; i < kMaxAxisMarks; ++i) {
        const float next = v - increment;
        if (next == v || next < lo)
            break;
        v = next;
        if (v <= hi)
            mark(v, i % 5 == 0);
    }
}

// Calls label(value) for first, first + step, ... while the value is at most
// hi, ending where the step no longer changes the float.
template <typename Label> void ForEachLabel(float first, float step, float hi, Label label) {
    if (!std::isfinite(first) || !std::isfinite(step) || !(step > 0))
        return;
    float v = first;
    for (int i = 0; i < kMaxAxisMarks && v <= hi; ++i) {
        label(v);
        const float next = v + step;
        if (next == v)
            break;
        v = next;
    }
}

// The pixel offset of value from lo at scale pixels per unit, truncated.
inline int PixelOffset(float value, float lo, double scale) {
    return static_cast<int>(std::trunc((static_cast<double>(value) - lo) * scale));
}

// Pixels per unit along an axis of the given pixel length over [lo, hi].
inline double AxisScale(int pixels, float lo, float hi) {
    return pixels / (static_cast<double>(hi) - lo);
}
