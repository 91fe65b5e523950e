// The sonagram's colour table, the grey lookup table by nearest entry, and the
// bytes written for the cells.
#include "sonagram/GreyPalette.h"

#include <gtest/gtest.h>

TEST(GreyPalette, ColourTableIsAGreyRamp) {
    const ColourTable& table = SonagramColourTable();
    for (int j = 0; j < 256; ++j) {
        EXPECT_EQ(table[j].red, j);
        EXPECT_EQ(table[j].green, j);
        EXPECT_EQ(table[j].blue, j);
    }
}

TEST(GreyPalette, RampLooksUpEveryGreyExactly) {
    const GreyLookup lookup = BuildGreyLookup(SonagramColourTable());
    EXPECT_EQ(lookup[0], 255); // the background is white
    EXPECT_EQ(lookup[255], 0); // the loudest cells black
    for (int k = 0; k < 256; ++k)
        EXPECT_EQ(lookup[k], 255 - k);
}

TEST(GreyPalette, CoarseTablesShareEntriesBetweenNeighbouringGreys) {
    // Black at entry 3, mid grey 128 at entry 10, white at entry 7, and red
    // everywhere else; red is farther from every grey than the nearest of the
    // three greys ever is.
    ColourTable table;
    table.fill(PaletteColour{255, 0, 0});
    table[3] = PaletteColour{0, 0, 0};
    table[7] = PaletteColour{255, 255, 255};
    table[10] = PaletteColour{128, 128, 128};
    const GreyLookup lookup = BuildGreyLookup(table);
    // Grey 255 - k: 192 and lighter are nearest to white, 65 .. 191 to the mid
    // grey; 64 lies as far from black as from 128, and the first entry wins.
    for (int k = 0; k <= 63; ++k)
        EXPECT_EQ(lookup[k], 7) << k;
    for (int k = 64; k <= 190; ++k)
        EXPECT_EQ(lookup[k], 10) << k;
    for (int k = 191; k <= 255; ++k)
        EXPECT_EQ(lookup[k], 3) << k;

    // A nearly grey colour is taken where it is nearer than any grey.
    table[200] = PaletteColour{60, 60, 70};
    EXPECT_EQ(BuildGreyLookup(table)[255 - 62], 200);
}

TEST(GreyPalette, ImageBytesFollowTheCellsThroughTheLookup) {
    SonagramCells cells{3, 2, {0, 255, 128, 1, 2, 254}, {}, {}};
    EXPECT_EQ(ImageBytes(cells, SonagramColourTable()),
              (std::vector<uint8_t>{255, 0, 127, 254, 253, 1}));

    ColourTable two;
    two.fill(PaletteColour{0, 0, 0});
    two[1] = PaletteColour{255, 255, 255};
    // Indices whose greys are 128 and lighter are white (entry 1), the rest
    // black (entry 0): grey 255 - 127 = 128 is nearer to white.
    EXPECT_EQ(ImageBytes(cells, two), (std::vector<uint8_t>{1, 0, 0, 1, 1, 0}));
}
