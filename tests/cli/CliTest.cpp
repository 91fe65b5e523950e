// kavirel-cli as scripts use it: exact outputs, messages and exit codes.
#include "cli/CliRunner.h"
#include "drawing/TimeText.h"
#include "support/TestFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class Cli : public ::testing::Test {
protected:
    // Runs kavirel-cli with the settings of a fresh user.
    Result Run(const std::vector<std::string>& args) {
        return RunCli("XDG_CONFIG_HOME=" + Quote(config.Path()) +
                          " XDG_CACHE_HOME=" + Quote(config.Path()),
                      args, dir.Path());
    }

    TempDir dir;
    TempDir config;
};

} // namespace

TEST_F(Cli, InfoPrintsTheFileBlock) {
    WavSpec layout;
    layout.channels = 2;
    layout.rate = 22050;
    const std::string path = dir.Write("s.wav", MakeWav(layout, Bytes(22050 * 4 / 2, 0)));
    const Result r = Run({"info", path});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Filename: " + path +
                         "\nFmt:\tWAVE\nSr:\t22050\nNch:\t2\nBps:\t2\nLen:\t0.5s\n"
                         "DataOffset:\t44\nFrames:\t11025\nBlockAlign:\t4\nFlags:\t3\n");
    EXPECT_EQ(r.err, "");

    const std::string aiff = dir.Write("b.aif", MakeAiff(1, 24, 0x400E, 0xAC44, Bytes(300, 0)));
    const Result a = Run({"info", aiff, "--raw", "8000,1,1,0,LSB"}); // ignored: the header is known
    EXPECT_EQ(a.code, 0);
    EXPECT_NE(a.out.find("\nFmt:\tAIFF\nSr:\t44100\nNch:\t1\nBps:\t3\n"), std::string::npos);
    EXPECT_NE(a.out.find("Frames:\t100\n"), std::string::npos);
}

TEST_F(Cli, RawFilesNeedTheirFormat) {
    const std::string path = dir.Write("a.pcm", Bytes(1000, 0));
    const Result none = Run({"info", path});
    EXPECT_EQ(none.code, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("--raw"), std::string::npos);

    const Result raw = Run({"info", path, "--raw", "16000,2,2,100,MSB"});
    EXPECT_EQ(raw.code, 0);
    EXPECT_NE(raw.out.find("Fmt:\tAIFF\nSr:\t16000\nNch:\t2\nBps:\t2\nLen:\t0.0140625s\n"
                           "DataOffset:\t100\nFrames:\t225\nBlockAlign:\t4\nFlags:\t5\n"),
              std::string::npos)
        << raw.out;

    const Result bad = Run({"info", path, "--raw", "16000,2,2"});
    EXPECT_EQ(bad.code, 64);
    EXPECT_NE(bad.err.find("--raw needs"), std::string::npos);
}

