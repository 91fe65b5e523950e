// Upward zero crossings of a frame of samples: the period measurements and the
// fundamental frequency estimate of the spectrum window's frame pane.
#pragma once

#include <optional>

// True when the frame rises through zero between index i and i + 1: values[i]
// at or below 0 and values[i + 1] above it. False for i outside 0 .. count - 2.
bool IsUpwardCrossing(const float* values, int count, int i);

// Where the crossing after index i lies, linearly interpolated between i and
// i + 1; i itself when no upward crossing starts at i.
double CrossingPosition(const float* values, int count, int i);

// The first index after a that starts an upward crossing; a when none does.
int NextCrossing(const float* values, int count, int a);

// The first index before a, down to 1, that starts an upward crossing; a when
// none does or a is below 2.
int PreviousCrossing(const float* values, int count, int a);

// Mean distance in samples between the first and the last upward crossing of
// the frame; none with fewer than two crossings, where no period is seen.
std::optional<double> MeanPeriod(const float* values, int count);

// Distance in samples from the crossing at the mark m to the crossing at the
// cursor c, both interpolated.
double CrossingDistance(const float* values, int count, int m, int c);
