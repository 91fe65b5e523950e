// What the views of an FFT or sonagram item show of it: the cursor, the
// marker, the view's flags and the selection box. Kept with the item so that
// every view of it, and items inserted under it, see the same state.
#pragma once

#include <cstdint>

struct FftViewState {
    int32_t cursorX = 28; // 28, the left plot margin, means no cursor is shown
    int32_t markerY = 0;
    int32_t cursorFrame = 0;
    int32_t cursorBin = 0;
    uint32_t viewFlags = 0;
    float boxFreqLow = 0.0f; // selection box, Hz
    float boxFreqHigh = 0.0f;
    float boxLevelLow = 0.0f;
    float boxLevelHigh = 0.0f;
};
