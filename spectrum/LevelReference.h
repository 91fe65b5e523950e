// Levels relative to digital full scale (dBFS) instead of one least
// significant bit, the same for every sample width, transform length and
// window.
#pragma once

struct SfInfo;

// The numeric value of a full-scale sample: 2^(8 x bytes - 1) for integer
// samples (128 for 8-bit, 32768 for 16-bit), 2^31 for IEEE floats, which are
// read as sample x 2^31.
double FullScale(const SfInfo& info);

// What a spectrum level in dB re 1 LSB loses to read in dBFS: the magnitude
// of a full-scale sine whose frequency lies on a bin, full scale x the sum of
// the window's values / 2, in dB. Dividing by the window's sum takes out its
// coherent gain and its length, so a sine of amplitude A (a fraction of full
// scale) reads 20 log10(A) at its bin for every window and length.
double SpectrumFullScaleDb(const SfInfo& info, const float* window, int count);

// What a mean-square level in dB re 1 LSB loses to read in dBFS: full scale
// squared, in dB. A full-scale sine then reads -3.01 dBFS, a square 0 dBFS.
double LevelFullScaleDb(const SfInfo& info);

// Moves levels in dB down by offsetDb, digital silence staying at the floor
// levels in dB have; linear magnitudes are divided by the offset's amplitude.
void ApplyLevelReference(float* levels, int count, bool decibels, double offsetDb);
