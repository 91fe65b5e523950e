// How a cell level in dB becomes a colour index of the sonagram's grey ramp.
#pragma once

#include <cstdint>

// The top range dB below the loudest cell are spread evenly over the indices
// 0 .. 255 (255 the loudest); everything range dB or more below it, and every
// cell of digital silence, is the background, index 0.
class ColourScale {
public:
    ColourScale(float dBMax, int range);

    uint8_t Index(float level) const;

private:
    double floor_;
    double range_;
};
