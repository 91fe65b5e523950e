// Cell levels to colour indices: the top Range dB below the loudest cell
// spread over the ramp, everything else background.
#include "sonagram/ColourScale.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(ColourScale, SpreadsTheTopRangeOverTheRamp) {
    // dBMax 100, Range 64: the floor is 36 dB and each index spans 1/4 dB.
    const ColourScale scale(100.0f, 64);
    EXPECT_EQ(scale.Index(36.0f), 0);   // at the floor: background
    EXPECT_EQ(scale.Index(36.2f), 0);   // above it by less than one step
    EXPECT_EQ(scale.Index(36.25f), 1);  // one step
    EXPECT_EQ(scale.Index(37.0f), 4);   // 1 dB: four steps
    EXPECT_EQ(scale.Index(68.0f), 128); // half the range
    EXPECT_EQ(scale.Index(99.7f), 254);
    EXPECT_EQ(scale.Index(99.75f), 255);
    EXPECT_EQ(scale.Index(100.0f), 255); // the loudest cell, 256 on the ramp
    EXPECT_EQ(scale.Index(20.0f), 0);    // below the floor
    EXPECT_EQ(scale.Index(-1000.0f), 0);
    EXPECT_EQ(scale.Index(std::nanf("")), 0);
}

TEST(ColourScale, FloorIsNotTruncated) {
    // dBMax 50.5, Range 70: the floor is -19.5 dB, not the truncated -19.
    const ColourScale scale(50.5f, 70);
    EXPECT_EQ(scale.Index(-19.4f), 0); // 0.1 dB above: 0.37 of a step
    EXPECT_EQ(scale.Index(-19.0f), 1); // 0.5 dB above: 1.83 steps
    EXPECT_EQ(scale.Index(15.5f), 128);
}

TEST(ColourScale, SilenceAndRangesWithoutExtentAreBackground) {
    // A silent range has every cell on the dB floor; with dBMax there too,
    // each cell would otherwise be the loudest, black.
    const ColourScale silent(-200.0f, 70);
    EXPECT_EQ(silent.Index(-200.0f), 0);
    // Quiet sound just above the floor is still drawn.
    const ColourScale quiet(-190.0f, 70);
    EXPECT_EQ(quiet.Index(-200.0f), 0);
    EXPECT_EQ(quiet.Index(-190.0f), 255);

    for (int range : {0, -10}) {
        const ColourScale none(80.0f, range);
        EXPECT_EQ(none.Index(80.0f), 0) << range;
        EXPECT_EQ(none.Index(500.0f), 0) << range;
        EXPECT_EQ(none.Index(0.0f), 0) << range;
    }
}
