// The mean level in dB of many spectra, bin by bin.
#pragma once

#include <cstdint>
#include <vector>

// A mean of levels in dB is a mean of logarithms, and a logarithm per bin and
// frame costs more than the transform of a short frame. The log of a product
// is the sum of the logs, so the powers of each bin are multiplied together
// instead, and the binary exponent of each product is moved into an integer
// sum before it can overflow: one logarithm per bin in all. Summing in double
// precision this way is also more exact than summing rounded float levels.
class DecibelMean {
public:
    // Starts empty for spectra of the given number of bins. False when there
    // is no memory for them.
    bool Reset(int bins);

    // Adds one spectrum given as linear magnitudes. Powers below that of
    // kSilenceDb count as kSilenceDb, as for a single spectrum in dB.
    void AddMagnitudes(const float* magnitudes);

    // The mean over the spectra added of each bin's level in dB, 10 log10 of
    // its power; kSilenceDb for every bin when none were added.
    void Mean(float* levels) const;

private:
    std::vector<double> mantissas_;  // running product of each bin, in [1, 2)
    std::vector<int64_t> exponents_; // powers of two taken out of it
    uint64_t count_ = 0;
};
