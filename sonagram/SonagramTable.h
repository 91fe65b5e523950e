// The image and the level pane of a sonagram window as tables, for the
// window's export and "kavirel-cli sonagram".
#pragma once

#include "drawing/DelimitedTable.h"

class CSfSon;
struct SonagramCells;
struct SfInfo;

// One row per image column: index, time_s (the first frame of the column's
// analysis frame, from the start of the file) and level_db (re full scale in
// dBFS mode), with the sonagram's parameters.
DataTable SonagramLevelTable(const SfInfo& info, const CSfSon& son);

// The image's levels: one row per column, time_s as in SonagramLevelTable,
// then one column per image row named by its frequency in Hz, lowest first,
// the level of the cell in dB (re full scale in dBFS mode). Empty when the
// cells hold no levels.
DataTable SonagramImageTable(const SfInfo& info, const CSfSon& son, const SonagramCells& cells);
