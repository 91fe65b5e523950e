// The peaks of a spectrum as the spectrum pane's Ctrl+Right visits them, for
// the command line, the exports and the Python module.
#pragma once

#include "spectrum/SpectrumDisplay.h"

#include <vector>

struct SpectrumPeak {
    int bin = 0;
    double frequencyHz = 0.0; // refined by the parabola through the bin and its neighbours
    float level = 0.0f;       // the level of the bin itself, as the pane reads it
};

// The peaks within bins above threshold, rising in frequency: the bins that
// Ctrl+Right reaches one after the other from the lowest shown bin. At most
// count peaks when count is positive.
std::vector<SpectrumPeak> ListSpectrumPeaks(const std::vector<float>& spectrum,
                                            const BinRange& bins, float threshold,
                                            double binWidthHz, int count = 0);

// The peak of highest level (the lowest frequency of equal ones); none when
// the spectrum has no peak above threshold.
std::optional<SpectrumPeak> HighestSpectrumPeak(const std::vector<float>& spectrum,
                                                const BinRange& bins, float threshold,
                                                double binWidthHz);
