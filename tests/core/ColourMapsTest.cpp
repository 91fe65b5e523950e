// The sonagram's colour maps against their published tables, and the lookup
// that takes colour indices to palette entries for every map.
#include "sonagram/ColourMaps.h"
#include "soundfile/FftSettings.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// First, middle (128) and last entries as published, in [0, 1].
struct Published {
    int32_t map;
    double rgb[3][3];
};

const Published kPublished[] = {
    {kMapViridis,
     {{0.267004, 0.004874, 0.329415},
      {0.127568, 0.566949, 0.550556},
      {0.993248, 0.906157, 0.143936}}},
    {kMapMagma,
     {{0.001462, 0.000466, 0.013866},
      {0.716387, 0.214982, 0.475290},
      {0.987053, 0.991438, 0.749504}}},
    {kMapInferno,
     {{0.001462, 0.000466, 0.013866},
      {0.735683, 0.215906, 0.330245},
      {0.988362, 0.998364, 0.644924}}},
    {kMapCividis,
     {{0.000000, 0.135112, 0.304751},
      {0.488697, 0.485318, 0.471008},
      {0.995737, 0.909344, 0.217772}}},
};

uint8_t Eight(double v) {
    return uint8_t(std::lround(v * 255));
}

} // namespace

TEST(ColourMaps, TablesHoldThePublishedFirstMiddleAndLastEntries) {
    for (const Published& p : kPublished) {
        const ColourTable& table = ColourMapPalette(p.map);
        const int entries[] = {0, 128, 255};
        for (int i = 0; i < 3; ++i) {
            const PaletteColour& c = table[size_t(entries[i])];
            EXPECT_EQ(c.red, Eight(p.rgb[i][0])) << ColourMapName(p.map) << " " << entries[i];
            EXPECT_EQ(c.green, Eight(p.rgb[i][1])) << ColourMapName(p.map) << " " << entries[i];
            EXPECT_EQ(c.blue, Eight(p.rgb[i][2])) << ColourMapName(p.map) << " " << entries[i];
        }
    }
    // viridis runs from #440154 to #fde725.
    EXPECT_EQ(ColourMapPalette(kMapViridis)[0].red, 0x44);
    EXPECT_EQ(ColourMapPalette(kMapViridis)[255].green, 0xe7);
}

TEST(ColourMaps, EveryIndexFindsItsColourInThePalette) {
    // The stated grey ramp keeps its lookup: white background, black loudest.
    const GreyLookup grey = BuildColourLookup(kMapGrey);
    EXPECT_EQ(grey, BuildGreyLookup(SonagramColourTable()));
    EXPECT_EQ(grey[0], 255);
    EXPECT_EQ(grey[255], 0);
    // Reversed: black background, white loudest; the colour maps from their
    // darkest entry up, each index its own entry.
    for (int32_t map : {kMapGreyReversed, kMapViridis, kMapMagma, kMapInferno, kMapCividis}) {
        const GreyLookup lookup = BuildColourLookup(map);
        for (int k = 0; k < 256; ++k) {
            const PaletteColour want = ColourOfIndex(map, k);
            const PaletteColour got = ColourMapPalette(map)[lookup[size_t(k)]];
            EXPECT_TRUE(want.red == got.red && want.green == got.green && want.blue == got.blue)
                << ColourMapName(map) << " " << k;
        }
    }
    EXPECT_EQ(BuildColourLookup(kMapGreyReversed)[0], 0);
    EXPECT_EQ(BuildColourLookup(kMapGreyReversed)[255], 255);
}

TEST(ColourMaps, NamesLeadBackToTheirMaps) {
    for (int32_t map = 0; map < kColourMapCount; ++map)
        EXPECT_EQ(ColourMapOfName(ColourMapName(map)), map);
    EXPECT_EQ(ColourMapOfName("jet"), std::nullopt);
    EXPECT_STREQ(ColourMapName(99), "grey");
}

TEST(ColourMaps, ImageBytesFollowTheMapOfEachCell) {
    SonagramCells cells{3, 1, {0, 128, 255}, {}, {}};
    EXPECT_EQ(ColourImageBytes(cells, kMapGrey), (std::vector<uint8_t>{255, 127, 0}));
    EXPECT_EQ(ColourImageBytes(cells, kMapInferno), (std::vector<uint8_t>{0, 128, 255}));
}
