// The analysis record of an FFT or sonagram item: the parameters it started
// from, the task it analyses, the arrays its analysis fills and the state its
// views keep.
#pragma once

#include "soundfile/FftResults.h"
#include "soundfile/FftSettings.h"
#include "soundfile/FftViewState.h"

#include <cstdint>

struct SfFftParam : FftSettings {
    SfFftParam() = default;
    explicit SfFftParam(const FftSettings& settings) : FftSettings(settings) {}

    uint32_t start = 0; // first frame of the analysed task
    uint32_t end = 0;   // equal to start for a single instant
    int32_t channel = 0;
    FftResults results;
    FftViewState view;
};
