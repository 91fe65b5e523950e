// Heads on sound files made by the analysis tests, settings as a new user has
// them, and the plain references the analyses are checked against.
#pragma once

#include "support/TestFiles.h"

#include "soundfile/MemoryStore.h"
#include "soundfile/SfItems.h"

#include <memory>
#include <vector>

// A head on a little-endian PCM WAV file of interleaved sample values.
std::unique_ptr<CSfHead> OpenSamples(const TempDir& dir, const std::vector<int32_t>& values,
                                     uint32_t rate, int channels = 1, int bytesPerSample = 2);
// Sets the head's task, as a selection in the head window does.
void SetHeadTask(CSfHead& head, uint32_t start, uint32_t end, int channel = 0);

// A sine of the given frequency and amplitude, rounded to whole sample values.
std::vector<int32_t> Sine(int frames, double hz, double rate, double amplitude);

// A steady voiced sound of pitch hz: its first ten harmonics, each 6 dB below
// the one an octave lower, peaking near amplitude.
std::vector<int32_t> Voiced(int frames, double hz, double rate, double amplitude);

// Power of bins 0 .. n/2 - 1 of a frame of n values, by a direct DFT in long
// double.
std::vector<double> DirectPowers(const std::vector<double>& frame);

// (minimum, maximum) of each of pairs blocks of block values from first on;
// values past the end count as 0.
std::vector<float> NaiveMinMax(const std::vector<int32_t>& values, size_t first, int pairs,
                               size_t block);
