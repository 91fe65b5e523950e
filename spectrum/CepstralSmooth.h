// Smoothing of a spectrum through its cepstrum.
#pragma once

// data[0 .. n/2 - 1] holds a spectrum, linear or in dB, and data has room for
// n floats (n a power of two). Replaces the spectrum with its form without the
// quefrencies from K up, K being cut (in samples) truncated: with s the real
// cepstrum of the spectrum mirrored to n points and bin n/2 set to 0, bin k
// becomes s[0] + 2 (s[1] cos(2 pi k / n) + ... + s[K-1] cos(2 pi k (K-1) / n)),
// in the units of the input. A cut below 2 would leave only the mean, a flat
// line that tells nothing, and a cut from n/2 + 1 up removes nothing: both
// leave the spectrum as it is, as does any other n. Values below kSilenceDb,
// -inf among them, count as kSilenceDb.
void CepstralSmooth(float* data, int n, double cut);
