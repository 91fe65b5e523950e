// The level pane of a sonagram window as a table, for the window's export and
// "kavirel-cli sonagram".
#pragma once

#include "drawing/DelimitedTable.h"

class CSfSon;
struct SfInfo;

// One row per image column: index, time_s (the first frame of the column's
// analysis frame, from the start of the file) and level_db (re full scale in
// dBFS mode), with the sonagram's parameters.
DataTable SonagramLevelTable(const SfInfo& info, const CSfSon& son);
