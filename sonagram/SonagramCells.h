// The cells of a sonagram as colour indices of the grey ramp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// W columns (analysis frames, first frame leftmost) by H rows (FFT bins),
// stored row by row. Row 0 is the top of the image, the highest bin H - 1;
// the bottom row is bin 0, 0 Hz. Index 0 is the background, 255 the loudest.
struct SonagramCells {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> index;

    uint8_t At(int column, int row) const {
        return index[static_cast<std::size_t>(row) * width + column];
    }
};
