// A frame's spectrum and its overall level, linear or in dB (Decibels.h).
#pragma once

// Transforms the n real values in data (n a power of two, at least 2) and
// overwrites data[0 .. n/2 - 1] with the magnitude of bins 0 .. n/2 - 1, or
// with their power in dB when decibels is set. The bins are unscaled sums over
// the frame, so no window gain or length correction is applied. data[n/2 ..
// n - 1] are left as working values; nothing past data[n - 1] is touched.
// Any other n leaves data unchanged.
void MagnitudeSpectrum(float* data, int n, bool decibels);

// The magnitudes MagnitudeSpectrum (without dB) gives for the frame
// frame[i] x window[i], i < n, into magnitudes[0 .. n/2 - 1], with no copies
// between; frame and window are left as they are. Other n leave magnitudes
// unchanged.
void WindowedMagnitudes(const float* frame, const float* window, int n, float* magnitudes);

// The RMS of n values, or their mean square in dB when decibels is set. An
// empty frame counts as silent; a silent frame is 0 dB.
double FrameLevel(const float* data, int n, bool decibels);
