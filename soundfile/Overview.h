// The whole-file overview of a head: a max/min envelope with one value pair per
// screen column and a level curve with two values per column, per channel.
#pragma once

#include <cstdint>

struct SfInfo;
class DesktopServices;

// The widest overview drawn: wider than any screen made.
inline constexpr int kMaxOverviewWidth = 16384;
// The most values an overview holds (64 MB of floats): a thousand channels
// fit a screen 4096 pixels wide.
inline constexpr int64_t kMaxOverviewValues = int64_t(1) << 24;

// Loads the overview from its cache or computes it (and writes the cache).
// Zeroes the task block. False when it cannot be held; a screen width or
// channel count that would make it absurdly large is refused with a message.
// fromCache, when given, tells whether the cache was used.
bool BuildOverview(SfInfo& info, DesktopServices& desktop, int screenWidth,
                   bool* fromCache = nullptr);

// Fills the whole overview, envelope and level part, W columns: in one pass
// over the file on the analysis threads, the same values as PrepareWav and
// PrepareRms give. Their progress texts are shown on the calling thread.
void PrepareOverview(const SfInfo& info, float* overview, int W, DesktopServices& desktop);

// Fills the envelope part: values c x A .. c x A + A - 1 for channel c, A/2
// value pairs. A pair is (minimum, maximum) for 1-byte samples, (maximum,
// minimum) for wider ones.
void PrepareWav(const SfInfo& info, float* envelope, int A, DesktopServices& desktop);

// Fills the level part: G levels in dB per channel, values c x G .. c x G + G - 1.
void PrepareRms(const SfInfo& info, float* levels, int G, DesktopServices& desktop);

// True when an overview of W columns read from a cache can be the overview of
// this file: every value is one the file's samples could give, and the first
// and last column and level block, computed again, come out the same.
bool OverviewAgrees(const SfInfo& info, const float* overview, int W);
