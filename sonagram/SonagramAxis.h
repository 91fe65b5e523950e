// The frequency axis of a sonagram and the bin each image row shows on it.
#pragma once

#include "drawing/FrequencyAxis.h"

#include <vector>

struct FftSettings;

// The axis of the image's height: from Fmin (log and note: at least one bin
// and 20 Hz) to Fmax, of the kind the parameters choose.
FrequencyAxis SonFrequencyAxis(const FftSettings& param, double rate);

// The bin shown in each of height rows, top row first, for bins of binHz.
// Linear: row y shows bin height - 1 - y, as stated. Other axes: the bin
// whose band holds the frequency at the middle of the row, at most the top
// bin height - 1.
std::vector<int> BinsOfRows(const FrequencyAxis& axis, int height, double binHz);

// The frequency at a place on a plot's height: top and bottom the plot's
// edges (bottom exclusive), y the pixel row. On the linear axis the stated
// scale from Fmin to Fmax over the plot.
double HzOfPixelRow(const FrequencyAxis& axis, int top, int bottom, int y);
// The pixel row of a frequency, the inverse of HzOfPixelRow within a pixel.
int PixelRowOfHz(const FrequencyAxis& axis, int top, int bottom, double hz);
