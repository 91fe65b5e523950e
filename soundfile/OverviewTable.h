// The head window's overview of every channel as a table, for the export of
// the head window and "kavirel-cli overview".
#pragma once

#include "drawing/DelimitedTable.h"

struct SfInfo;

// One row per channel and screen column of the overview in info (built for
// width columns): channel, column, time_s (the first frame of the column),
// min and max of the samples, and level_db, the power mean of the column's
// two level blocks. Empty rows when the overview is not built for width.
DataTable OverviewTable(const SfInfo& info, int width);
