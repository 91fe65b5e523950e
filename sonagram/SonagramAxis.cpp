#include "sonagram/SonagramAxis.h"

#include "soundfile/FftSettings.h"

#include <algorithm>
#include <cmath>

FrequencyAxis SonFrequencyAxis(const FftSettings& param, double rate) {
    const int kind =
        param.FreqAxis >= kAxisLinear && param.FreqAxis <= kAxisNote ? param.FreqAxis : kAxisLinear;
    return FrequencyAxis::ForBand(FreqAxisKind(kind), param.Fmin, param.Fmax, rate, param.Lfft);
}

std::vector<int> BinsOfRows(const FrequencyAxis& axis, int height, double binHz) {
    std::vector<int> bins(static_cast<std::size_t>(std::max(height, 0)));
    for (int y = 0; y < height; ++y) {
        if (axis.Kind() == FreqAxisKind::Linear || !(binHz > 0.0)) {
            bins[std::size_t(y)] = height - 1 - y;
            continue;
        }
        const double hz = axis.HzAt((height - 1 - y + 0.5) / height);
        const double bin = std::floor(hz / binHz);
        bins[std::size_t(y)] = int(std::clamp(bin, 0.0, double(height - 1)));
    }
    return bins;
}

double HzOfPixelRow(const FrequencyAxis& axis, int top, int bottom, int y) {
    const int span = bottom - top;
    if (span <= 0)
        return axis.Low();
    return axis.HzAt((bottom - y - 0.5) / span);
}

int PixelRowOfHz(const FrequencyAxis& axis, int top, int bottom, double hz) {
    return int(std::floor(bottom - axis.Position(hz) * (bottom - top)));
}
