#include "spectrum/SpectrumTable.h"

#include "drawing/NoteText.h"
#include "drawing/NumberText.h"
#include "soundfile/FftScale.h"
#include "soundfile/SfInfo.h"
#include "spectrum/FramePane.h"

#include <algorithm>
#include <string>

namespace {

double Seconds(uint32_t frame, int32_t rate) {
    return rate > 0 ? double(frame) / rate : 0.0;
}

} // namespace

std::string LevelColumnName(uint32_t yScale, int32_t levelRef) {
    if (!(yScale & kScaleLog))
        return "level";
    return levelRef == kLevelRefFullScale ? "level_dbfs" : "level_db";
}

void AddSpectrumParams(DataTable& table, const SfInfo& info, const SfFftParam& p, uint32_t yScale) {
    table.file = info.path;
    table.params = {
        {"rate_hz", std::to_string(info.rate)},
        {"channel", std::to_string(p.channel)},
        {"start_s", TableNumber(Seconds(p.start, info.rate))},
        {"end_s", TableNumber(Seconds(p.end, info.rate))},
        {"lfft", std::to_string(p.Lfft)},
        {"lwdw", std::to_string(p.Lwdw)},
        {"shift", std::to_string(p.Shift)},
        {"window", std::to_string(p.IWin)},
        {"decibels", (yScale & kScaleLog) ? "1" : "0"},
        {"level_reference", p.LevelRef == kLevelRefFullScale ? "dbfs" : "lsb"},
        {"average", p.Average == 0 ? "db" : "power"},
    };
}

DataTable SpectrumTable(const SfInfo& info, const SfFftParam& p, uint32_t yScale) {
    DataTable table;
    AddSpectrumParams(table, info, p, yScale);
    const bool smoothed = p.results.smoothed != nullptr;
    table.columns = {"bin", "frequency_hz", LevelColumnName(yScale, p.LevelRef)};
    if (smoothed)
        table.columns.push_back((yScale & kScaleLog) ? "smoothed_db" : "smoothed");
    if (!p.results.spectrum || p.Lfft <= 0)
        return table;
    const std::vector<float>& spectrum = *p.results.spectrum;
    const double binWidth = double(info.rate) / p.Lfft;
    table.rows.reserve(spectrum.size());
    for (size_t i = 0; i < spectrum.size(); ++i) {
        std::vector<std::string> row = {std::to_string(i), TableNumber(double(i) * binWidth),
                                        TableNumber(double(spectrum[i]))};
        if (smoothed)
            row.push_back(i < p.results.smoothed->size()
                              ? TableNumber(double((*p.results.smoothed)[i]))
                              : "nan");
        table.rows.push_back(std::move(row));
    }
    return table;
}

DataTable PeaksTable(const SfInfo& info, const SfFftParam& p, uint32_t yScale,
                     const std::vector<SpectrumPeak>& peaks, double referenceHz, int notation) {
    DataTable table;
    AddSpectrumParams(table, info, p, yScale);
    table.params.emplace_back("reference_hz", TableNumber(referenceHz));
    table.params.emplace_back("notation", std::to_string(notation));
    table.columns = {"frequency_hz", LevelColumnName(yScale, p.LevelRef), "note"};
    for (const SpectrumPeak& peak : peaks)
        table.rows.push_back({TableNumber(peak.frequencyHz), TableNumber(double(peak.level)),
                              NoteText(peak.frequencyHz, referenceHz, notation)});
    return table;
}

DataTable FrameTable(const SfInfo& info, const SfFftParam& p, int screenWidth) {
    DataTable table = RangeTable(info.path, info.rate, p.channel, p.start, p.end);
    table.params.emplace_back("lfft", std::to_string(p.Lfft));
    table.columns = {"index", "time_s", "value"};
    if (!p.results.samples || info.rate <= 0)
        return table;
    const int count = FrameDrawCount(p, screenWidth);
    const uint64_t envelopeCount = 2 * uint64_t(std::max(screenWidth, 1));
    // As the spectrum computation filled the samples: a frame of its own at
    // an instant or over a range shorter than one hop, else the task's
    // envelope; either becomes min/max pairs when it spans more frames than
    // the pane has values.
    const bool ownFrame = uint64_t(p.start) + uint64_t(std::max(p.Shift, 0)) > p.end;
    const uint64_t span = ownFrame ? uint64_t(std::max(p.Lfft, 0)) : uint64_t(p.end - p.start);
    const bool pairs = ownFrame ? (IsInstant(p) && span > envelopeCount) : span >= envelopeCount;
    const uint64_t block = pairs ? 2 * span / envelopeCount : 1;
    const std::vector<float>& v = *p.results.samples;
    for (int i = 0; i < count && size_t(i) < v.size(); ++i) {
        const uint64_t frame = p.start + (pairs ? uint64_t(i / 2) * block : uint64_t(i));
        table.rows.push_back({std::to_string(i), TableNumber(double(frame) / info.rate),
                              TableNumber(double(v[size_t(i)]))});
    }
    return table;
}

DataTable PitchTable(const SfInfo& info, const PitchContour& contour) {
    DataTable table;
    table.file = info.path;
    table.params = {{"rate_hz", std::to_string(info.rate)}};
    table.columns = {"time_s", "f0_hz"};
    for (size_t i = 0; i < contour.times.size() && i < contour.f0.size(); ++i)
        table.rows.push_back({NumberText(contour.times[i], std::chars_format::fixed, 6),
                              NumberText(contour.f0[i], std::chars_format::fixed, 3)});
    return table;
}