TEST_F(Cli, RefusedFilesSayWhy) {
    const std::string au = dir.Write("u.au", MakeAu(24, 8000, 1, Bytes(100, 0), 100));
    const Result r = Run({"info", au, "--raw", "8000,0,1,24,LSB"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "This AU file encoding is not supported\n"
                     "The channel count of this file is invalid!\n");
    const Result missing = Run({"info", dir.Path() + "/none.wav"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("cannot be opened"), std::string::npos);
    // Each says its own reason, never the "Success" of no error at all.
    const struct {
        std::string path;
        const char* reason;
    } refused[] = {
        {"", "no file name was given"},
        {dir.Path() + "/none.wav", "No such file or directory"},
        {dir.Path(), "it is a folder"},
    };
    for (const auto& c : refused) {
        const Result r = Run({"info", c.path});
        EXPECT_EQ(r.code, 1) << c.path;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("Success"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Run({"info"}).code, 64);
    EXPECT_EQ(Run({"frobnicate"}).code, 64);
}

TEST_F(Cli, OneMessageAndWholeNumbersForUnusualFiles) {
    // An encoding nothing here reads says so once, without the raw-format hint.
    const Result au = Run({"info", dir.Write("g.au", MakeAu(24, 8000, 1, Bytes(100, 0), 100))});
    EXPECT_EQ(au.code, 2);
    EXPECT_EQ(au.err, "This AU file encoding is not supported\n");

    // A sparse raw file of 6 GB: offsets beyond 2^31 print whole, and what
    // 32-bit frame numbers reach is said.
    const std::string big = dir.Write("big.raw", Bytes(1, 0));
    ASSERT_EQ(::truncate(big.c_str(), off_t(6000000000)), 0);
    const Result far = Run({"info", big, "--raw", "8000,1,1,5000000000,LSB"});
    EXPECT_EQ(far.code, 0);
    EXPECT_NE(far.out.find("DataOffset:\t5000000000\nFrames:\t1000000000\n"), std::string::npos)
        << far.out;
    EXPECT_EQ(far.err, "");
    const Result all = Run({"info", big, "--raw", "8000,1,1,0,LSB"});
    EXPECT_EQ(all.code, 0);
    EXPECT_EQ(all.err, "This file holds 6000000000 sample frames; only the first 4294967295 "
                       "(536871 s) can be analysed and played.\n");
}

TEST_F(Cli, OverviewComputesThenReadsTheCache) {
    std::vector<int32_t> v;
    for (int i = 0; i < 40; ++i)
        v.push_back(i % 2 ? 300 : -200);
    const std::string path = dir.Write("o.wav", MakeWav(WavSpec{}, PcmBytes(v, 2)));
    const Result first = Run({"overview", path, "--screen-width", "4"});
    EXPECT_EQ(first.code, 0);
    std::istringstream lines(first.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "# channels=1 width=4 method=32795 source=computed");
    std::vector<std::string> values;
    while (std::getline(lines, line))
        values.push_back(line);
    ASSERT_EQ(values.size(), 16u);
    EXPECT_EQ(values[0], "300");
    EXPECT_EQ(values[1], "-200");
    EXPECT_EQ(values[8], "47.7815132"); // 10 log10((3 x 200^2 + 2 x 300^2) / 5)

    const Result second = Run({"overview", path, "--screen-width", "4"});
    EXPECT_EQ(second.out.substr(0, second.out.find('\n')),
              "# channels=1 width=4 method=32795 source=cache");
    EXPECT_EQ(second.out.substr(second.out.find('\n')), first.out.substr(first.out.find('\n')));
    EXPECT_EQ(Run({"overview", path, "--screen-width", "0"}).code, 64);
}

TEST_F(Cli, NotesAndTimes) {
    EXPECT_EQ(Run({"note", "440"}).out, "A4+0Cent\n");
    EXPECT_EQ(Run({"note", "440", "--notation", "1"}).out, "A1+0Cent\n");
    EXPECT_EQ(Run({"note", "493.88", "--notation", "1"}).out, "H1-0.012Cent\n");

    // The reference pitch comes from the user's settings. Qt keeps the group
    // "General" as "%General" in the file, "General" being its own name for
    // values outside any group.
    std::filesystem::create_directories(config.Path() + "/TOLQ");
    std::ofstream(config.Path() + "/TOLQ/Kavirel.conf") << "[%General]\nBtf=442\n";
    EXPECT_EQ(Run({"note", "442"}).out, "A4+0Cent\n");
    EXPECT_EQ(Run({"note", "442", "--ref", "440"}).out, "A4+7.9Cent\n");

    EXPECT_EQ(Run({"time", "1m30s", "--rate", "44100"}).out, "3969000\t1m30s\t01m30.000s\n");
    EXPECT_EQ(Run({"time", "1s500", "--rate", "44100"}).out, "44600\t1.01134s\t1.011s\n");
    EXPECT_EQ(Run({"time", "3725.125s", "--rate", "1000"}).out,
              "3725125\t1h2m5.125s\t1h02m05.125s\n");
    EXPECT_EQ(Run({"time", "1s"}).code, 64);
}

TEST_F(Cli, UnknownOptionsAreRefusedByName) {
    const std::string path = dir.Write("s.wav", MakeWav(WavSpec{}, Bytes(4000, 0)));
    const struct {
        std::vector<std::string> args;
        std::string named;
    } cases[] = {
        {{"info", path, "--rwa", "8000,1,1,0,LSB"}, "--rwa"},
        {{"overview", path, "--screenwidth", "800"}, "--screenwidth"},
        {{"note", "440", "--reference", "442"}, "--reference"},
        {{"time", "1s", "--rate", "8000", "--clock"}, "--clock"},
        {{"spectrum", path, "--start", "0", "--lfft", "64", "--linaer"}, "--linaer"},
        {{"envelope", path, "--start", "0", "--end", "100", "--chanel", "0"}, "--chanel"},
        {{"sonagram", path, "--start", "0", "--end", "100", "--cell"}, "--cell"},
        {{"play", path, "--seconds", "1", "--looop"}, "--looop"},
    };
    for (const auto& c : cases) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, 64) << c.named;
        EXPECT_EQ(r.out, "") << c.named;
        EXPECT_NE(r.err.find("unknown option " + c.named), std::string::npos) << r.err;
    }
}

TEST_F(Cli, HelpAndVersionAnswerOnStandardOutput) {
    const struct {
        std::vector<std::string> args;
        std::string shows;
    } cases[] = {
        {{"--help"}, "kavirel-cli sonagram FILE"},
        {{"-h"}, "kavirel-cli envelope FILE"},
        {{"spectrum", "--help"}, "usage:\n  kavirel-cli spectrum FILE --start T"},
        {{"play", "-h"}, "kavirel-cli play --list-devices"},
        // Help wins over a command line that is wrong otherwise.
        {{"sonagram", "/none.wav", "--start", "x", "--bogus", "--help"}, "--png OUT"},
        {{"--version"}, "kavirel-cli " KAVIREL_VERSION "\n"},
        {{"info", "--version"}, "kavirel-cli " KAVIREL_VERSION "\n"},
    };
    for (const auto& c : cases) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, 0) << c.shows;
        EXPECT_EQ(r.err, "") << c.shows;
        EXPECT_NE(r.out.find(c.shows), std::string::npos) << r.out;
    }
    EXPECT_EQ(Run({"spectrum", "--help"}).out.find("sonagram"), std::string::npos);

    for (const std::vector<std::string>& wrong : {std::vector<std::string>{}, {"frobnicate"}}) {
        const Result r = Run(wrong);
        EXPECT_EQ(r.code, 64);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("usage: kavirel-cli COMMAND"), std::string::npos) << r.err;
    }
}

