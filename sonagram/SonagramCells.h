// The cells of a sonagram as colour indices of its colour map, with the
// levels they were coloured from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// W columns (analysis frames, first frame leftmost) by H rows, stored row by
// row. Row 0 is the top of the image, the highest frequency; the bottom row
// is the lowest. On the stated linear axis row y shows bin H - 1 - y; on the
// other axes rowBin names the bin each row shows. Index 0 is the background,
// 255 the loudest.
struct SonagramCells {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> index;
    // The level in dB, in the item's level reference, of every bin of every
    // column: column by column, H bins each, bin 0 first. Empty where only
    // the indices are known.
    std::vector<float> binLevels;
    // The bin shown in each row, top row first.
    std::vector<int> rowBin;

    uint8_t At(int column, int row) const {
        return index[static_cast<std::size_t>(row) * width + column];
    }
    bool HasLevels() const {
        return binLevels.size() == static_cast<std::size_t>(width) * height &&
               rowBin.size() == static_cast<std::size_t>(height);
    }
    // The level of the cell in column and row; HasLevels must hold.
    float LevelAt(int column, int row) const {
        return binLevels[static_cast<std::size_t>(column) * height + rowBin[row]];
    }
};
