// The texts of the sonagram window: the measurements of both panes in the
// info text box, their data-log lines of key W and the information box of
// Show Info. Numbers are written with a decimal point whatever the process
// locale.
#pragma once

#include "sonagram/SonagramDisplay.h"

#include <string>

class CSfSon;
struct SfInfo;

// Pixel columns of the image pane's cursor line and selection edges.
struct SonMarks {
    int cursor = 0;
    int left = 0;
    int right = 0;
};

// The shortened path, then the cursor, the selection's start, end and length,
// each as its pixel column counted from the plot's left edge and its time.
std::string SonInfoText(const SfInfo& info, const TimePlot& axis, const SonMarks& marks);

// The line of key W in the image pane: path as stored, channel, range start
// and end in seconds, Lfft, window type, the cursor frame's time and the
// level of the image column under it.
std::string SonLogLine(const SfInfo& info, const CSfSon& son);

// The line of key W in the level pane, for the level of column.
std::string RmsLogLine(const SfInfo& info, const CSfSon& son, int column);

// The shortened path, then the column, its time and its level.
std::string RmsInfoText(const SfInfo& info, const CSfSon& son, int column);

// The text of Show Info: the file, the range and the analysis parameters
// with the loudest cell.
std::string SonShowInfoText(const SfInfo& info, const CSfSon& son);
