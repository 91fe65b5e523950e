// The analysis parameter record of FFT and sonagram items, and of the two
// default records kept by the application settings. Display state lives here
// too because the views of an item keep it with the item's parameters.
#pragma once

#include "soundfile/FloatArray.h"

#include <cstdint>

struct SfFftParam {
    int32_t Lfft = 0;  // transform length in frames, a power of two
    int32_t Shift = 0; // hop between averaged frames, in frames
    // After a spectrum computation: the Lfft/2 levels of bins 0 .. Lfft/2 - 1,
    // bin i at i x sampleRate / Lfft Hz. Empty before, and in the settings.
    FloatArray spectrum;
    // After a spectrum computation: the analysed frame as read, or a min/max
    // envelope of the task (pairs of minimum and maximum) for the waveform
    // pane; its size is the number of values it holds.
    FloatArray samples;
    int32_t IWin = 0; // window type; anything outside 1 .. 5 is the rectangle
    int32_t Lwdw = 0; // window length in frames, at most Lfft
    // True: the spectrum computation fills the three arrays of this record.
    // False: they are a zoomed item's share of its parent's arrays, which it
    // shows and never computes.
    bool ownsArrays = true;
    int32_t Floor = 70;
    int32_t Range = 70;
    float Fmin = 0.0f;    // Hz
    float Fmax = 8000.0f; // Hz
    float dBMax = 0.0f;   // largest sonagram cell level
    uint32_t start = 0;   // first frame of the analysed task
    uint32_t end = 0;     // equal to start for a single instant
    int32_t channel = 0;
    int32_t cursorX = 28; // 28, the left plot margin, means no cursor is shown
    int32_t markerY = 0;
    int32_t cursorFrame = 0;
    int32_t cursorBin = 0;
    uint32_t viewFlags = 0;
    float boxFreqLow = 0.0f; // selection box, Hz
    float boxFreqHigh = 0.0f;
    float boxLevelLow = 0.0f;
    float boxLevelHigh = 0.0f;
    // The cepstrally smoothed spectrum, Lfft/2 levels; computed only for the
    // CepSmooth method.
    FloatArray smoothed;
    double CepFreq = 500.0; // cepstrum cut-off, Hz
};
