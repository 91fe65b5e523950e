#include "OutputFormat.h"

#include <cstdio>

bool FormatOption(CliArgs& args, TableFormat& format) {
    const std::string name = args.Text("format", "tsv");
    const auto named = TableFormatNamed(name);
    if (!named) {
        args.Fail("--format must be tsv, csv or json, not \"" + name + "\"");
        return false;
    }
    format = *named;
    return true;
}

void PrintTable(const DataTable& table, TableFormat format) {
    const std::string text =
        format == TableFormat::Tsv ? DelimitedText(table, format, false) : TableText(table, format);
    std::fwrite(text.data(), 1, text.size(), stdout);
}
