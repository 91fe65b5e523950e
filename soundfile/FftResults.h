// The arrays an analysis of an FFT or sonagram item fills.
#pragma once

#include "soundfile/FloatArray.h"

struct FftResults {
    // After a spectrum computation: the Lfft/2 levels of bins 0 .. Lfft/2 - 1,
    // bin i at i x sampleRate / Lfft Hz. Empty before.
    FloatArray spectrum;
    // After a spectrum computation: the analysed frame as read, or a min/max
    // envelope of the task (pairs of minimum and maximum) for the waveform
    // pane; its size is the number of values it holds.
    FloatArray samples;
    // The cepstrally smoothed spectrum, Lfft/2 levels; computed only for the
    // CepSmooth method.
    FloatArray smoothed;
    // True: the spectrum computation fills the three arrays. False: they are
    // a zoomed item's share of its parent's arrays, which it shows and never
    // computes.
    bool ownsArrays = true;
    float dBMax = 0.0f; // largest sonagram cell level
};
