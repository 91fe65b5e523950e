#include "spectrum/MagnitudeSpectrum.h"

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

// The imaginary half of a long frame, kept per thread between frames.
thread_local WorkArray t_imaginary;

// The level of each power, in place. A plain map over contiguous values, which
// the compiler vectorises where the maths library allows.
void PowersToLevels(float* values, int count, bool decibels) {
    if (decibels) {
        for (int k = 0; k < count; ++k) {
            values[k] = PowerToDb(values[k]);
        }
    } else {
        for (int k = 0; k < count; ++k) {
            values[k] = std::sqrt(values[k]);
        }
    }
}

} // namespace

void MagnitudeSpectrum(float* data, int n, bool decibels) {
    if (n < 2 || !IsFftLength(n)) {
        return;
    }
    if (n <= kLongestFftwFrame) {
        cfast(data, n);
        // In increasing k, data[k] lies at or before every pair still to be read.
        for (int k = 0; k < n / 2; ++k) {
            data[k] = data[2 * k] * data[2 * k] + data[2 * k + 1] * data[2 * k + 1];
        }
        PowersToLevels(data, n / 2, decibels);
        return;
    }
    float* imaginary = t_imaginary.Get(static_cast<std::size_t>(n));
    if (!imaginary) {
        return;
    }
    std::fill(imaginary, imaginary + n, 0.0f);
    ForwardFft(data, imaginary, n);
    for (int k = 0; k < n / 2; ++k) {
        data[k] = data[k] * data[k] + imaginary[k] * imaginary[k];
    }
    PowersToLevels(data, n / 2, decibels);
}

double FrameLevel(const float* data, int n, bool decibels) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        sum += static_cast<double>(data[i]) * data[i];
    }
    const double meanSquare = n > 0 ? sum / n : 0.0;
    return decibels ? PowerToDb(meanSquare) : std::sqrt(meanSquare);
}
