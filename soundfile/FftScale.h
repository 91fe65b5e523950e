// The scale flags of spectrum items and of the settings they start from, kept
// apart from the item so that the display arithmetic of the spectrum window
// can use them without the item.
#pragma once

#include <cstdint>

// Bits of the scale flags XScale and YScale.
enum FftScaleFlags : uint32_t {
    kScaleLin = 1,
    kScaleLog = 2, // YScale: levels in dB
    kScaleBark = 4,
    kScaleAuto = 16, // XScale: the whole band from 0 Hz; YScale: levels from the data
};

// Bit of FftViewState::viewFlags set while the spectrum view holds a selection box.
inline constexpr uint32_t kFftBoxDefined = 0x400;
