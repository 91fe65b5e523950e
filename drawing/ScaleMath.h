// The arithmetic of plot axes and curves: the round tick step, value ranges
// and the mapping of a curve onto a plot rectangle. Pixel values only; the
// windows turn them into their own geometry.
#pragma once

// A plot area in device pixels, (left, top) its upper-left corner.
struct PlotRect {
    int left, top, right, bottom;
};

struct PlotPoint {
    int x, y;
};

// Chooses a round tick step for about n intervals over [lo, hi]: a whole
// number from 1 to 10 times a power of ten. Sets first to the first multiple
// of the step strictly above lo and returns the number of whole steps in the
// range. An empty, reversed or non-finite range, n <= 0, or a step too small
// to advance a tick value gives step 0, first = lo and 0: no labels.
int NiceStep(double lo, double hi, int n, double* first, double* step);

// A computed pixel, bin or index, truncated toward zero; far-off values are
// held within a million, where drawing still clips them instead of
// overflowing an int, and NaN gives 0.
int TruncatedHeld(double v);

// The smallest and largest of count values. Returns true for a flat curve
// (minimum equal to maximum), which callers widen before scaling; an empty
// array is flat at 0.
bool MinMax(const float* values, int count, float* min, float* max);

// The largest absolute value; 0 for an empty array.
float PeakAbs(const float* values, int count);

// Maps count values onto rect: x steps evenly from left, values from vmin at
// the bottom edge to vmax at the top, rounded to the nearest pixel. NaN values
// and a range without extent (vmin = vmax) land on the bottom edge; values far
// off the plot are held about a million pixels beyond it, where drawing code
// still clips them safely.
void CurveToPoints(PlotPoint* points, const float* values, int count, const PlotRect& rect,
                   float vmin, float vmax);

// A first major tick inside [lo, hi] and a positive round step for an axis
// that is inches long.
void grid(float lo, float hi, int inches, float* first, float* step);
