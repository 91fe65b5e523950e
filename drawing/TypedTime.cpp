#include "drawing/TypedTime.h"

#include "drawing/TimeText.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole token as a decimal number. Hexadecimal, "inf" and "nan" are numbers
// to strtod but no time anybody types.
std::optional<double> RealToken(const std::string& token) {
    if (token.empty() || token.find_first_not_of("+-.0123456789eE") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(token.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int64_t> WholeToken(const std::string& token) {
    if (token.empty() || token.find_first_not_of("+-0123456789") != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(token.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE)
        return std::nullopt;
    return int64_t(v);
}

// A sum that has left the 32-bit range is only ever refused; keeping it
// below the 64-bit limits is all that matters then.
int64_t Saturated(double v) {
    constexpr double kLimit = 4.0e18;
    return int64_t(std::fmax(-kLimit, std::fmin(kLimit, std::trunc(v))));
}

} // namespace

std::optional<int64_t> ReadTimeText(const std::string& text, float rate) {
    if (Trimmed(text).empty())
        return std::nullopt;
    // A token longer than the task dialog reads would be cut there: refused.
    size_t run = 0;
    for (char c : text) {
        const char unit = char(std::tolower(static_cast<unsigned char>(c)));
        run = unit == 'h' || unit == 'm' || unit == 's' || unit == 'f' ? 0 : run + 1;
        if (run > kLongestTimeToken)
            return std::nullopt;
    }
    int64_t sum = 0;
    std::string token;
    for (char c : text) {
        const char unit = char(std::tolower(static_cast<unsigned char>(c)));
        if (unit != 'h' && unit != 'm' && unit != 's' && unit != 'f') {
            token += c;
            continue;
        }
        const std::string part = Trimmed(token);
        token.clear();
        if (unit == 'f') {
            const auto frames = WholeToken(part);
            if (!frames)
                return std::nullopt;
            sum += *frames;
            continue;
        }
        const auto value = RealToken(part);
        if (!value)
            return std::nullopt;
        const double seconds = unit == 'h' ? 3600.0 : unit == 'm' ? 60.0 : 1.0;
        // Multiplied in the order the dialog's parser multiplies, so that the
        // truncation falls on the same frame.
        sum += Saturated(*value * rate * seconds);
    }
    const std::string rest = Trimmed(token);
    if (!rest.empty()) {
        const auto frames = WholeToken(rest);
        if (!frames)
            return std::nullopt;
        sum += *frames;
    }
    if (sum < std::numeric_limits<int32_t>::min() || sum > std::numeric_limits<int32_t>::max())
        return sum;
    return ParseTimeText(text, rate);
}