TEST_F(Cli, TimesAreReadAsTheTaskDialogReadsThem) {
    // The dialog's own parser gives the frames the command line must give.
    const struct {
        const char* text;
        float rate;
    } cases[] = {
        {"1m30s", 44100}, {"2.5s", 44100}, {"1h", 8000},      {"1s500", 44100},
        {"500f", 22050},  {"0.1s", 8000},  {"1m 30s", 11025}, {"1.5e1s", 16000},
        {"2H3M4S", 1000}, {"0", 8000},     {"4410", 44100},   {"0.3s", 44100},
    };
    for (const auto& c : cases) {
        const Result r = Run({"time", c.text, "--rate", std::to_string(int(c.rate))});
        EXPECT_EQ(r.code, 0) << c.text << r.err;
        EXPECT_EQ(r.out.substr(0, r.out.find('\t')), std::to_string(ParseTimeText(c.text, c.rate)))
            << c.text;
    }

    // A position typed as a time is the same frame typed as a number.
    WavSpec layout;
    layout.rate = 8000;
    const std::string path = dir.Write("t.wav", MakeWav(layout, Bytes(2 * 8000, 1)));
    const Result frames = Run({"envelope", path, "--start", "2000", "--end", "6000"});
    const Result times = Run({"envelope", path, "--start", "0.25s", "--end", "0.5s2000f"});
    EXPECT_EQ(frames.code, 0) << frames.err;
    EXPECT_EQ(times.out, frames.out);
}

