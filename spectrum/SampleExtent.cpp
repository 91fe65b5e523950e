#include "spectrum/SampleExtent.h"

#include <algorithm>
#include <numeric>

void SampleExtent::Add(const float* values, size_t n) {
    if (n == 0)
        return;
    // kLanes independent runs, so that the additions and comparisons need not
    // wait for each other.
    constexpr size_t kLanes = 8;
    double sums[kLanes] = {};
    float lows[kLanes];
    float highs[kLanes];
    std::fill(lows, lows + kLanes, count > 0 ? low : values[0]);
    std::fill(highs, highs + kLanes, count > 0 ? high : values[0]);
    size_t i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        for (size_t lane = 0; lane < kLanes; ++lane) {
            const float v = values[i + lane];
            sums[lane] += v;
            lows[lane] = std::min(lows[lane], v);
            highs[lane] = std::max(highs[lane], v);
        }
    }
    for (; i < n; ++i) {
        sums[0] += values[i];
        lows[0] = std::min(lows[0], values[i]);
        highs[0] = std::max(highs[0], values[i]);
    }
    sum += std::accumulate(sums, sums + kLanes, 0.0);
    count += n;
    low = *std::min_element(lows, lows + kLanes);
    high = *std::max_element(highs, highs + kLanes);
}

double SampleExtent::Peak() const {
    if (count == 0)
        return 0.0;
    const double mean = Mean();
    return std::max(double(high) - mean, mean - double(low));
}
