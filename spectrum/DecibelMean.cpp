#include "spectrum/DecibelMean.h"

#include "soundfile/VectorClones.h"
#include "spectrum/Decibels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

// The power whose level is kSilenceDb, 10^(kSilenceDb / 10).
const double kSilencePower = std::pow(10.0, kSilenceDb / 10.0);

// 10 log10(2): dB per factor of two in power.
constexpr double kDbPerOctave = 3.0102999566398119521;

constexpr uint64_t kExponentBits = 0x7FF0000000000000u;
constexpr uint64_t kOneExponent = 0x3FF0000000000000u; // the exponent field of 1.0
constexpr int kMantissaBits = 52;

} // namespace

bool DecibelMean::Reset(int bins) {
    count_ = 0;
    try {
        mantissas_.assign(static_cast<size_t>(std::max(bins, 0)), 1.0);
        exponents_.assign(mantissas_.size(), 0);
        return true;
    } catch (const std::bad_alloc&) {
        mantissas_.clear();
        exponents_.clear();
        return false;
    }
}

KAVIREL_VECTOR_CLONES void DecibelMean::AddMagnitudes(const float* magnitudes) {
    const size_t bins = mantissas_.size();
    double* mantissas = mantissas_.data();
    int64_t* exponents = exponents_.data();
    for (size_t k = 0; k < bins; ++k) {
        const double magnitude = magnitudes[k];
        // Positive and normal: at least the silence power, at most a float's
        // largest square times 2.
        const double product = mantissas[k] * std::max(magnitude * magnitude, kSilencePower);
        uint64_t bits;
        std::memcpy(&bits, &product, sizeof bits);
        exponents[k] += static_cast<int64_t>(bits >> kMantissaBits) - 1023;
        bits = (bits & ~kExponentBits) | kOneExponent;
        std::memcpy(&mantissas[k], &bits, sizeof bits);
    }
    ++count_;
}

void DecibelMean::Mean(float* levels) const {
    for (size_t k = 0; k < mantissas_.size(); ++k) {
        const double octaves = static_cast<double>(exponents_[k]) + std::log2(mantissas_[k]);
        const double level = count_ > 0 ? kDbPerOctave * octaves / count_ : kSilenceDb;
        levels[k] = static_cast<float>(std::max(level, static_cast<double>(kSilenceDb)));
    }
}
