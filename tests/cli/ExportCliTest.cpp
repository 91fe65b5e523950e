// kavirel-cli's --format and peaks as other programs read them: every table
// through Python's own csv and json readers, tsv byte for byte as before, a
// German locale, the refined peaks of three tones and the refusals.
#include "cli/CliRunner.h"
#include "support/AnalysisFiles.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace {

// Three tones of equal amplitude, at 440, 1000 and 3520 Hz, at 16000 Hz.
std::vector<int32_t> ThreeTones() {
    std::vector<int32_t> sum(16000, 0);
    for (double hz : {440.0, 1000.0, 3520.0}) {
        const std::vector<int32_t> tone = Sine(16000, hz, 16000, 6000);
        for (size_t i = 0; i < sum.size(); ++i)
            sum[i] += tone[i];
    }
    return sum;
}

class ExportCli : public CliFiles {
protected:
    Result Run(const std::vector<std::string>& args, const std::string& locale = "C") {
        return RunCli("LC_ALL=" + locale + " XDG_CONFIG_HOME=" + Quote(config.Path()), args,
                      dir.Path());
    }

    // The text as Python's csv or json reader gives it back, as tab-separated
    // lines (header first), or the reader's complaint with exit code 1.
    Result ReadBack(const std::string& kind, const std::string& text) {
        const std::string path = dir.Path() + "/table." + kind;
        std::ofstream(path, std::ios::binary) << text;
        return RunProgram(
            "/usr/bin/python3", "",
            {std::string(KAVIREL_SOURCE_DIR) + "/tests/support/read_table.py", kind, path},
            dir.Path());
    }
};

// Two read-back tables hold the same cells: the same texts, or numbers that
// parse to the same double.
void ExpectSameCells(const std::vector<std::string>& a, const std::vector<std::string>& b,
                     const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto fa = Fields(a[i]);
        const auto fb = Fields(b[i]);
        ASSERT_EQ(fa.size(), fb.size()) << what << " line " << i;
        for (size_t c = 0; c < fa.size(); ++c) {
            if (fa[c] == fb[c])
                continue;
            char* endA = nullptr;
            char* endB = nullptr;
            const double va = std::strtod(fa[c].c_str(), &endA);
            const double vb = std::strtod(fb[c].c_str(), &endB);
            ASSERT_TRUE(*endA == '\0' && *endB == '\0' && va == vb)
                << what << " line " << i << ": " << fa[c] << " against " << fb[c];
        }
    }
}

} // namespace

TEST_F(ExportCli, EveryTableReadsBackThroughCsvAndJson) {
    const std::string tones = Wav(ThreeTones(), 16000);
    const std::string stereo = Wav(Sine(12000, 300, 8000, 9000), 8000, 2);
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> columns;
        bool tsvIsTheRows; // the default output is exactly the rows of the table
    } cases[] = {
        {{"spectrum", tones, "--start", "100", "--lfft", "512"},
         {"bin", "frequency_hz", "level_db"},
         true},
        {{"spectrum", tones, "--start", "100", "--lfft", "512", "--method", "1"},
         {"bin", "frequency_hz", "level_db", "smoothed_db"},
         true},
        {{"spectrum", tones, "--start", "100", "--lfft", "512", "--linear"},
         {"bin", "frequency_hz", "level"},
         true},
        {{"spectrum", tones, "--start", "100", "--lfft", "512", "--level", "dbfs"},
         {"bin", "frequency_hz", "level_dbfs"},
         true},
        {{"peaks", tones, "--start", "100", "--lfft", "4096"},
         {"frequency_hz", "level_db", "note"},
         true},
        {{"pitch", tones, "--end", "0.5s"}, {"time_s", "f0_hz"}, true},
        {{"envelope", tones, "--start", "0", "--end", "100"}, {"index", "time_s", "value"}, false},
        {{"envelope", tones, "--start", "0", "--end", "9000", "--screen-width", "64"},
         {"index", "time_s", "min", "max"},
         false},
        {{"overview", stereo, "--screen-width", "32"},
         {"channel", "column", "time_s", "min", "max", "level_db"},
         false},
        {{"sonagram", tones, "--start", "0", "--end", "1s", "--screen-width", "40"},
         {"index", "time_s", "level_db"},
         false},
        {{"info", tones}, {"name", "value"}, false},
    };
    for (const auto& c : cases) {
        const std::string what = c.args[0] + " " + c.args.back();
        std::vector<std::string> csvArgs = c.args;
        csvArgs.insert(csvArgs.end(), {"--format", "csv"});
        std::vector<std::string> jsonArgs = c.args;
        jsonArgs.insert(jsonArgs.end(), {"--format", "json"});
        const Result tsv = Run(c.args);
        const Result csv = Run(csvArgs);
        const Result json = Run(jsonArgs);
        ASSERT_EQ(tsv.code, 0) << what << tsv.err;
        ASSERT_EQ(csv.code, 0) << what << csv.err;
        ASSERT_EQ(json.code, 0) << what << json.err;

        const Result fromCsv = ReadBack("csv", csv.out);
        ASSERT_EQ(fromCsv.code, 0) << what << fromCsv.err;
        const std::vector<std::string> csvLines = Lines(fromCsv.out);
        ASSERT_FALSE(csvLines.empty()) << what;
        EXPECT_EQ(Fields(csvLines[0]), c.columns) << what;
        EXPECT_GT(csvLines.size(), 1u) << what;
        if (c.args[0] == "info") {
            // info's json is one object of its fields, not a table.
            EXPECT_NE(json.out.find("\"frames\": 16000"), std::string::npos) << json.out;
            const std::string file = dir.Path() + "/info.json";
            std::ofstream(file, std::ios::binary) << json.out;
            const Result tool =
                RunProgram("/usr/bin/python3", "", {"-m", "json.tool", file}, dir.Path());
            EXPECT_EQ(tool.code, 0) << tool.err;
            EXPECT_NE(tool.out.find("\"rate_hz\": 16000"), std::string::npos) << tool.out;
            continue;
        }
        const Result fromJson = ReadBack("json", json.out);
        ASSERT_EQ(fromJson.code, 0) << what << fromJson.err;
        ExpectSameCells(csvLines, Lines(fromJson.out), what);
        if (c.tsvIsTheRows) {
            const std::vector<std::string> rows(csvLines.begin() + 1, csvLines.end());
            EXPECT_EQ(rows, Lines(tsv.out)) << what;
        }
    }
}

