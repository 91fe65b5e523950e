// A time plot: the frames of a range laid across the pixel columns of a plot,
// and the conversions between the two that the head, waveform and sonagram
// windows draw and edit their cursor and block with.
#pragma once

#include <cstdint>

// The two orders a window scales a position in. Both are the same fraction,
// but they round differently in the last bit, and so move a truncated or
// rounded pixel on an exact boundary: each window keeps the order its cursor
// and block have always been placed with.
enum class TimeScaling {
    // Times the pixels (or frames) per frame (or pixel): the head and the
    // sonagram windows.
    PerUnitFirst,
    // Times the width (or length), then over the length (or width): the
    // waveform window.
    WholeFirst,
};

struct TimePlot {
    uint32_t start = 0;  // first frame of the range
    uint32_t length = 0; // frames in the range
    int left = 0;        // the plot's first pixel column
    int width = 0;       // the plot's width in pixels
    TimeScaling scaling = TimeScaling::PerUnitFirst;
};

// The pixel column of frame, truncated toward the plot's left edge. A range
// without frames maps everything onto that edge.
int TruncatedPixelOfFrame(const TimePlot& plot, double frame);

// The pixel column of frame, rounded to the nearest; a range without frames
// maps everything onto the plot's left edge.
int NearestPixelOfFrame(const TimePlot& plot, double frame);

// The frame at pixel column x, truncated and held inside the range; a plot
// without width gives the range start.
uint32_t TruncatedFrameOfPixel(const TimePlot& plot, int x);

// The frame at pixel column x, rounded to the nearest and held inside the
// range; a plot without width gives the range start.
uint32_t NearestFrameOfPixel(const TimePlot& plot, int x);

// Where the playback cursor stands at position seconds into a file of rate
// frames per second: scaled by the pixels per frame whatever the plot's
// scaling, and truncated, so that it never runs ahead of the sound.
int PlaybackPixel(const TimePlot& plot, double rate, double position);
