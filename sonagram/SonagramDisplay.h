// The arithmetic of the sonagram window: pixels of the image pane from frames
// of the range and back, the columns of the level curve under a pixel or a
// frame, and their times. Pixel values only; the panes draw them.
#pragma once

#include <cstdint>

// The range the image pane shows across a plot of width pixels from left.
struct SonAxis {
    uint32_t start = 0;  // first frame of the range
    uint32_t length = 0; // frames in the range
    int left = 0;        // plot's first pixel column
    int width = 0;       // plot's width in pixels
};

// The pixel column of frame, rounded to the nearest. A range without frames
// maps everything onto the plot's left edge.
int SonPixelOfFrame(const SonAxis& axis, double frame);

// The frame at pixel column x, rounded to the nearest and held inside the
// range; a plot without width gives the range start.
uint32_t SonFrameOfPixel(const SonAxis& axis, int x);

// The time in seconds at pixel column x; the range start when the plot has
// no width.
double SonSecondsOfPixel(const SonAxis& axis, double rate, int x);

// Where the playback cursor stands at position seconds into the file:
// truncated, not rounded, so that it never runs ahead of the sound.
int SonPlaybackPixel(const SonAxis& axis, double rate, double position);

// The level-curve column (image column) that frame falls in, 0 .. count - 1.
int SonColumnOfFrame(uint32_t start, uint32_t length, int count, int64_t frame);

// The level pane: the column nearest pixel column x, 0 .. count - 1, and the
// pixel column of a column.
int LevelColumnOfPixel(int left, int width, int count, int x);
int LevelPixelOfColumn(int left, int width, int count, int column);

// The time in seconds at which the frame of column begins.
double LevelSecondsOfColumn(uint32_t start, uint32_t length, double rate, int count, int column);
