#include "sonagram/SonReadout.h"

#include "drawing/NoteText.h"
#include "drawing/NumberText.h"
#include "drawing/TimeText.h"
#include "sonagram/SonagramAxis.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

int CellOfPixel(int first, int span, int count, int at) {
    if (span <= 0 || count <= 0)
        return 0;
    const double cell = std::floor((at - first + 0.5) * count / span);
    return int(std::clamp(cell, 0.0, double(count - 1)));
}

} // namespace

int CellColumnOfPixel(const PlotRect& plot, int width, int x) {
    return CellOfPixel(plot.left, plot.right - plot.left, width, x);
}

int CellRowOfPixel(const PlotRect& plot, int height, int y) {
    return CellOfPixel(plot.top, plot.bottom - plot.top, height, y);
}

SonReadout ReadoutAt(const SonagramCells& cells, const PlotRect& plot, const FrequencyAxis& axis,
                     double startSeconds, double endSeconds, int x, int y) {
    SonReadout readout;
    const int span = plot.right - plot.left;
    readout.seconds = span > 0 ? startSeconds + (endSeconds - startSeconds) * (x - plot.left) / span
                               : startSeconds;
    readout.hz = HzOfPixelRow(axis, plot.top, plot.bottom, y);
    readout.column = CellColumnOfPixel(plot, cells.width, x);
    readout.row = CellRowOfPixel(plot, cells.height, y);
    readout.hasLevel = cells.HasLevels() && cells.width > 0 && cells.height > 0;
    if (readout.hasLevel)
        readout.level = cells.LevelAt(readout.column, readout.row);
    return readout;
}

std::string SonReadoutText(const SonReadout& readout, bool fullScale, double referencePitch,
                           int notation) {
    std::string text = "\r\nTime:\t" + FormatSeconds(readout.seconds, 1) + "\r\nFreq:\t" +
                       NumberText(readout.hz, std::chars_format::fixed, 1) + " Hz";
    if (readout.hasLevel)
        text += "\r\nLevel:\t" + NumberText(readout.level, std::chars_format::fixed, 1) +
                (fullScale ? " dBFS" : " dB");
    const std::string note = NoteText(readout.hz, referencePitch, notation);
    if (!note.empty())
        text += "\r\nNote:\t" + note;
    return text;
}
