// The arithmetic of the sonagram window beyond its time plot (the image
// pane's pixels and frames, selection/TimePlot.h): the times of its pixels,
// and the columns of the level curve under a pixel or a frame. Pixel values
// only; the panes draw them.
#pragma once

#include "selection/TimePlot.h"

#include <cstdint>

// The time in seconds at pixel column x of the image pane; the range start
// when the plot has no width.
double SonSecondsOfPixel(const TimePlot& axis, double rate, int x);

// The level-curve column (image column) that frame falls in, 0 .. count - 1.
int SonColumnOfFrame(uint32_t start, uint32_t length, int count, int64_t frame);

// The level pane: the column nearest pixel column x, 0 .. count - 1, and the
// pixel column of a column.
int LevelColumnOfPixel(int left, int width, int count, int x);
int LevelPixelOfColumn(int left, int width, int count, int column);

// The time in seconds at which the frame of column begins.
double LevelSecondsOfColumn(uint32_t start, uint32_t length, double rate, int count, int column);