TEST_F(ExportCli, TsvIsTheDefaultOutputByteForByte) {
    const std::string path = Wav(ThreeTones(), 16000);
    const std::vector<std::vector<std::string>> commands = {
        {"info", path},
        {"overview", path, "--screen-width", "50"},
        {"spectrum", path, "--start", "0.1s", "--lfft", "256"},
        {"peaks", path, "--start", "0.1s", "--lfft", "1024"},
        {"envelope", path, "--start", "0", "--end", "5000", "--screen-width", "100"},
        {"sonagram", path, "--start", "0", "--end", "0.5s", "--screen-width", "60", "--cells"},
        {"pitch", path, "--end", "0.3s"},
    };
    for (const auto& args : commands) {
        std::vector<std::string> tsvArgs = args;
        tsvArgs.insert(tsvArgs.end(), {"--format", "tsv"});
        // The overview's first run writes its cache, which later runs name.
        Run(args);
        const Result plain = Run(args);
        const Result tsv = Run(tsvArgs);
        EXPECT_EQ(plain.code, 0) << args[0] << plain.err;
        EXPECT_FALSE(plain.out.empty()) << args[0];
        EXPECT_EQ(plain.out, tsv.out) << args[0];
    }
}

TEST_F(ExportCli, EnvelopeAndOverviewTablesHoldThePrintedValues) {
    const std::vector<int32_t> values = ThreeTones();
    const std::string path = Wav(values, 16000);
    // 9000 frames over 2 x 64 values: 64 blocks of 140 frames.
    const Result env = Run({"envelope", path, "--start", "100", "--end", "9100", "--screen-width",
                            "64", "--format", "csv"});
    const Result plain =
        Run({"envelope", path, "--start", "100", "--end", "9100", "--screen-width", "64"});
    const std::vector<std::string> rows = Lines(ReadBack("csv", env.out).out);
    const std::vector<std::string> printed = Lines(plain.out);
    ASSERT_EQ(rows.size(), 65u);
    ASSERT_EQ(printed.size(), 129u);
    for (size_t j = 0; j < 64; ++j) {
        const auto f = Fields(rows[j + 1]);
        ASSERT_EQ(f.size(), 4u);
        EXPECT_EQ(f[0], std::to_string(j));
        EXPECT_DOUBLE_EQ(std::stod(f[1]), (100.0 + 140.0 * j) / 16000.0);
        EXPECT_EQ(std::stod(f[2]), std::stod(printed[1 + 2 * j]));
        EXPECT_EQ(std::stod(f[3]), std::stod(printed[2 + 2 * j]));
        EXPECT_LE(std::stod(f[2]), std::stod(f[3]));
    }

    // 16-bit samples: the overview keeps (maximum, minimum) pairs; the table
    // names them min and max.
    const Result over = Run({"overview", path, "--screen-width", "10", "--format", "csv"});
    const std::vector<std::string> cols = Lines(ReadBack("csv", over.out).out);
    ASSERT_EQ(cols.size(), 11u);
    for (int k = 0; k < 10; ++k) {
        const auto f = Fields(cols[k + 1]);
        const auto first = values.begin() + k * 1600;
        EXPECT_EQ(std::stod(f[3]), double(*std::min_element(first, first + 1600))) << k;
        EXPECT_EQ(std::stod(f[4]), double(*std::max_element(first, first + 1600))) << k;
        EXPECT_DOUBLE_EQ(std::stod(f[2]), k * 0.1);
        // Three tones of amplitude 6000: an RMS of 6000 sqrt(3/2) in dB.
        EXPECT_NEAR(std::stod(f[5]), 20 * std::log10(6000 * std::sqrt(1.5)), 0.2) << k;
    }
}

