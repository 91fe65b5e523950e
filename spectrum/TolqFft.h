// Real transforms in place over FFTW, in the packed layout the spectral
// routines read. Both are unscaled in the forward direction and scaled by 1/n
// in the inverse one, and both touch data[0 .. n - 1] only, so a frame may sit
// anywhere in a larger buffer. Any thread may call them.
#pragma once

// Forward real transform of the n values in data (n even, at least 2). Bin k,
// the sum over t of x[t] e^(-2 pi i k t / n), is left as the pair
// (data[2k], data[2k + 1]) for k = 0 .. n/2 - 1; bin 0 keeps its imaginary
// part, 0, in data[1], and bin n/2 is dropped. Other n leave data unchanged.
void cfast(float* data, int n);

// The bins cfast leaves, without the copy into data: a pointer to the pairs
// (re, im) of bins 0 .. n/2 in the calling thread's buffer, good until its next
// transform. data is left unchanged. Null for other n or without memory.
const float* cfastBins(float* data, int n);

// Inverse of cfast: data holds bins 0 .. n/2 - 1 of a conjugate-symmetric
// spectrum as (re, im) pairs, bin n/2 taken as 0; leaves the n real values
// (1/n) times the sum over k of Y[k] e^(+2 pi i k t / n). The imaginary part of
// bin 0 is ignored, as it is 0 in any such spectrum. Other n leave data
// unchanged.
void cfsst(float* data, int n);

// n times the circular autocorrelation of data[0 .. n - 1] (n even, at least
// 2), in place: data[lag] becomes the sum over t of x[t] x[(t + lag) mod n],
// times n, through the power spectrum, the bin at n/2 included. Zero-pad a
// frame to at least its length plus the longest lag wanted for the plain
// correlation. Other n leave data unchanged.
void cfautocorr(float* data, int n);
