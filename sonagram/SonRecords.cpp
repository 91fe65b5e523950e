#include "sonagram/SonRecords.h"

#include "drawing/ScaleMath.h"

void SetLevelBounds(SonLevels& levels) {
    float lowest = 0.0f;
    float highest = 0.0f;
    const bool flat =
        MinMax(levels.values.data(), static_cast<int>(levels.values.size()), &lowest, &highest);
    if (!flat) {
        levels.minimum = lowest;
        levels.maximum = highest;
    } else if (lowest > 0.0f) {
        levels.minimum = lowest * 0.99f;
        levels.maximum = highest * 1.01f;
    } else if (lowest < 0.0f) {
        levels.minimum = lowest * 1.01f;
        levels.maximum = highest * 0.99f;
    } else {
        levels.minimum = -1.0f;
        levels.maximum = 1.0f;
    }
}
