#include "drawing/DelimitedTable.h"

#include "drawing/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string CsvCell(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void AppendLine(std::string& out, const std::vector<std::string>& cells, TableFormat format) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += format == TableFormat::Csv ? ',' : '\t';
        out += format == TableFormat::Csv ? CsvCell(cells[i]) : cells[i];
    }
    out += '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number grammar of json: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool IsJsonNumber(const std::string& s) {
    size_t i = 0;
    const size_t n = s.size();
    if (i < n && s[i] == '-')
        ++i;
    if (i >= n || !IsDigit(s[i]))
        return false;
    if (s[i] == '0')
        ++i;
    else
        while (i < n && IsDigit(s[i]))
            ++i;
    if (i < n && s[i] == '.') {
        ++i;
        if (i >= n || !IsDigit(s[i]))
            return false;
        while (i < n && IsDigit(s[i]))
            ++i;
    }
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (i >= n || !IsDigit(s[i]))
            return false;
        while (i < n && IsDigit(s[i]))
            ++i;
    }
    return i == n;
}

} // namespace

std::optional<TableFormat> TableFormatNamed(const std::string& name) {
    if (name == "tsv")
        return TableFormat::Tsv;
    if (name == "csv")
        return TableFormat::Csv;
    if (name == "json")
        return TableFormat::Json;
    return std::nullopt;
}

std::optional<TableFormat> TableFormatOfPath(const std::string& path) {
    const std::string name = Lower(path);
    if (EndsWith(name, ".csv"))
        return TableFormat::Csv;
    if (EndsWith(name, ".tsv") || EndsWith(name, ".txt"))
        return TableFormat::Tsv;
    return std::nullopt;
}

std::string DelimitedText(const DataTable& table, TableFormat format, bool header) {
    std::string out;
    if (header)
        AppendLine(out, table.columns, format);
    for (const auto& row : table.rows)
        AppendLine(out, row, format);
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
                out += escaped;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

std::string JsonValue(const std::string& text) {
    if (IsJsonNumber(text))
        return text;
    if (text == "nan" || text == "-nan" || text == "inf" || text == "-inf")
        return "null";
    return JsonString(text);
}

std::string JsonTableText(const DataTable& table) {
    std::string out = "{\"file\": " + JsonString(table.file) + ", \"params\": {";
    for (size_t i = 0; i < table.params.size(); ++i) {
        out += i > 0 ? ", " : "";
        out += JsonString(table.params[i].first) + ": " + JsonValue(table.params[i].second);
    }
    out += "}, \"columns\": [";
    for (size_t i = 0; i < table.columns.size(); ++i)
        out += (i > 0 ? ", " : "") + JsonString(table.columns[i]);
    out += "], \"rows\": [";
    for (size_t r = 0; r < table.rows.size(); ++r) {
        out += r > 0 ? ",\n  [" : "\n  [";
        const auto& row = table.rows[r];
        for (size_t i = 0; i < row.size(); ++i)
            out += (i > 0 ? ", " : "") + JsonValue(row[i]);
        out += "]";
    }
    return out + "]}\n";
}

std::string TableText(const DataTable& table, TableFormat format) {
    return format == TableFormat::Json ? JsonTableText(table) : DelimitedText(table, format, true);
}

std::string TableNumber(double v) {
    return NumberText(v, std::chars_format::general, 9);
}

DataTable RangeTable(const std::string& file, uint32_t rate, int channel, uint64_t start,
                     uint64_t end) {
    DataTable table;
    table.file = file;
    table.params = {{"rate_hz", std::to_string(rate)},
                    {"channel", std::to_string(channel)},
                    {"start_frame", std::to_string(start)},
                    {"end_frame", std::to_string(end)}};
    return table;
}
