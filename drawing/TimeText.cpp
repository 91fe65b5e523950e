#include "drawing/TimeText.h"

#include "drawing/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace {

// Beyond this the hour field no longer fits an int.
constexpr double kMaxSeconds = 3600.0 * std::numeric_limits<int>::max();

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

std::string Fixed3(double v) {
    return NumberText(v, std::chars_format::fixed, 3);
}

// printf's '0' flag: zeros go between the sign and the digits.
std::string ZeroPad(std::string text, size_t width) {
    if (text.size() < width)
        text.insert(text[0] == '-' ? 1 : 0, width - text.size(), '0');
    return text;
}

std::string Compact(int h, int m, double s) {
    const std::string hours = std::to_string(h) + "h";
    const std::string minutes = std::to_string(m) + "m";
    const std::string seconds = PrintG(s) + "s";
    if (h > 0) {
        if (m > 0 && s > 0)
            return hours + minutes + seconds;
        if (m == 0 && s > 0)
            return hours + seconds;
        return hours + minutes;
    }
    if (m > 0 && s > 0)
        return minutes + seconds;
    if (m == 0 && s > 0)
        return seconds;
    return minutes;
}

std::string Clock(int h, int m, double s) {
    if (h == 0 && m == 0)
        return Fixed3(s) + "s";
    const std::string tail = ZeroPad(std::to_string(m), 2) + "m" + ZeroPad(Fixed3(s), 6) + "s";
    return h == 0 ? tail : std::to_string(h) + "h" + tail;
}

// Typed-in numbers are read the way they are written, with a decimal point,
// whatever the user's locale says.
locale_t NumberLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

// atof and atol of a token, without their undefined results out of range.
double Real(const std::string& token) {
    return strtod_l(token.c_str(), nullptr, NumberLocale());
}
long long Integer(const std::string& token) {
    return strtoll_l(token.c_str(), nullptr, 10, NumberLocale());
}

// A product truncated toward zero; a NaN (from a "nan" token or a NaN rate)
// counts nothing.
int64_t Truncated(double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int64_t>(
        std::clamp(v, static_cast<double>(kInt32Min), static_cast<double>(kInt32Max)));
}

int64_t ClampToInt32(int64_t v) {
    return std::clamp(v, kInt32Min, kInt32Max);
}

} // namespace

std::string FormatSeconds(double t, int mode) {
    // NaN and infinities are written as 0; finite times beyond the hour
    // field's range are clamped to it.
    t = std::isfinite(t) ? std::clamp(t, -kMaxSeconds, kMaxSeconds) : 0.0;
    const int h = static_cast<int>(std::trunc(t * (1.0 / 3600.0)));
    const double r = t - 3600.0 * h;
    const int m = static_cast<int>(std::trunc(r / 60.0));
    const double s = r - 60.0 * m;
    return mode == 0 ? Compact(h, m, s) : Clock(h, m, s);
}

std::string FormatFrames(int32_t n, float sr, int mode) {
    // Without a rate there is no time; it is written as 0 like other non-finite times.
    const long double t = sr != 0 ? static_cast<long double>(n) / sr : 0.0L;
    return FormatSeconds(static_cast<double>(t), mode);
}

int32_t ParseTimeText(const std::string& text, float sr) {
    int64_t sum = 0;
    std::string token;
    for (char c : text) {
        switch (c) {
        case 'h':
        case 'H':
            sum += Truncated(Real(token) * sr * 3600.0);
            break;
        case 'm':
        case 'M':
            sum += Truncated(Real(token) * sr * 60.0);
            break;
        case 's':
        case 'S':
            sum += Truncated(Real(token) * sr);
            break;
        case 'f':
        case 'F':
            sum += ClampToInt32(Integer(token));
            break;
        default:
            if (token.size() < kLongestTimeToken)
                token += c;
            continue;
        }
        token.clear();
    }
    sum += ClampToInt32(Integer(token));
    return static_cast<int32_t>(ClampToInt32(sum));
}

std::string ShortPathText(const std::string& path, int keep) {
    const size_t kept = static_cast<size_t>(std::max(keep, 0));
    if (path.size() <= kept)
        return path;
    size_t start = path.size() - kept;
    // A tail that began inside a multi-byte character would not be valid UTF-8.
    while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80)
        ++start;
    return (path[0] == '/' ? "/..." : "...") + path.substr(start);
}