TEST_F(ExportCli, AGermanLocaleStillWritesDecimalPoints) {
    const std::string path = Wav(ThreeTones(), 16000);
    for (const char* format : {"csv", "json", "tsv"}) {
        const std::vector<std::string> args = {"spectrum", path,  "--start",  "100",
                                               "--lfft",   "256", "--format", format};
        const Result c = Run(args);
        const Result german = Run(args, "de_DE.UTF-8");
        ASSERT_EQ(german.code, 0) << german.err;
        EXPECT_EQ(german.out, c.out) << format;
        EXPECT_NE(german.out.find("62.5"), std::string::npos) << format;
    }
}

TEST_F(ExportCli, PeaksFindTheThreeTonesRefinedAndNamed) {
    const std::string path = Wav(ThreeTones(), 16000);
    const Result r = Run({"peaks", path, "--start", "1000", "--lfft", "4096", "--window", "2",
                          "--ref", "440", "--notation", "0"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 3u);
    double last = 0;
    std::vector<std::pair<double, std::vector<std::string>>> byLevel;
    for (const std::string& line : lines) {
        const auto f = Fields(line);
        ASSERT_EQ(f.size(), 3u) << line;
        const double hz = std::stod(f[0]);
        EXPECT_GT(hz, last) << "peaks rise in frequency";
        last = hz;
        byLevel.push_back({std::stod(f[1]), f});
    }
    std::sort(byLevel.begin(), byLevel.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::vector<std::string>> top = {byLevel[0].second, byLevel[1].second,
                                                 byLevel[2].second};
    std::sort(top.begin(), top.end(),
              [](const auto& a, const auto& b) { return std::stod(a[0]) < std::stod(b[0]); });
    // A bin is 3.9 Hz wide; the parabola brings the peak within a fraction.
    const double tones[] = {440.0, 1000.0, 3520.0};
    const char* notes[] = {"A4", "B5", "A7"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(std::stod(top[i][0]), tones[i], 0.5) << top[i][0];
        EXPECT_EQ(top[i][2].rfind(notes[i], 0), 0u) << top[i][2];
    }

    const Result first =
        Run({"peaks", path, "--start", "1000", "--lfft", "4096", "--window", "2", "--count", "2"});
    EXPECT_EQ(Lines(first.out), std::vector<std::string>(lines.begin(), lines.begin() + 2));
    // Only the tones stand above a level just below theirs.
    const double floor = byLevel[2].first - 1;
    const Result loud = Run({"peaks", path, "--start", "1000", "--lfft", "4096", "--window", "2",
                             "--min-db", std::to_string(floor)});
    EXPECT_EQ(Lines(loud.out).size(), 3u) << loud.out;
    const Result german =
        Run({"peaks", path, "--start", "1000", "--lfft", "4096", "--window", "2", "--min-db",
             std::to_string(floor), "--notation", "1", "--count", "1"});
    EXPECT_EQ(Fields(Lines(german.out).at(0)).at(2).rfind("A1", 0), 0u) << german.out;
}

TEST_F(ExportCli, WrongFormatsAndPeakOptionsAreRefused) {
    const std::string path = Wav(ThreeTones(), 16000);
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"info", path, "--format", "xml"},
             {"spectrum", path, "--start", "0", "--format", "CSV"},
             {"pitch", path, "--format"},
             {"sonagram", path, "--start", "0", "--end", "100", "--cells", "--format", "csv"},
             {"peaks", path},
             {"peaks", path, "--start", "0", "--count", "-1"},
             {"peaks", path, "--start", "0", "--count", "two"},
             {"peaks", path, "--start", "0", "--min-db", "loud"},
             {"peaks", path, "--start", "0", "--ref", "50"},
             {"peaks", path, "--start", "0", "--notation", "7"},
             {"note", "440", "--format", "csv"},
         }) {
        const Result r = Run(wrong);
        EXPECT_EQ(r.code, 64) << wrong[0] << " " << wrong.back();
        EXPECT_EQ(r.out, "") << wrong.back();
        EXPECT_NE(r.err.find("usage: kavirel-cli"), std::string::npos) << r.err;
    }
}
