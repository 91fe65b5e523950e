#include "spectrum/MagnitudeSpectrum.h"

#include "soundfile/VectorClones.h"
#include "spectrum/Decibels.h"
#include "spectrum/RadixFft.h"
#include "spectrum/TolqFft.h"
#include "spectrum/WorkArray.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// Frames up to this length go through the FFTW layer, longer ones through the
// radix-2 transform. Both give the same unscaled bins, so a level does not
// step when Lfft crosses the boundary.
constexpr int kLongestFftwFrame = 32768;

// The imaginary half of a long frame, and the powers of a frame, kept per
// thread between frames.
thread_local WorkArray t_imaginary;
thread_local WorkArray t_powers;
// A windowed frame, aligned for the transform.
thread_local WorkArray t_windowed;

// The level of each power into levels. Plain maps over contiguous values
// that do not overlap, which the compiler vectorises.
KAVIREL_VECTOR_CLONES void PowersToLevels(const float* __restrict powers, float* __restrict levels,
                                          int count, bool decibels) {
    if (decibels) {
        for (int k = 0; k < count; ++k) {
            levels[k] = PowerToDb(powers[k]);
        }
    } else {
        for (int k = 0; k < count; ++k) {
            levels[k] = std::sqrt(powers[k]);
        }
    }
}

// The power of each of count bins given as (re, im) pairs, in float.
KAVIREL_VECTOR_CLONES void BinPowers(const float* __restrict bins, int count,
                                     float* __restrict powers) {
    for (int k = 0; k < count; ++k) {
        powers[k] = bins[2 * k] * bins[2 * k] + bins[2 * k + 1] * bins[2 * k + 1];
    }
}

KAVIREL_VECTOR_CLONES void WindowFrame(const float* __restrict frame,
                                       const float* __restrict window, int n,
                                       float* __restrict windowed) {
    for (int i = 0; i < n; ++i) {
        windowed[i] = frame[i] * window[i];
    }
}

// The levels of the first n/2 bins of the n values in frame, transformed by
// FFTW, into levels (which may be frame). Without memory levels are left as
// they are.
void FftwLevels(float* frame, int n, float* levels, bool decibels) {
    float* powers = t_powers.Get(static_cast<std::size_t>(n / 2));
    const float* bins = powers ? cfastBins(frame, n) : nullptr;
    if (bins) {
        BinPowers(bins, n / 2, powers);
        PowersToLevels(powers, levels, n / 2, decibels);
    }
}

} // namespace

void MagnitudeSpectrum(float* data, int n, bool decibels) {
    if (n < 2 || !IsFftLength(n)) {
        return;
    }
    if (n <= kLongestFftwFrame) {
        FftwLevels(data, n, data, decibels);
        return;
    }
    float* imaginary = t_imaginary.Get(static_cast<std::size_t>(n));
    if (!imaginary) {
        return;
    }
    std::fill(imaginary, imaginary + n, 0.0f);
    ForwardFft(data, imaginary, n);
    // The imaginary half is free once read: it takes the powers.
    for (int k = 0; k < n / 2; ++k) {
        imaginary[k] = data[k] * data[k] + imaginary[k] * imaginary[k];
    }
    PowersToLevels(imaginary, data, n / 2, decibels);
}

void WindowedMagnitudes(const float* frame, const float* window, int n, float* magnitudes) {
    if (n < 2 || !IsFftLength(n)) {
        return;
    }
    float* windowed = t_windowed.Get(static_cast<std::size_t>(n));
    if (!windowed) {
        return;
    }
    WindowFrame(frame, window, n, windowed);
    if (n <= kLongestFftwFrame) {
        FftwLevels(windowed, n, magnitudes, false);
        return;
    }
    MagnitudeSpectrum(windowed, n, false);
    std::copy(windowed, windowed + n / 2, magnitudes);
}

double FrameLevel(const float* data, int n, bool decibels) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        sum += static_cast<double>(data[i]) * data[i];
    }
    const double meanSquare = n > 0 ? sum / n : 0.0;
    if (!decibels)
        return std::sqrt(meanSquare);
    // A silent frame is 0 dB, not the spectra's silence floor: the level curve
    // and its data-log lines stay on the scale of the frames around it.
    return meanSquare > 0.0 ? 10.0 * std::log10(meanSquare) : 0.0;
}
