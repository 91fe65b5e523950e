#include "drawing/NumberText.h"

#include <algorithm>
#include <array>
#include <limits>

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

namespace {

const char* SkipBlanks(const std::string& text) {
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
        ++p;
    return p;
}

} // namespace

double LeadingDouble(const std::string& text) {
    const char* first = SkipBlanks(text);
    const char* last = text.c_str() + text.size();
    // from_chars takes no plus sign.
    const bool plus = *first == '+';
    double value = 0.0;
    if (std::from_chars(first + (plus ? 1 : 0), last, value).ec != std::errc())
        return 0.0;
    return value;
}

int LeadingInt(const std::string& text) {
    const char* first = SkipBlanks(text);
    const char* last = text.c_str() + text.size();
    const bool plus = *first == '+';
    long long value = 0;
    const auto result = std::from_chars(first + (plus ? 1 : 0), last, value);
    if (result.ec == std::errc::result_out_of_range)
        return *first == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    if (result.ec != std::errc())
        return 0;
    return int(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                     std::numeric_limits<int>::max()));
}
