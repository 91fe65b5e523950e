// The colour table of the 8-bit sonagram image and the grey lookup table that
// turns colour indices into entries of it.
#pragma once

#include "sonagram/SonagramCells.h"

#include <array>
#include <cstdint>
#include <vector>

struct PaletteColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

using ColourTable = std::array<PaletteColour, 256>;
using GreyLookup = std::array<uint8_t, 256>;

// The table the sonagram image is drawn with: the grey ramp, entry j the grey
// RGB(j, j, j), black first.
const ColourTable& SonagramColourTable();

// Entry k is the table entry nearest to the grey 255 - k: entry 0 the
// background white, entry 255 black. Nearest means the smallest distance in
// RGB space, the first entry among equals. Neighbouring greys that a table
// cannot tell apart share an entry.
GreyLookup BuildGreyLookup(const ColourTable& table);

// The bytes of the 8-bit image, one table entry per cell in the order of the
// cells, with the lookup table built afresh from table.
std::vector<uint8_t> ImageBytes(const SonagramCells& cells, const ColourTable& table);
