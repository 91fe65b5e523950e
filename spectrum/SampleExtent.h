// The sum and the extremes of a run of samples: its mean and how far it
// strays from it, which the pitch tracker weighs frames by.
#pragma once

#include <cstddef>

struct SampleExtent {
    double sum = 0.0;
    size_t count = 0;
    float low = 0.0f;  // meaningful only when count > 0
    float high = 0.0f; // likewise

    // Takes in values[0 .. n - 1].
    void Add(const float* values, size_t n);
    double Mean() const { return count > 0 ? sum / double(count) : 0.0; }
    // The largest distance of a value from the mean; 0 for no values.
    double Peak() const;
};
