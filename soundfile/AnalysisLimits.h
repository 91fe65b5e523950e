// The values an analysis parameter may take, wherever it is typed: the
// options sheet, the settings file and the command line.
#pragma once

#include <cstdint>

// Window types: 0 the rectangle, 1 .. 5 the shaped windows.
constexpr int32_t kFirstWindow = 0;
constexpr int32_t kLastWindow = 5;

// The transform lengths the parameter pages offer: powers of two from 16 to
// 1048576.
constexpr int64_t kLongestOfferedFft = 1048576;
inline bool IsOfferedFftLength(int64_t n) {
    return n >= 16 && n <= kLongestOfferedFft && (n & (n - 1)) == 0;
}

// No sound file holds frequencies above this (a rate of 2 MHz), and no note
// name is read for one.
constexpr double kHighestFrequency = 1.0e6;
// A cepstrum cut-off below 1 Hz would keep a lifter longer than any frame.
constexpr double kLowestCepFreq = 1.0;

// The pitch of the note A that note names are reckoned from: concert pitches
// in use lie near 415 to 466 Hz; anything from 100 to 1000 Hz is accepted.
constexpr double kDefaultReferencePitch = 440.0;
inline bool ValidReferencePitch(double hz) {
    return hz >= 100.0 && hz <= 1000.0;
}

// Notation 0 names notes the US way, 1 the German way.
inline bool ValidNotation(int32_t notation) {
    return notation == 0 || notation == 1;
}
