#include "soundfile/FloatArray.h"

#include <new>
#include <stdexcept>

bool ResizeFloats(std::vector<float>& values, std::size_t count) {
    try {
        values.assign(count, 0.0f);
        return true;
    } catch (const std::bad_alloc&) {
        values = std::vector<float>();
        return false;
    } catch (const std::length_error&) {
        values = std::vector<float>();
        return false;
    }
}

FloatArray NewFloatArray(std::size_t count) {
    try {
        auto values = std::make_shared<std::vector<float>>();
        if (!ResizeFloats(*values, count)) {
            return nullptr;
        }
        return values;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
