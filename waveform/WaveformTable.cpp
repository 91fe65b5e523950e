#include "waveform/WaveformTable.h"

#include "soundfile/SfInfo.h"

#include <algorithm>
#include <string>

DataTable WaveformTable(const SfInfo& info, const WavRange& range, const WavEnvelope& envelope,
                        int screenWidth) {
    DataTable table = RangeTable(info.path, info.rate, range.channel, range.start, range.end);
    table.params.insert(table.params.end(), {{"lower", TableNumber(envelope.lower)},
                                             {"upper", TableNumber(envelope.upper)}});
    // As the envelope was built: samples below twice the screen width.
    const uint64_t width = 2 * uint64_t(std::max(screenWidth, 1));
    const bool samples = range.length < width;
    const double rate = info.rate > 0 ? double(info.rate) : 1.0;
    const std::vector<float>& v = envelope.values;
    if (samples) {
        table.columns = {"index", "time_s", "value"};
        for (size_t i = 0; i < v.size(); ++i)
            table.rows.push_back({std::to_string(i),
                                  TableNumber((double(range.start) + double(i)) / rate),
                                  TableNumber(v[i])});
        return table;
    }
    table.columns = {"index", "time_s", "min", "max"};
    const uint64_t block = 2 * uint64_t(range.length) / width;
    for (size_t j = 0; 2 * j + 1 < v.size(); ++j)
        table.rows.push_back({std::to_string(j),
                              TableNumber((double(range.start) + double(j * block)) / rate),
                              TableNumber(v[2 * j]), TableNumber(v[2 * j + 1])});
    return table;
}
