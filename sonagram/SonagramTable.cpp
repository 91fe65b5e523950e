#include "sonagram/SonagramTable.h"

#include "drawing/NumberText.h"
#include "sonagram/CSfSon.h"
#include "soundfile/SfInfo.h"

#include <string>

namespace {

std::string G9(double v) {
    return NumberText(v, std::chars_format::general, 9);
}

} // namespace

DataTable SonagramLevelTable(const SfInfo& info, const CSfSon& son) {
    const SfFftParam& p = son.Param();
    const SonRange& range = son.Range();
    const std::vector<float>& levels = son.Levels().values;
    DataTable table;
    table.file = info.path;
    table.params = {{"rate_hz", std::to_string(info.rate)},
                    {"channel", std::to_string(range.channel)},
                    {"start_frame", std::to_string(range.start)},
                    {"end_frame", std::to_string(range.end)},
                    {"lfft", std::to_string(p.Lfft)},
                    {"lwdw", std::to_string(p.Lwdw)},
                    {"window", std::to_string(p.IWin)},
                    {"level_reference", p.LevelRef == kLevelRefFullScale ? "dbfs" : "lsb"},
                    {"db_max", G9(p.results.dBMax)},
                    {"floor", std::to_string(p.Floor)},
                    {"fmax_hz", G9(p.Fmax)}};
    table.columns = {"index", "time_s",
                     p.LevelRef == kLevelRefFullScale ? "level_dbfs" : "level_db"};
    const double rate = info.rate > 0 ? double(info.rate) : 1.0;
    // The columns are spread over the range as the computation places them.
    const double hop = levels.empty() ? 0.0 : double(range.length) / double(levels.size());
    for (size_t i = 0; i < levels.size(); ++i) {
        const auto start = uint32_t(range.start + double(i) * hop + 0.5);
        table.rows.push_back({std::to_string(i), G9(double(start) / rate), G9(levels[i])});
    }
    return table;
}
