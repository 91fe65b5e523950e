// --format tsv|csv|json: how a command writes its numbers.
#pragma once

#include "CliArgs.h"
#include "drawing/DelimitedTable.h"

// Reads --format (tsv when not given); false after a message in args when
// the value names no format.
bool FormatOption(CliArgs& args, TableFormat& format);

// Writes table to standard output in format, csv with its header line.
void PrintTable(const DataTable& table, TableFormat format);
