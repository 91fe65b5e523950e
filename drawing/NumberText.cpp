#include "drawing/NumberText.h"

#include <array>

std::string NumberText(double v, std::chars_format format, int precision) {
    // Room for the 309 integer digits of the largest double in fixed form.
    std::array<char, 400> buffer;
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), v, format, precision);
    return std::string(buffer.data(), result.ptr);
}

std::string PrintG(double v) {
    return NumberText(v, std::chars_format::general, 6);
}

std::string PrintF(double v) {
    return NumberText(v, std::chars_format::fixed, 6);
}
