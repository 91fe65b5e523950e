// Levels in dB are 10 log10 of a raw power or mean square in squared sample
// units, with no reference level.
#pragma once

#include <algorithm>
#include <cmath>

// The level given to digital silence, whose power has no finite logarithm, and
// to anything quieter. Samples are unscaled, so one least significant bit at
// full window weight is already near 0 dB and the bins of real sound lie well
// above it; 200 dB below that there is only float rounding residue or a lone
// bit under the far tail of a window. A round figure reads plainly in the info
// text and the data log, and an auto-scaled level axis then spans a few hundred
// dB rather than reaching down to the -379 dB of the smallest normal float.
inline constexpr float kSilenceDb = -200.0f;

// 10 / ln 10. Per bin the natural logarithm of a float is markedly faster than
// log10 and loses nothing that float storage keeps.
inline constexpr float kDbPerLn = 4.342944819032518f;

// A power of 0 takes the logarithm's -inf, which the floor catches.
inline float PowerToDb(float power) {
    return std::max(kSilenceDb, kDbPerLn * std::log(power));
}

inline double PowerToDb(double power) {
    return std::max(static_cast<double>(kSilenceDb), 10.0 * std::log10(power));
}
