// The overview cache ("sfv"): a 24-byte little-endian header ("SFV1",
// modification time, values per channel, overview method, data offset, flags)
// followed by the overview floats. It lives beside the sound file or, where
// that folder cannot take it, in the user's cache folder.
#pragma once

#include <string>
#include <vector>

struct SfInfo;
struct SfStat;

// a.wav -> a.sfv: the extension of the file name replaced (or added).
std::string OverviewCachePath(const std::string& soundPath);

// The user's private cache folder (PrivateCacheFolder.h) and a name made from
// a hash of the canonical path: where the cache is kept when the sound file's
// folder cannot be written, its cache name is taken by a file of the user's,
// or another sound file there (x.wav beside x.WAV) has the same cache name.
std::string FallbackCachePath(const std::string& soundPath);

// Fills overview (C x channels floats) from a cache that belongs to the file as
// sound describes it, beside the file or else in the cache folder; sets
// info.overviewMethod from it. A miss sets the method to waveform.
bool LoadOverview(SfInfo& info, std::vector<float>& overview, int C, const SfStat& sound);

// Writes a new cache for the file as sound describes it, replacing an old one
// only once complete and never replacing a file that is not a cache. Silent
// when it cannot be written.
void SaveOverview(const SfInfo& info, const std::vector<float>& overview, int C,
                  const SfStat& sound);

// Remembers the head window's method in the cache (creating a bare file when
// none exists), so the same view comes back when the file is reopened.
void SaveOverviewMethod(const SfInfo& info);

// True when the file lies on a read-only or optical file system, where no
// cache is written beside it.
bool OnReadOnlyMedium(const std::string& path);