TEST_F(Cli, HostileCommandLinesAreRefusedWithTheirReason) {
    WavSpec layout;
    layout.rate = 8000;
    const std::string path = dir.Write("h.wav", MakeWav(layout, Bytes(2 * 4000, 0)));
    const struct {
        std::vector<std::string> args;
        std::string says;
    } cases[] = {
        {{"time", "abc", "--rate", "8000"}, "not \"abc\""},
        {{"time", "", "--rate", "8000"}, "not \"\""},
        {{"time", "1.5", "--rate", "8000"}, "not \"1.5\""},
        {{"time", "1x5s", "--rate", "8000"}, "not \"1x5s\""},
        {{"time", "s", "--rate", "8000"}, "not \"s\""},
        {{"time", "nans", "--rate", "8000"}, "not \"nans\""},
        {{"time", "1s", "--rate", "1e308"}, "--rate must lie above 0"},
        {{"time", "1s", "--rate", "0"}, "--rate must lie above 0"},
        {{"time", "2s", "--rate", "2147483647"}, "beyond the 32-bit frame range"},
        {{"note", "0"}, "FREQ must be above 0 Hz"},
        {{"note", "-440"}, "FREQ must be above 0 Hz"},
        {{"note", "nan"}, "FREQ must be a number"},
        {{"note", "inf"}, "FREQ must be a number"},
        {{"note", "abc"}, "FREQ must be a number"},
        {{"note", "440", "--ref", "0"}, "--ref must lie between 100 and 1000 Hz"},
        {{"note", "440", "--ref", "5000"}, "--ref must lie between 100 and 1000 Hz"},
        {{"note", "1e308"}, "FREQ must not lie above 1000000 Hz"},
        {{"note", "440", "--notation", "7"}, "--notation must be 0"},
        {{"time", std::string(130, '0') + "5", "--rate", "8000"}, "TEXT must be frames"},
        {{"spectrum", path, "--start", "0", "--window", "99"}, "--window"},
        {{"spectrum", path, "--start", "0", "--window", "-1"}, "--window"},
        {{"sonagram", path, "--start", "0", "--end", "100", "--window", "2147483647"},
         "--window must lie between 0 and 5"},
        {{"spectrum", path, "--start", "0", "--level", "db"}, "--level must be lsb or dbfs"},
        {{"spectrum", path, "--start", "0", "--average", "rms"}, "--average must be db or power"},
        {{"spectrum", path, "--start", "0", "--method", "1", "--cepfreq", "1e-30"},
         "--cepfreq must lie between 1 and 1000000 Hz"},
        {{"note", "0.1"}, "below the lowest octave"},
        {{"spectrum", path, "--start", "4294967295"},
         "--start must not lie beyond the end of the file"},
        {{"spectrum", path, "--start", "200", "--end", "100"}, "--start must not lie after --end"},
        {{"spectrum", path, "--start", "1.5"}, "--start needs frames or a time"},
        {{"spectrum", path, "--start", "-1s"}, "--start must not be negative"},
        {{"envelope", path, "--start", "3", "--end", "1"}, "--start must not lie after --end"},
        {{"sonagram", path, "--start", "0.4s", "--end", "0.2s"},
         "--start must not lie after --end"},
        {{"sonagram", path, "--start", "0", "--end", "1h"}, "--end must not lie beyond"},
    };
    for (const auto& c : cases) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, 64) << c.says;
        EXPECT_EQ(r.out, "") << c.says;
        // The reason first, then the usage of the command.
        const std::string reason = r.err.substr(0, r.err.find('\n'));
        EXPECT_EQ(reason.rfind("kavirel-cli: ", 0), 0u) << r.err;
        EXPECT_NE(reason.find(c.says), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("\nusage: kavirel-cli " + c.args[0]), std::string::npos) << r.err;
    }
}
