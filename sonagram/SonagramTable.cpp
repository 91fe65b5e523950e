#include "sonagram/SonagramTable.h"

#include "sonagram/CSfSon.h"
#include "sonagram/SonagramCells.h"
#include "soundfile/SfInfo.h"

#include <string>

namespace {

// The file and the sonagram's parameters, for json.
DataTable SonagramTableHead(const SfInfo& info, const CSfSon& son) {
    const SfFftParam& p = son.Param();
    const SonRange& range = son.Range();
    DataTable table = RangeTable(info.path, info.rate, range.channel, range.start, range.end);
    table.params.insert(table.params.end(),
                        {{"lfft", std::to_string(p.Lfft)},
                         {"lwdw", std::to_string(p.Lwdw)},
                         {"window", std::to_string(p.IWin)},
                         {"level_reference", p.LevelRef == kLevelRefFullScale ? "dbfs" : "lsb"},
                         {"db_max", TableNumber(p.results.dBMax)},
                         {"floor", std::to_string(p.Floor)},
                         {"fmax_hz", TableNumber(p.Fmax)}});
    return table;
}

// The first frame of each of count columns spread over the range, as the
// computation places them.
std::vector<uint32_t> ColumnStarts(const SonRange& range, size_t count) {
    std::vector<uint32_t> starts(count);
    const double hop = count == 0 ? 0.0 : double(range.length) / double(count);
    for (size_t i = 0; i < count; ++i)
        starts[i] = uint32_t(range.start + double(i) * hop + 0.5);
    return starts;
}

} // namespace

DataTable SonagramLevelTable(const SfInfo& info, const CSfSon& son) {
    const SfFftParam& p = son.Param();
    const std::vector<float>& levels = son.Levels().values;
    DataTable table = SonagramTableHead(info, son);
    table.columns = {"index", "time_s",
                     p.LevelRef == kLevelRefFullScale ? "level_dbfs" : "level_db"};
    const double rate = info.rate > 0 ? double(info.rate) : 1.0;
    const std::vector<uint32_t> starts = ColumnStarts(son.Range(), levels.size());
    for (size_t i = 0; i < levels.size(); ++i)
        table.rows.push_back(
            {std::to_string(i), TableNumber(double(starts[i]) / rate), TableNumber(levels[i])});
    return table;
}

DataTable SonagramImageTable(const SfInfo& info, const CSfSon& son, const SonagramCells& cells) {
    if (!cells.HasLevels())
        return {};
    const SfFftParam& p = son.Param();
    DataTable table = SonagramTableHead(info, son);
    const double rate = info.rate > 0 ? double(info.rate) : 1.0;
    const double binHz = p.Lfft > 0 ? rate / p.Lfft : 0.0;
    table.columns.push_back("time_s");
    for (int row = cells.height - 1; row >= 0; --row)
        table.columns.push_back(TableNumber(cells.rowBin[size_t(row)] * binHz));
    const std::vector<uint32_t> starts = ColumnStarts(son.Range(), size_t(cells.width));
    for (int column = 0; column < cells.width; ++column) {
        std::vector<std::string> values{TableNumber(double(starts[size_t(column)]) / rate)};
        for (int row = cells.height - 1; row >= 0; --row)
            values.push_back(TableNumber(cells.LevelAt(column, row)));
        table.rows.push_back(std::move(values));
    }
    return table;
}
