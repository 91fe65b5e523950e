// Time texts of windows, item names, info texts and data-log lines, the parser
// of typed-in times, and the shortened file path of info texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Time text of t seconds; mode 0 is compact ("1h5m", "1m15.5s"), mode 1 the
// clock form ("01m15.500s"). The decimal point is always '.', whatever the
// process locale, so data-log lines read the same everywhere.
std::string FormatSeconds(double t, int mode);

// Time text of n frames at sr frames per second, as FormatSeconds writes it.
std::string FormatFrames(int32_t n, float sr, int mode);

// Frame count of a typed-in time such as "1m30s", "2.5s", "1h" or "1000" (a
// bare number counts frames). Results beyond the 32-bit range are clamped.
int32_t ParseTimeText(const std::string& text, float sr);
// A typed-in number longer than this is cut; no time needs more digits.
constexpr size_t kLongestTimeToken = 127;

// The path when it is at most keep bytes long, else its last keep bytes behind
// "/..." (absolute path) or "..." (relative path).
std::string ShortPathText(const std::string& path, int keep);
