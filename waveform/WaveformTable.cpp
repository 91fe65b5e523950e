#include "waveform/WaveformTable.h"

#include "drawing/NumberText.h"
#include "soundfile/SfInfo.h"

#include <algorithm>
#include <string>

namespace {

std::string G9(double v) {
    return NumberText(v, std::chars_format::general, 9);
}

} // namespace

DataTable WaveformTable(const SfInfo& info, const WavRange& range, const WavEnvelope& envelope,
                        int screenWidth) {
    DataTable table;
    table.file = info.path;
    table.params = {{"rate_hz", std::to_string(info.rate)},
                    {"channel", std::to_string(range.channel)},
                    {"start_frame", std::to_string(range.start)},
                    {"end_frame", std::to_string(range.end)},
                    {"lower", G9(envelope.lower)},
                    {"upper", G9(envelope.upper)}};
    // As the envelope was built: samples below twice the screen width.
    const uint64_t width = 2 * uint64_t(std::max(screenWidth, 1));
    const bool samples = range.length < width;
    const double rate = info.rate > 0 ? double(info.rate) : 1.0;
    const std::vector<float>& v = envelope.values;
    if (samples) {
        table.columns = {"index", "time_s", "value"};
        for (size_t i = 0; i < v.size(); ++i)
            table.rows.push_back(
                {std::to_string(i), G9((double(range.start) + double(i)) / rate), G9(v[i])});
        return table;
    }
    table.columns = {"index", "time_s", "min", "max"};
    const uint64_t block = 2 * uint64_t(range.length) / width;
    for (size_t j = 0; 2 * j + 1 < v.size(); ++j)
        table.rows.push_back({std::to_string(j),
                              G9((double(range.start) + double(j * block)) / rate), G9(v[2 * j]),
                              G9(v[2 * j + 1])});
    return table;
}
