#include "sonagram/SonagramDisplay.h"

#include "drawing/ScaleMath.h"

#include <algorithm>
#include <cmath>

double SonSecondsOfPixel(const TimePlot& axis, double rate, int x) {
    const double start = axis.start / rate;
    if (axis.width <= 0)
        return start;
    return start + (x - axis.left) * (axis.length / (rate * axis.width));
}

int SonColumnOfFrame(uint32_t start, uint32_t length, int count, int64_t frame) {
    if (length == 0 || count <= 0)
        return 0;
    const double column = std::trunc(double(frame - int64_t(start)) * count / length);
    return int(std::clamp(column, 0.0, double(count - 1)));
}

int LevelColumnOfPixel(int left, int width, int count, int x) {
    if (width <= 0 || count <= 0)
        return 0;
    const double column = std::trunc(double(x - left) * count / width + 0.5);
    return int(std::clamp(column, 0.0, double(count - 1)));
}

int LevelPixelOfColumn(int left, int width, int count, int column) {
    if (count <= 0)
        return left;
    return TruncatedHeld(double(width) / count * column + 0.5) + left;
}

double LevelSecondsOfColumn(uint32_t start, uint32_t length, double rate, int count, int column) {
    if (count <= 0)
        return start / rate;
    return start / rate + double(length) * column / (rate * count);
}
