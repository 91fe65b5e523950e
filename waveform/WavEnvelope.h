// What a waveform window shows: a fixed range of one channel and the display
// values computed from it.
#pragma once

#include <cstdint>
#include <vector>

struct SfInfo;

// The frames a waveform window shows; fixed when its item is made.
struct WavRange {
    uint32_t start = 0;  // first frame
    uint32_t end = 0;    // end frame
    uint32_t length = 0; // end - start frames
    int32_t channel = 0; // 0 for the first
};

// The display values of a waveform window and the amplitude span its axis
// shows. Empty, with both bounds 0, until it is built.
struct WavEnvelope {
    // The samples themselves when the range has fewer frames than twice the
    // screen width, else (minimum, maximum) pairs over equal chunks of it.
    std::vector<float> values;
    float lower = 0.0f;
    float upper = 0.0f;
};

// The envelope of range at the given screen width: at most 2 x screenWidth
// values, and bounds 10 % beyond the largest absolute value on both sides of
// zero, so that the curve never touches the frame. A screen width below 1
// counts as 1. Returns an empty envelope when there is no memory for the
// values.
WavEnvelope BuildEnvelope(const SfInfo& info, const WavRange& range, int screenWidth);
