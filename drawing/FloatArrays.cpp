#include "drawing/FloatArrays.h"

#include <algorithm>
#include <cstring>

int FindPeakIndex(const float* values, int count, int start, int direction) {
    const auto isAfterPeak = [values](int i) {
        return values[i - 1] > values[i] && values[i - 1] > values[i + 1];
    };
    if (count < 3)
        return start;
    if (direction > 0) {
        if (start >= count - 2)
            return start;
        for (int i = std::max(start + 1, 1); i <= count - 2; ++i)
            if (isAfterPeak(i))
                return i;
    } else if (direction < 0) {
        if (start <= 1)
            return start;
        for (int i = std::min(start - 1, count - 2); i >= 1; --i)
            if (isAfterPeak(i))
                return i;
    }
    return start;
}

void ZeroFloats(float* values, int count) {
    if (count > 0)
        std::fill(values, values + count, 0.0f);
}

void AddFloats(float* destination, const float* source, int count) {
    for (int i = 0; i < count; ++i)
        destination[i] += source[i];
}

void ScaleFloats(float* destination, const float* source, int count, double factor) {
    for (int i = 0; i < count; ++i)
        destination[i] = static_cast<float>(factor * source[i]);
}

void FillWords(void* words, int count, uint32_t value) {
    auto* bytes = static_cast<unsigned char*>(words);
    for (int i = 0; i < count; ++i)
        std::memcpy(bytes + static_cast<size_t>(i) * sizeof value, &value, sizeof value);
}
