#include "sonagram/SonagramTexts.h"

#include "drawing/NumberText.h"
#include "drawing/TimeText.h"
#include "sonagram/CSfSon.h"
#include "soundfile/SfInfo.h"

#include <charconv>
#include <cstdio>

namespace {

std::string Pixels(int pixels) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "[%04d]", pixels);
    return buffer;
}

std::string Line(const char* label, int pixels, double seconds) {
    return std::string(label) + "\t" + Pixels(pixels) + " " + FormatSeconds(seconds, 1);
}

double Seconds(uint32_t frame, const SfInfo& info) {
    return double(frame) / info.rate;
}

float LevelOf(const CSfSon& son, int column) {
    const std::vector<float>& values = son.Levels().values;
    if (column < 0 || size_t(column) >= values.size())
        return 0.0f;
    return values[size_t(column)];
}

// Path, channel and range, the part the lines of both panes share.
std::string LogLineStart(const char* kind, const SfInfo& info, const CSfSon& son) {
    const SonRange& range = son.Range();
    return std::string(kind) + "\t" + info.path + "\t" + std::to_string(range.channel) + "\t" +
           PrintG(Seconds(range.start, info)) + "\t" + PrintG(Seconds(range.end, info)) + "\t";
}

double ColumnSeconds(const SfInfo& info, const CSfSon& son, int column) {
    const SonRange& range = son.Range();
    return LevelSecondsOfColumn(range.start, range.length, info.rate,
                                int(son.Levels().values.size()), column);
}

// The end of a data-log line: the stated lines end with the level; in dBFS a
// last column names the unit.
std::string UnitColumn(const SfFftParam& p) {
    return p.LevelRef == kLevelRefFullScale ? "\tdBFS\n" : "\n";
}

} // namespace

std::string SonInfoText(const SfInfo& info, const TimePlot& axis, const SonMarks& marks) {
    const double rate = info.rate;
    const double from = SonSecondsOfPixel(axis, rate, marks.left);
    const double to = SonSecondsOfPixel(axis, rate, marks.right);
    return ShortPathText(info.path, 25) + "\r\n" +
           Line("CurPos:", marks.cursor - axis.left, SonSecondsOfPixel(axis, rate, marks.cursor)) +
           "\r\n" + Line("BlockSt:", marks.left - axis.left, from) + "\r\n" +
           Line("BlockEn:", marks.right - axis.left, to) + "\r\n" +
           Line("BlockLe:", marks.right - marks.left, to - from);
}

std::string SonLogLine(const SfInfo& info, const CSfSon& son) {
    const SonRange& range = son.Range();
    const SfFftParam& p = son.Param();
    const int column = SonColumnOfFrame(range.start, range.length, int(son.Levels().values.size()),
                                        p.view.cursorFrame);
    return LogLineStart("SON", info, son) + std::to_string(p.Lfft) + "\t" + std::to_string(p.IWin) +
           "\t" + PrintG(double(p.view.cursorFrame) / info.rate) + "\t" +
           PrintG(LevelOf(son, column)) + UnitColumn(p);
}

std::string RmsLogLine(const SfInfo& info, const CSfSon& son, int column) {
    return LogLineStart("RMS", info, son) + "0\t0\t" + PrintG(ColumnSeconds(info, son, column)) +
           "\t" + PrintG(LevelOf(son, column)) + UnitColumn(son.Param());
}

std::string RmsInfoText(const SfInfo& info, const CSfSon& son, int column) {
    return ShortPathText(info.path, 25) + "\r\nRMS\r\n" + Pixels(column) + " " +
           FormatSeconds(ColumnSeconds(info, son, column), 0) + " " + PrintG(LevelOf(son, column)) +
           (son.Param().LevelRef == kLevelRefFullScale ? "dBFS" : "dB");
}

std::string SonShowInfoText(const SfInfo& info, const CSfSon& son) {
    const SonRange& range = son.Range();
    const SfFftParam& p = son.Param();
    const auto number = [](long long v) { return std::to_string(v); };
    return FileInfoText(info) + "\n\nStart:\t" + PrintG(Seconds(range.start, info)) + "s\nEnd:\t" +
           PrintG(Seconds(range.end, info)) + "s\nLen:\t" + PrintG(Seconds(range.length, info)) +
           "s\nChan:\t" + number(range.channel) + "\n\nLfft:\t" + number(p.Lfft) + "\nLWdw:\t" +
           number(p.Lwdw) + "\nIWin:\t" + number(p.IWin) + "\nFl:\t" + number(p.Floor) + "\nRa:\t" +
           number(p.Range) + "\ndBMax: \t" +
           NumberText(p.results.dBMax, std::chars_format::fixed, 2) + "\nFMin:\t" + PrintF(p.Fmin) +
           "\nFMax:\t" + PrintF(p.Fmax);
}
