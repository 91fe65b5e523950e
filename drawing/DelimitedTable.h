// Tables of numbers for other programs to read: the exports of the windows
// and the csv and json output of kavirel-cli. Cells are texts as written by
// NumberText, so a decimal point is a point whatever the process locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

enum class TableFormat {
    Tsv,  // tab-separated, as kavirel-cli has always printed
    Csv,  // comma-separated, quoted where a cell needs it (RFC 4180)
    Json, // one object with the file, the parameters, the columns and the rows
};

struct DataTable {
    // The column names with their units, such as "frequency_hz".
    std::vector<std::string> columns;
    // Each row has one cell per column.
    std::vector<std::vector<std::string>> rows;
    // For json: the analysed file and the parameters of the analysis, by name;
    // values are numbers or texts.
    std::string file;
    std::vector<std::pair<std::string, std::string>> params;
};

// A number for a cell or parameter: nine significant digits, as every table
// writes them.
std::string TableNumber(double v);

// A table of a range of one channel of file, its parameters so far rate_hz,
// channel, start_frame and end_frame.
DataTable RangeTable(const std::string& file, uint32_t rate, int channel, uint64_t start,
                     uint64_t end);

// "tsv", "csv" or "json"; none for any other name.
std::optional<TableFormat> TableFormatNamed(const std::string& name);

// The format a file name asks for by its extension, in any case: .csv, .tsv
// or .txt (tab-separated); none for any other.
std::optional<TableFormat> TableFormatOfPath(const std::string& path);

// The rows of table as lines ending in "\n": cells separated by tabs (Tsv) or
// commas (Csv, where a cell holding a comma, quote or line break is quoted
// and its quotes doubled). The column names come first when header is true.
std::string DelimitedText(const DataTable& table, TableFormat format, bool header);

// table as one json object {"file": ..., "params": {...}, "columns": [...],
// "rows": [[...], ...]} and a line break. Cells that read as numbers are
// written as numbers, "nan" and "inf" as null, every other cell as a string.
std::string JsonTableText(const DataTable& table);

// text as a json string, quotes included.
std::string JsonString(const std::string& text);

// A json value for a cell or parameter: the number itself where text is one
// as json writes numbers, null for "nan" and "inf", else a string.
std::string JsonValue(const std::string& text);

// The text of table in format: DelimitedText with its header for Tsv and Csv,
// JsonTableText for Json.
std::string TableText(const DataTable& table, TableFormat format);
