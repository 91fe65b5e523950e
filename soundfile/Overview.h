// The whole-file overview of a head: a max/min envelope with one value pair per
// screen column and a level curve with two values per column, per channel.
#pragma once

#include <cstdint>

struct SfInfo;
class DesktopServices;

// Loads the overview from the cache beside the file or computes it (and
// writes the cache). Zeroes the task block. False when it cannot be held.
// fromCache, when given, tells whether the cache was used.
bool BuildOverview(SfInfo& info, DesktopServices& desktop, bool* fromCache = nullptr);

// Fills the envelope part: values c x A .. c x A + A - 1 for channel c, A/2
// value pairs. A pair is (minimum, maximum) for 1-byte samples, (maximum,
// minimum) for wider ones.
void PrepareWav(const SfInfo& info, float* envelope, int A, DesktopServices& desktop);

// Fills the level part: G levels in dB per channel, values c x G .. c x G + G - 1.
void PrepareRms(const SfInfo& info, float* levels, int G, DesktopServices& desktop);
