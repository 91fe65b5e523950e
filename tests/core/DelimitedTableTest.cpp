// The table writer of the exports: quoting by RFC 4180, json that other
// readers accept, formats by name and by file extension.
#include "drawing/DelimitedTable.h"

#include <gtest/gtest.h>

namespace {

DataTable Sample() {
    DataTable t;
    t.file = "/data/say \"hi\"\\n.wav";
    t.params = {{"lfft", "1024"}, {"level_reference", "dbfs"}, {"db_max", "-0.5"}};
    t.columns = {"frequency_hz", "level_db", "note"};
    t.rows = {{"440.044078", "-3.5", "A4+0.17Cent"},
              {"1e-05", "nan", "B, \"flat\""},
              {"0", "-inf", "line\nbreak"}};
    return t;
}

} // namespace

TEST(DelimitedTable, CsvQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(DelimitedText(Sample(), TableFormat::Csv, true), "frequency_hz,level_db,note\n"
                                                               "440.044078,-3.5,A4+0.17Cent\n"
                                                               "1e-05,nan,\"B, \"\"flat\"\"\"\n"
                                                               "0,-inf,\"line\nbreak\"\n");
    EXPECT_EQ(DelimitedText(Sample(), TableFormat::Tsv, false),
              "440.044078\t-3.5\tA4+0.17Cent\n1e-05\tnan\tB, \"flat\"\n0\t-inf\tline\nbreak\n");
    DataTable empty;
    empty.columns = {"a"};
    EXPECT_EQ(TableText(empty, TableFormat::Csv), "a\n");
}

TEST(DelimitedTable, JsonWritesNumbersAsNumbersAndEscapesTexts) {
    EXPECT_EQ(JsonTableText(Sample()),
              "{\"file\": \"/data/say \\\"hi\\\"\\\\n.wav\", \"params\": {\"lfft\": 1024, "
              "\"level_reference\": \"dbfs\", \"db_max\": -0.5}, \"columns\": [\"frequency_hz\", "
              "\"level_db\", \"note\"], \"rows\": [\n"
              "  [440.044078, -3.5, \"A4+0.17Cent\"],\n"
              "  [1e-05, null, \"B, \\\"flat\\\"\"],\n"
              "  [0, null, \"line\\nbreak\"]]}\n");
    const struct {
        const char* cell;
        const char* json;
    } cells[] = {
        {"12", "12"},
        {"-0", "-0"},
        {"1.5e+20", "1.5e+20"},
        {"007", "\"007\""},
        {".5", "\".5\""},
        {"1.", "\"1.\""},
        {"1e", "\"1e\""},
        {"+1", "\"+1\""},
        {"inf", "null"},
        {"-nan", "null"},
        {"", "\"\""},
        {"\t", "\"\\t\""},
        {"\x01", "\"\\u0001\""},
        {"Grüße", "\"Grüße\""},
    };
    for (const auto& c : cells)
        EXPECT_EQ(JsonValue(c.cell), c.json) << c.cell;
}

TEST(DelimitedTable, FormatsByNameAndByExtension) {
    EXPECT_EQ(TableFormatNamed("tsv"), TableFormat::Tsv);
    EXPECT_EQ(TableFormatNamed("csv"), TableFormat::Csv);
    EXPECT_EQ(TableFormatNamed("json"), TableFormat::Json);
    EXPECT_FALSE(TableFormatNamed("CSV"));
    EXPECT_FALSE(TableFormatNamed(""));
    EXPECT_EQ(TableFormatOfPath("/a/b.CSV"), TableFormat::Csv);
    EXPECT_EQ(TableFormatOfPath("b.tsv"), TableFormat::Tsv);
    EXPECT_EQ(TableFormatOfPath("notes.Txt"), TableFormat::Tsv);
    EXPECT_FALSE(TableFormatOfPath("b.csv.bak"));
    EXPECT_FALSE(TableFormatOfPath("csv"));
    EXPECT_FALSE(TableFormatOfPath("/a.csv/b"));
}
