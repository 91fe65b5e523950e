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
};
