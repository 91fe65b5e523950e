#include "spectrum/WorkArray.h"

float* WorkArray::Get(std::size_t count) {
    if (count > size_) {
        values_.reset();
        size_ = 0;
        const std::size_t bytes =
            (count * sizeof(float) + kAlignment - 1) / kAlignment * kAlignment;
        values_.reset(static_cast<float*>(std::aligned_alloc(kAlignment, bytes)));
        if (values_) {
            size_ = count;
        }
    }
    return values_.get();
}
