#include "spectrum/ZeroCrossings.h"

bool IsUpwardCrossing(const float* values, int count, int i) {
    return i >= 0 && i < count - 1 && values[i] <= 0 && values[i + 1] > 0;
}

double CrossingPosition(const float* values, int count, int i) {
    if (!IsUpwardCrossing(values, count, i))
        return i;
    // The difference is positive here: values[i] <= 0 < values[i + 1].
    return i - values[i] / (static_cast<double>(values[i + 1]) - values[i]);
}

int NextCrossing(const float* values, int count, int a) {
    for (int i = a + 1; i <= count - 2; ++i)
        if (IsUpwardCrossing(values, count, i))
            return i;
    return a;
}

int PreviousCrossing(const float* values, int count, int a) {
    if (a < 2)
        return a;
    for (int i = a - 1; i >= 1; --i)
        if (IsUpwardCrossing(values, count, i))
            return i;
    return a;
}

std::optional<double> MeanPeriod(const float* values, int count) {
    double first = 0.0;
    double last = 0.0;
    int crossings = 0;
    for (int i = 0; i <= count - 2; ++i) {
        if (!IsUpwardCrossing(values, count, i))
            continue;
        last = CrossingPosition(values, count, i);
        if (crossings++ == 0)
            first = last;
    }
    if (crossings < 2)
        return std::nullopt;
    return (last - first) / (crossings - 1);
}

double CrossingDistance(const float* values, int count, int m, int c) {
    return CrossingPosition(values, count, c) - CrossingPosition(values, count, m);
}
