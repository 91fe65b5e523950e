#include "soundfile/OverviewTable.h"

#include "soundfile/SfInfo.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// The first frame of step k of steps over the file, as the overview reads it.
uint64_t StepStart(const SfInfo& info, int k, int steps) {
    const uint64_t perStep = uint64_t(info.frames) / uint64_t(steps);
    return perStep == 0 ? uint64_t(k) * info.frames / uint64_t(steps) : uint64_t(k) * perStep;
}

// The level of two blocks of equal length from their levels in dB.
double PowerMeanDb(double a, double b) {
    const double top = std::max(a, b);
    return top +
           10.0 * std::log10((std::pow(10.0, (a - top) / 10.0) + std::pow(10.0, (b - top) / 10.0)) /
                             2.0);
}

} // namespace

DataTable OverviewTable(const SfInfo& info, int width) {
    DataTable table;
    table.file = info.path;
    table.params = {{"rate_hz", std::to_string(info.rate)},
                    {"channels", std::to_string(info.channels)},
                    {"width", std::to_string(width)},
                    {"method", std::to_string(info.overviewMethod)}};
    table.columns = {"channel", "column", "time_s", "min", "max", "level_db"};
    const int channels = info.channels;
    const size_t a = 2 * size_t(std::max(width, 0));
    if (width < 1 || channels < 1 || info.rate <= 0 ||
        info.overview.size() != 2 * a * size_t(channels))
        return table;
    const float* levels = info.overview.data() + size_t(channels) * a;
    // Pairs are (minimum, maximum) for 1-byte samples, (maximum, minimum) else.
    const bool minFirst = info.bytesPerSample == 1;
    for (int c = 0; c < channels; ++c) {
        const float* pairs = info.overview.data() + size_t(c) * a;
        const float* level = levels + size_t(c) * a;
        for (int k = 0; k < width; ++k) {
            const float first = pairs[2 * size_t(k)];
            const float second = pairs[2 * size_t(k) + 1];
            table.rows.push_back(
                {std::to_string(c), std::to_string(k),
                 TableNumber(double(StepStart(info, k, width)) / info.rate),
                 TableNumber(minFirst ? first : second), TableNumber(minFirst ? second : first),
                 TableNumber(PowerMeanDb(level[2 * size_t(k)], level[2 * size_t(k) + 1]))});
        }
    }
    return table;
}
