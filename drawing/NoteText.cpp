#include "drawing/NoteText.h"

#include "drawing/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

constexpr std::array<const char*, 12> kUsNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                  "F#", "G",  "G#", "A",  "Bb", "B"};
constexpr std::array<const char*, 12> kGermanNames = {"C",  "C#", "D",  "D#", "E", "F",
                                                      "F#", "G",  "G#", "A",  "B", "H"};

// printf's "%+.2g", written without the locale so that a decimal comma never
// reaches the info text or the data log.
std::string SignedCents(double d) {
    const std::string text = NumberText(d, std::chars_format::general, 2);
    return text[0] == '-' ? text : "+" + text;
}

} // namespace

std::string NoteText(double f, double a, int notation) {
    if (!(f > 0) || !(a > 0) || !std::isfinite(f) || !std::isfinite(a))
        return {};
    // Cents on a scale with C of octave 0 at 1200 and the reference A at
    // 12 x 1200 + 900.
    const double c = 15300.0 + 1200.0 * std::log2(f / a);
    if (!std::isfinite(c))
        return {};
    // The +50 counts a note just below a C in the octave of that C.
    const double o = std::trunc((c + 50.0) / 1200.0);
    if (o <= 0)
        return {};
    const double n = std::floor(c / 100.0 + 0.5);
    const double d = c - 100.0 * n;
    const auto& names = notation == 0 ? kUsNames : kGermanNames;
    const int octave = static_cast<int>(o) - (notation == 0 ? 8 : 11);
    return names[static_cast<size_t>(std::fmod(n, 12.0))] + std::to_string(octave) +
           SignedCents(d) + "Cent";
}
