// The overview cache beside each sound file ("sfv"): a 24-byte little-endian
// header ("SFV1", modification time, values per channel, overview method, data
// offset, flags) followed by the overview floats.
#pragma once

#include <string>
#include <vector>

struct SfInfo;

// a.wav -> a.sfv: the extension of the file name replaced (or added).
std::string OverviewCachePath(const std::string& soundPath);

// Fills overview (C x channels floats) from a cache that matches the file;
// sets info.overviewMethod from it. A miss sets the method to waveform.
bool LoadOverview(SfInfo& info, std::vector<float>& overview, int C);

// Writes a new cache, replacing the old one only once it is complete.
// Silent when it cannot be written.
void SaveOverview(const SfInfo& info, const std::vector<float>& overview, int C);

// Remembers the head window's method in the cache (creating a bare file when
// none exists), so the same view comes back when the file is reopened.
void SaveOverviewMethod(const SfInfo& info);

// True when the file lies on a read-only or optical file system, where no
// cache is written.
bool OnReadOnlyMedium(const std::string& path);
