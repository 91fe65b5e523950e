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
    // The sonagram's colours, frequency axis and frames, each the stated one
    // by default.
    int32_t ColourMap = 0; // kMapGrey .. kMapGreyReversed
    int32_t FreqAxis = 0;  // kAxisLinear .. kAxisNote
    int32_t Frames = 0;    // kFramesPerColumn or kFramesEveryHop
    int32_t Hop = 0;       // frames between the frames of every-hop; 0: a quarter of Lwdw
};

// 10 log10 of the power in squared sample values: one least significant bit.
constexpr int32_t kLevelRefLsb = 0;
// Relative to digital full scale: a full-scale sine on a bin reads 0 dBFS in a
// spectrum, and -3.01 dBFS as a level (its RMS).
constexpr int32_t kLevelRefFullScale = 1;

constexpr int32_t kAverageDecibels = 0;
constexpr int32_t kAveragePower = 1;

// The sonagram's colour maps: the stated grey ramp (white background, black
// the loudest), four perceptually uniform maps and the grey ramp reversed.
constexpr int32_t kMapGrey = 0;
constexpr int32_t kMapViridis = 1;
constexpr int32_t kMapMagma = 2;
constexpr int32_t kMapInferno = 3;
constexpr int32_t kMapCividis = 4;
constexpr int32_t kMapGreyReversed = 5;

// The sonagram's frequency axes (drawing/FrequencyAxis.h has them as FreqAxisKind).
constexpr int32_t kAxisLinear = 0;
constexpr int32_t kAxisLog = 1;
constexpr int32_t kAxisBark = 2;
constexpr int32_t kAxisNote = 3;

// One analysis frame per image column, or a frame every Hop frames with each
// column the loudest of the frames that fall into it.
constexpr int32_t kFramesPerColumn = 0;
constexpr int32_t kFramesEveryHop = 1;

// The hop of every-hop frames: Hop where set, else a quarter of the window,
// at least one frame.
inline int32_t EveryHopFrames(const FftSettings& settings) {
    if (settings.Hop > 0)
        return settings.Hop;
    return settings.Lwdw / 4 > 0 ? settings.Lwdw / 4 : 1;
}
