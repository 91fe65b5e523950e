// Working storage for routines that run once per frame.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

// A float array that only grows and is kept for the next call, so that a
// routine run once per sonagram column allocates nothing per column. It is
// aligned to 64 bytes, enough for any SIMD load. Not for sharing between
// threads: its users keep one per thread.
class WorkArray {
public:
    static constexpr std::size_t kAlignment = 64;

    // At least count floats, or null when the array cannot grow that far.
    float* Get(std::size_t count);

private:
    struct Free {
        void operator()(float* p) const { std::free(p); }
    };
    std::unique_ptr<float[], Free> values_;
    std::size_t size_ = 0;
};
