// The bounds of the sonagram's level curve.
#include "sonagram/SonRecords.h"

#include <gtest/gtest.h>

namespace {

SonLevels Bounds(std::vector<float> values) {
    SonLevels levels;
    levels.values = std::move(values);
    SetLevelBounds(levels);
    return levels;
}

} // namespace

TEST(SonLevelBounds, CurveBoundsAreItsExtremes) {
    const SonLevels l = Bounds({30.5f, -2.0f, 55.25f, 7.0f});
    EXPECT_EQ(l.minimum, -2.0f);
    EXPECT_EQ(l.maximum, 55.25f);
}

TEST(SonLevelBounds, FlatCurvesAreWidenedAroundTheirLevel) {
    const SonLevels loud = Bounds({40.0f, 40.0f, 40.0f});
    EXPECT_FLOAT_EQ(loud.minimum, 39.6f);
    EXPECT_FLOAT_EQ(loud.maximum, 40.4f);

    // Below 0 dB, silence among them, the span keeps its order.
    const SonLevels silent = Bounds({-200.0f, -200.0f});
    EXPECT_FLOAT_EQ(silent.minimum, -202.0f);
    EXPECT_FLOAT_EQ(silent.maximum, -198.0f);

    const SonLevels zero = Bounds({0.0f, 0.0f});
    EXPECT_EQ(zero.minimum, -1.0f);
    EXPECT_EQ(zero.maximum, 1.0f);

    const SonLevels single = Bounds({12.0f});
    EXPECT_FLOAT_EQ(single.minimum, 11.88f);
    EXPECT_FLOAT_EQ(single.maximum, 12.12f);

    const SonLevels none = Bounds({});
    EXPECT_EQ(none.minimum, -1.0f);
    EXPECT_EQ(none.maximum, 1.0f);
}
