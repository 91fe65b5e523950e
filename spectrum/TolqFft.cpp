#include "spectrum/TolqFft.h"

#include "spectrum/WorkArray.h"

#include <fftw3.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>

namespace {

fftwf_complex* AsBins(float* values) {
    return reinterpret_cast<fftwf_complex*>(values);
}

struct PlanPair {
    fftwf_plan forward; // n reals to n/2 + 1 bins, out of place
    fftwf_plan inverse; // n/2 + 1 bins to n reals, out of place
};

// Plans are made once per length and kept until the program ends. Only the
// FFTW planner is unsafe to share between threads, so the lock covers planning
// and the lookup, never a transform. FFTW_ESTIMATE plans in microseconds and
// picks the same algorithm on every run, so results do not change from run to
// run; FFTW_MEASURE would halve the time of a 32768-point transform but costs
// half a second of planning per length, more than a whole sonagram saves.
class PlanCache {
public:
    PlanCache() = default;
    PlanCache(const PlanCache&) = delete;
    PlanCache& operator=(const PlanCache&) = delete;

    ~PlanCache() {
        for (auto& entry : plans_) {
            fftwf_destroy_plan(entry.second.forward);
            fftwf_destroy_plan(entry.second.inverse);
        }
    }

    // Null when the planning arrays cannot be allocated.
    const PlanPair* Get(int n) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = plans_.find(n);
        if (found != plans_.end()) {
            return &found->second;
        }
        WorkArray reals;
        WorkArray bins;
        float* realValues = reals.Get(static_cast<std::size_t>(n));
        float* binValues = bins.Get(static_cast<std::size_t>(n) + 2);
        if (!realValues || !binValues) {
            return nullptr;
        }
        PlanPair pair;
        pair.forward = fftwf_plan_dft_r2c_1d(n, realValues, AsBins(binValues), FFTW_ESTIMATE);
        pair.inverse = fftwf_plan_dft_c2r_1d(n, AsBins(binValues), realValues, FFTW_ESTIMATE);
        return &plans_.emplace(n, pair).first->second;
    }

private:
    std::mutex mutex_;
    std::map<int, PlanPair> plans_;
};

PlanCache& Plans() {
    static PlanCache cache;
    return cache;
}

// Plans run only on arrays aligned as the ones they were made on. Work arrays
// are aligned beyond what any SIMD extension FFTW is built for needs, so they
// all qualify, and a caller's frame qualifies exactly when fftwf_alignment_of
// gives 0. One set per thread, as threads may transform at the same time.
//
// FFTW's half spectrum has n/2 + 1 bins, two floats more than the caller's
// frame holds, so the bins always land here first.
thread_local WorkArray t_bins;
// An aligned stand-in for a caller's frame that is not aligned as the plans
// need, such as a sonagram column at an odd offset of its buffer.
thread_local WorkArray t_frame;

bool IsTransformLength(int n) {
    return n >= 2 && n % 2 == 0;
}

// An aligned frame is transformed where it lies, with no copies; any other is
// copied into an aligned buffer first. Null when there is no memory for it.
float* AlignedInput(float* data, std::size_t count) {
    if (fftwf_alignment_of(data) == 0) {
        return data;
    }
    float* copy = t_frame.Get(count);
    if (copy) {
        std::memcpy(copy, data, count * sizeof(float));
    }
    return copy;
}

// The plans and the bin buffer of a transform of n values; null plans when n
// is no transform length or there is no memory.
struct Transform {
    std::size_t count = 0;
    const PlanPair* plans = nullptr;
    float* bins = nullptr;
};

Transform TransformOf(int n) {
    if (!IsTransformLength(n)) {
        return {};
    }
    const std::size_t count = static_cast<std::size_t>(n);
    const PlanPair* plans = Plans().Get(n);
    float* bins = t_bins.Get(count + 2);
    if (!plans || !bins) {
        return {};
    }
    return {count, plans, bins};
}

} // namespace

const float* cfastBins(float* data, int n) {
    const Transform t = TransformOf(n);
    if (!t.plans) {
        return nullptr;
    }
    float* input = AlignedInput(data, t.count);
    if (!input) {
        return nullptr;
    }
    fftwf_execute_dft_r2c(t.plans->forward, input, AsBins(t.bins));
    return t.bins;
}

void cfast(float* data, int n) {
    if (const float* bins = cfastBins(data, n)) {
        std::memcpy(data, bins, static_cast<std::size_t>(n) * sizeof(float));
    }
}

void cfsst(float* data, int n) {
    const Transform t = TransformOf(n);
    if (!t.plans) {
        return;
    }
    const std::size_t count = t.count;
    const PlanPair* plans = t.plans;
    float* bins = t.bins;
    float* output = data;
    if (fftwf_alignment_of(data) != 0) {
        output = t_frame.Get(count);
        if (!output) {
            return;
        }
    }
    std::memcpy(bins, data, count * sizeof(float));
    bins[count] = 0.0f;
    bins[count + 1] = 0.0f;
    fftwf_execute_dft_c2r(plans->inverse, AsBins(bins), output);
    const float scale = 1.0f / static_cast<float>(n);
    for (std::size_t i = 0; i < count; ++i) {
        data[i] = output[i] * scale;
    }
}

void cfautocorr(float* data, int n) {
    const Transform t = TransformOf(n);
    if (!t.plans) {
        return;
    }
    const std::size_t count = t.count;
    const PlanPair* plans = t.plans;
    float* bins = t.bins;
    float* values = AlignedInput(data, count);
    if (!values) {
        return;
    }
    fftwf_execute_dft_r2c(plans->forward, values, AsBins(bins));
    for (std::size_t k = 0; k < count + 2; k += 2) {
        bins[k] = bins[k] * bins[k] + bins[k + 1] * bins[k + 1];
        bins[k + 1] = 0.0f;
    }
    fftwf_execute_dft_c2r(plans->inverse, AsBins(bins), values);
    if (values != data) {
        std::memcpy(data, values, count * sizeof(float));
    }
}
