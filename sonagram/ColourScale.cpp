#include "sonagram/ColourScale.h"

#include "spectrum/Decibels.h"

#include <limits>

// A range of 0 dB or less has no level above its floor: every cell is
// background, and the range is never divided by.
ColourScale::ColourScale(float dBMax, int range)
    : floor_(range > 0 ? static_cast<double>(dBMax) - range
                       : std::numeric_limits<double>::infinity()),
      range_(range) {}

uint8_t ColourScale::Index(float level) const {
    // Silence sits on the dB floor of the spectra; painting it would turn a
    // silent range, whose loudest cell is that floor, all black.
    if (!(level > floor_) || level <= kSilenceDb)
        return 0;
    const double index = (level - floor_) * 256.0 / range_;
    // The loudest cell itself reaches 256, one past the end of the ramp.
    return index >= 255.0 ? 255 : static_cast<uint8_t>(index);
}
