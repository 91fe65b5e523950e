#include "sonagram/GreyPalette.h"

namespace {

ColourTable GreyRamp() {
    ColourTable table;
    for (int j = 0; j < 256; ++j) {
        const uint8_t grey = static_cast<uint8_t>(j);
        table[j] = PaletteColour{grey, grey, grey};
    }
    return table;
}

int SquaredDistance(const PaletteColour& colour, int grey) {
    const int r = colour.red - grey;
    const int g = colour.green - grey;
    const int b = colour.blue - grey;
    return r * r + g * g + b * b;
}

} // namespace

const ColourTable& SonagramColourTable() {
    static const ColourTable table = GreyRamp();
    return table;
}

GreyLookup BuildGreyLookup(const ColourTable& table) {
    GreyLookup lookup;
    for (int k = 0; k < 256; ++k) {
        const int grey = 255 - k;
        int nearest = 0;
        for (int j = 1; j < 256; ++j) {
            if (SquaredDistance(table[j], grey) < SquaredDistance(table[nearest], grey))
                nearest = j;
        }
        lookup[k] = static_cast<uint8_t>(nearest);
    }
    return lookup;
}

std::vector<uint8_t> ImageBytes(const SonagramCells& cells, const ColourTable& table) {
    const GreyLookup lookup = BuildGreyLookup(table);
    std::vector<uint8_t> bytes(cells.index.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = lookup[cells.index[i]];
    return bytes;
}
