#include "spectrum/LevelReference.h"

#include "soundfile/SfInfo.h"
#include "spectrum/Decibels.h"

#include <algorithm>
#include <cmath>

double FullScale(const SfInfo& info) {
    if (info.flags & kSfIeeeFloat)
        return std::ldexp(1.0, 31);
    const int bytes =
        info.bytesPerSample >= 1 && info.bytesPerSample <= 4 ? info.bytesPerSample : 2;
    return std::ldexp(1.0, 8 * bytes - 1);
}

double SpectrumFullScaleDb(const SfInfo& info, const float* window, int count) {
    double sum = 0.0;
    for (int i = 0; i < count; ++i)
        sum += window[i];
    return sum > 0.0 ? 20.0 * std::log10(FullScale(info) * sum / 2.0) : 0.0;
}

double LevelFullScaleDb(const SfInfo& info) {
    return 20.0 * std::log10(FullScale(info));
}

void ApplyLevelReference(float* levels, int count, bool decibels, double offsetDb) {
    if (decibels) {
        for (int i = 0; i < count; ++i)
            if (levels[i] > kSilenceDb)
                levels[i] = float(std::max(double(kSilenceDb), double(levels[i]) - offsetDb));
        return;
    }
    const double scale = std::pow(10.0, -offsetDb / 20.0);
    for (int i = 0; i < count; ++i)
        levels[i] = float(double(levels[i]) * scale);
}
