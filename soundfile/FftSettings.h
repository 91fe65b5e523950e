// The analysis parameters of FFT and sonagram items: what the Analysis options
// edit and the application settings keep as the defaults new items start from.
#pragma once

#include <cstdint>

struct FftSettings {
    int32_t Lfft = 0;  // transform length in frames, a power of two
    int32_t Shift = 0; // hop between averaged frames, in frames
    int32_t IWin = 0;  // window type; anything outside 1 .. 5 is the rectangle
    int32_t Lwdw = 0;  // window length in frames, at most Lfft
    int32_t Floor = 70;
    int32_t Range = 70;
    float Fmin = 0.0f;      // Hz
    float Fmax = 8000.0f;   // Hz
    double CepFreq = 500.0; // cepstrum cut-off, Hz
    // What levels in dB are relative to; the analyses' own unit by default.
    int32_t LevelRef = 0; // kLevelRefLsb or kLevelRefFullScale
    // How the spectra of a range are averaged in dB: the mean of their dB
    // values (by default), or the dB of their mean power.
    int32_t Average = 0; // kAverageDecibels or kAveragePower
};

// 10 log10 of the power in squared sample values: one least significant bit.
constexpr int32_t kLevelRefLsb = 0;
// Relative to digital full scale: a full-scale sine on a bin reads 0 dBFS in a
// spectrum, and -3.01 dBFS as a level (its RMS).
constexpr int32_t kLevelRefFullScale = 1;

constexpr int32_t kAverageDecibels = 0;
constexpr int32_t kAveragePower = 1;
