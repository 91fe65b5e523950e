// The range a sonagram analyses and the level curve it leaves for the level
// pane under the image.
#pragma once

#include <cstdint>
#include <vector>

// Frames of the head's file. An end at or before the start leaves length 0,
// an empty range, rather than a count wrapped round the 32-bit range.
struct SonRange {
    uint32_t start = 0;
    uint32_t end = 0;
    uint32_t length = 0;
    int32_t channel = 0;
};

// One level in dB per image column, and the display state of the level pane.
// The bounds start as -1 .. 1 so that an axis drawn before any computation
// still has an extent.
struct SonLevels {
    int32_t cursorX = 0;
    int32_t cursorColumn = 0;
    float minimum = -1.0f;
    float maximum = 1.0f;
    std::vector<float> values; // its size is the image width W
    int32_t cursorShown = 0;
};

// Sets the bounds to the smallest and largest value. A flat curve is widened
// by 1 % of its level on either side, so that its axis has an extent: a level
// v above 0 dB gets 0.99 v .. 1.01 v, one below 0 dB (silence included) the
// same span mirrored, and 0 dB, or a curve without values, -1 .. 1.
void SetLevelBounds(SonLevels& levels);
