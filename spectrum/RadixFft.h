// The program's own radix-2 complex transforms, in place on split real and
// imaginary arrays of n floats. They serve the frames longer than the FFTW
// layer is given, and give the same unscaled bins, so a level does not step
// where one takes over from the other. Any thread may call them.
#pragma once

// The lengths these transforms take, and so the frame lengths of the spectral
// routines built on them.
inline bool IsFftLength(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// X[k] = sum over t of x[t] e^(-2 pi i k t / n), unscaled. n must be a power
// of two; any other n leaves the arrays unchanged.
void ForwardFft(float* re, float* im, int n);

// x[t] = (1/n) times the sum over k of X[k] e^(+2 pi i k t / n). n must be a
// power of two; any other n leaves the arrays unchanged.
void InverseFft(float* re, float* im, int n);
