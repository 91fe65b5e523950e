#include "spectrum/CepstralSmooth.h"

#include "spectrum/Decibels.h"
#include "spectrum/RadixFft.h"
#include "spectrum/TolqFft.h"
#include "spectrum/WorkArray.h"

#include <algorithm>
#include <cstddef>

namespace {

// Spectra of up to this length go through the FFTW layer, longer ones through
// the radix-2 transforms.
constexpr int kLongestFftwSpectrum = 32768;

// The imaginary half of a long cepstrum, kept per thread between calls.
thread_local WorkArray t_imaginary;

// A dB spectrum made elsewhere may give a silent bin -inf, which the
// transform would spread into every smoothed bin; as the silence floor it
// smooths like any other level. Linear magnitudes never lie below the floor.
void RaiseToSilenceFloor(float* spectrum, int count) {
    for (int k = 0; k < count; ++k) {
        if (!(spectrum[k] >= kSilenceDb)) {
            spectrum[k] = kSilenceDb;
        }
    }
}

// The spectrum enters doubled: the lifter keeps one side of the symmetric
// cepstrum only, and the doubling gives the kept side the weight of both.
// c0 is taken off again because the mean has no mirror image.
void SmoothInterleaved(float* data, int n, int keep) {
    // Top down, so that each value is read before its pair overwrites it.
    for (int k = n / 2 - 1; k >= 0; --k) {
        const float doubled = 2.0f * data[k];
        data[2 * k + 1] = 0.0f;
        data[2 * k] = doubled;
    }
    cfsst(data, n);
    const float c0 = data[0] * 0.5f;
    std::fill(data + keep, data + n, 0.0f);
    cfast(data, n);
    for (int k = 0; k < n / 2; ++k) {
        data[k] = data[2 * k] - c0;
    }
}

void SmoothSplit(float* data, float* imaginary, int n, int keep) {
    const int half = n / 2;
    for (int k = 1; k < half; ++k) {
        data[n - k] = 2.0f * data[k];
    }
    data[half] = 0.0f;
    for (int k = 0; k < half; ++k) {
        data[k] *= 2.0f;
    }
    std::fill(imaginary, imaginary + n, 0.0f);
    InverseFft(data, imaginary, n);
    const float c0 = data[0] * 0.5f;
    std::fill(data + keep, data + n, 0.0f);
    std::fill(imaginary, imaginary + n, 0.0f);
    ForwardFft(data, imaginary, n);
    for (int k = 0; k < half; ++k) {
        data[k] -= c0;
    }
}

} // namespace

void CepstralSmooth(float* data, int n, double cut) {
    // Compared as doubles before truncation, so that a NaN or huge cut (a
    // cut-off frequency of 0 Hz) never reaches the integer conversion.
    if (!IsFftLength(n) || !(cut >= 2.0) || cut >= n / 2 + 1) {
        return;
    }
    const int keep = static_cast<int>(cut);
    if (n <= kLongestFftwSpectrum) {
        RaiseToSilenceFloor(data, n / 2);
        SmoothInterleaved(data, n, keep);
        return;
    }
    float* imaginary = t_imaginary.Get(static_cast<std::size_t>(n));
    if (!imaginary) {
        return;
    }
    RaiseToSilenceFloor(data, n / 2);
    SmoothSplit(data, imaginary, n, keep);
}
