// What the sonagram shows at a point of its image: the time, the frequency,
// the level of the cell there and the nearest note, for the info text.
#pragma once

#include "drawing/FrequencyAxis.h"
#include "drawing/ScaleMath.h"
#include "sonagram/SonagramCells.h"

#include <string>

struct SonReadout {
    double seconds = 0.0;
    double hz = 0.0;
    int column = 0; // the cell under the point
    int row = 0;
    bool hasLevel = false;
    float level = 0.0f; // dB of the cell, in the item's level reference
};

// The cell a pixel of plot shows when the W x H image is stretched onto it,
// each pixel taking the cell under its centre.
int CellColumnOfPixel(const PlotRect& plot, int width, int x);
int CellRowOfPixel(const PlotRect& plot, int height, int y);

// The readout at pixel (x, y) of plot: seconds along startSeconds ..
// endSeconds, Hz on axis, and the level of the cell there when cells hold
// levels.
SonReadout ReadoutAt(const SonagramCells& cells, const PlotRect& plot, const FrequencyAxis& axis,
                     double startSeconds, double endSeconds, int x, int y);

// The lines after the stated info text: "Time:", "Freq:" in Hz, "Level:" in
// dB or dBFS, "Note:" with its cents for the reference pitch and notation.
std::string SonReadoutText(const SonReadout& readout, bool fullScale, double referencePitch,
                           int notation);
