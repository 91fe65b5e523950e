// kavirel-cli sonagram as scripts use it: the printed results, the cells, the
// PNG image, and what is refused.
#include "cli/CliRunner.h"
#include "support/TestFiles.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

// A sine of amplitude 10000 starting at phase 0, in whole sample values.
std::vector<int32_t> Sine(int frames, double hz, double rate) {
    std::vector<int32_t> values(frames);
    for (int t = 0; t < frames; ++t)
        values[t] = int32_t(std::lround(10000.0 * std::sin(2.0 * M_PI * hz * t / rate)));
    return values;
}

uint32_t Be32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
           uint32_t(uint8_t(b[at + 2])) << 8 | uint32_t(uint8_t(b[at + 3]));
}

// The grey levels of an 8-bit grey or palette PNG, row by row.
struct Png {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> grey;
};

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Reads the chunks, inflates the image data (qUncompress takes a zlib stream
// behind its expected size) and undoes the row filters.
Png ReadPng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Png png;
    if (b.size() < 8 || b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return png;
    int colourType = -1;
    std::string palette;
    QByteArray data(4, '\0');
    for (size_t at = 8; at + 8 <= b.size();) {
        const uint32_t length = Be32(b, at);
        const std::string type = b.substr(at + 4, 4);
        const std::string body = b.substr(at + 8, length);
        if (type == "IHDR") {
            png.width = int(Be32(body, 0));
            png.height = int(Be32(body, 4));
            EXPECT_EQ(body[8], 8); // bits per sample
            colourType = body[9];
        } else if (type == "PLTE") {
            palette = body;
        } else if (type == "IDAT") {
            data.append(body.data(), qsizetype(body.size()));
        }
        at += 12 + length;
    }
    const size_t stride = size_t(png.width) + 1;
    const uint32_t size = uint32_t(stride * png.height);
    for (int i = 0; i < 4; ++i)
        data[i] = char(size >> (24 - 8 * i));
    const QByteArray raw = qUncompress(data);
    if (size_t(raw.size()) != stride * png.height || (colourType != 0 && colourType != 3))
        return Png{};
    std::vector<uint8_t> rows(size_t(png.width) * png.height);
    for (int y = 0; y < png.height; ++y) {
        const int filter = raw[qsizetype(y * stride)];
        for (int x = 0; x < png.width; ++x) {
            const int a = x > 0 ? rows[y * png.width + x - 1] : 0;
            const int up = y > 0 ? rows[(y - 1) * png.width + x] : 0;
            const int c = x > 0 && y > 0 ? rows[(y - 1) * png.width + x - 1] : 0;
            const int predictor = filter == 1   ? a
                                  : filter == 2 ? up
                                  : filter == 3 ? (a + up) / 2
                                  : filter == 4 ? Paeth(a, up, c)
                                                : 0;
            rows[y * png.width + x] =
                uint8_t(uint8_t(raw[qsizetype(y * stride + 1 + x)]) + predictor);
        }
    }
    for (uint8_t& v : rows) {
        if (colourType == 3) {
            const int r = uint8_t(palette[3 * v]), g = uint8_t(palette[3 * v + 1]);
            EXPECT_EQ(r, g);
            v = uint8_t(r);
        }
    }
    png.grey = rows;
    return png;
}

class SonagramCli : public ::testing::Test {
protected:
    // Runs kavirel-cli with the settings of a fresh user.
    Result Run(const std::vector<std::string>& args) {
        return RunCli("XDG_CONFIG_HOME=" + Quote(config.Path()), args, dir.Path());
    }

    // 1000 Hz at 8000 Hz: bin 32 of 256, one frame longer than 8000 frames.
    std::string ToneFile() {
        WavSpec layout;
        layout.rate = 8000;
        return dir.Write("tone.wav", MakeWav(layout, PcmBytes(Sine(8256, 1000, 8000), 2)));
    }

    TempDir dir;
    TempDir config;
};

} // namespace

TEST_F(SonagramCli, PrintsTheResultsTheLevelsAndTheCells) {
    // Hanning, Lfft 256, W = 8, H = 128: bin 32 is row 95, its neighbours 6.02
    // dB down are index 233; the tone's peak is 20 log10(10000 x 256 / 4) dB
    // and every frame's level 10 log10(10000^2 x 3/16) dB.
    const Result r = Run({"sonagram", ToneFile(), "--start", "0", "--end", "8000", "--lfft", "256",
                          "--lwdw", "256", "--window", "2", "--fmax", "4000", "--range", "70",
                          "--screen-width", "16", "--cells"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 7u + 8u + 128u);
    ASSERT_EQ(lines[0].rfind("dBMax\t", 0), 0u);
    EXPECT_NEAR(std::stod(lines[0].substr(6)), 116.1236, 0.001);
    EXPECT_EQ(lines[1], "Floor\t46");
    EXPECT_EQ(lines[2], "Fmax\t4000");
    EXPECT_EQ(lines[3], "W\t8");
    EXPECT_EQ(lines[4], "H\t128");
    ASSERT_EQ(lines[5].rfind("LevelMin\t", 0), 0u);
    ASSERT_EQ(lines[6].rfind("LevelMax\t", 0), 0u);
    const double low = std::stod(lines[5].substr(9));
    const double high = std::stod(lines[6].substr(9));
    for (int i = 0; i < 8; ++i) {
        const std::string& line = lines[7 + i];
        ASSERT_EQ(line.rfind(std::to_string(i) + "\t", 0), 0u) << line;
        const double level = std::stod(line.substr(line.find('\t') + 1));
        EXPECT_NEAR(level, 72.7300, 0.01);
        EXPECT_GE(level, low);
        EXPECT_LE(level, high);
    }
    for (int y = 0; y < 128; ++y) {
        const std::string row = y == 95              ? "255 255 255 255 255 255 255 255"
                                : y == 94 || y == 96 ? "233 233 233 233 233 233 233 233"
                                                     : "0 0 0 0 0 0 0 0";
        EXPECT_EQ(lines[15 + y], row) << "row " << y;
    }

    // Without --cells the levels end the output.
    const Result plain = Run({"sonagram", ToneFile(), "--start", "0", "--end", "8000", "--lfft",
                              "256", "--screen-width", "16"});
    EXPECT_EQ(Lines(plain.out).size(), 7u + 8u);
}

TEST_F(SonagramCli, ParametersNotGivenComeFromTheSettings) {
    // A new user: Lfft 1024 and Fmax 8000 Hz, lowered to 4000 Hz at this rate;
    // the screen 1024 pixels wide.
    const Result fresh = Run({"sonagram", ToneFile(), "--start", "0", "--end", "8000"});
    ASSERT_EQ(fresh.code, 0) << fresh.err;
    std::vector<std::string> lines = Lines(fresh.out);
    EXPECT_EQ(lines[2], "Fmax\t4000");
    EXPECT_EQ(lines[3], "W\t512");
    EXPECT_EQ(lines[4], "H\t512");
    EXPECT_EQ(lines.size(), 7u + 512u);

    std::filesystem::create_directories(config.Path() + "/TOLQ");
    std::ofstream(config.Path() + "/TOLQ/Kavirel.conf")
        << "[Son]\nLfft=512\nLwdw=512\nFmax=2000\nRange=50\n";
    const Result saved = Run({"sonagram", ToneFile(), "--start", "0", "--end", "8000"});
    ASSERT_EQ(saved.code, 0) << saved.err;
    lines = Lines(saved.out);
    EXPECT_EQ(lines[2], "Fmax\t2000");
    EXPECT_EQ(lines[4], "H\t128");
    const double dBMax = std::stod(lines[0].substr(6));
    EXPECT_EQ(lines[1], "Floor\t" + std::to_string(int(dBMax - 50)));
}

TEST_F(SonagramCli, PngShowsTheCellsInGrey) {
    // Two tones: 500 Hz (bin 16) in the first half, 2000 Hz (bin 64) after.
    std::vector<int32_t> values = Sine(4000, 500, 8000);
    const std::vector<int32_t> high = Sine(4256, 2000, 8000);
    values.insert(values.end(), high.begin(), high.end());
    WavSpec layout;
    layout.rate = 8000;
    const std::string wav = dir.Write("two.wav", MakeWav(layout, PcmBytes(values, 2)));
    const std::string png = dir.Path() + "/son.png";
    const Result r =
        Run({"sonagram", wav, "--start", "0", "--end", "8000", "--lfft", "256", "--lwdw", "256",
             "--window", "2", "--fmax", "3000", "--screen-width", "20", "--cells", "--png", png});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines[3], "W\t10");
    ASSERT_EQ(lines[4], "H\t96");
    ASSERT_EQ(lines.size(), 7u + 10u + 96u);

    const Png image = ReadPng(png);
    ASSERT_EQ(image.width, 10);
    ASSERT_EQ(image.height, 96);
    // White on no sound, black on the loudest cell, and each cell's grey
    // 255 - its colour index.
    for (int y = 0; y < 96; ++y) {
        std::istringstream row(lines[17 + y]);
        for (int x = 0; x < 10; ++x) {
            int index = -1;
            row >> index;
            ASSERT_EQ(image.grey[y * 10 + x], 255 - index) << x << " " << y;
        }
    }
    EXPECT_EQ(image.grey[(95 - 16) * 10 + 0], 0);   // the low tone, first column
    EXPECT_EQ(image.grey[(95 - 64) * 10 + 9], 0);   // the high tone, last column
    EXPECT_EQ(image.grey[(95 - 64) * 10 + 0], 255); // not yet sounding
}

TEST_F(SonagramCli, EmptyImagesTellWhatIsMissing) {
    const std::string png = dir.Path() + "/none.png";
    const Result noRows = Run({"sonagram", ToneFile(), "--start", "0", "--end", "8000", "--fmax",
                               "0", "--screen-width", "16", "--cells"});
    EXPECT_EQ(noRows.code, 0);
    std::vector<std::string> lines = Lines(noRows.out);
    EXPECT_EQ(lines[4], "H\t0");
    EXPECT_EQ(lines.size(), 7u + 8u); // the level curve, no cells

    const Result noImage = Run({"sonagram", ToneFile(), "--start", "0", "--end", "8000", "--fmax",
                                "0", "--screen-width", "16", "--png", png});
    EXPECT_EQ(noImage.code, 1);
    EXPECT_EQ(noImage.err, "The sonagram has 8 x 0 cells: " + png + " is not written\n");
    EXPECT_FALSE(std::filesystem::exists(png));

    // An FFT longer than the whole file reads zeros past its end.
    WavSpec layout;
    layout.rate = 8000;
    const std::string shortFile =
        dir.Write("short.wav", MakeWav(layout, PcmBytes(Sine(100, 1000, 8000), 2)));
    const Result longFft = Run({"sonagram", shortFile, "--start", "0", "--end", "100", "--lfft",
                                "1024", "--fmax", "4000", "--screen-width", "16"});
    EXPECT_EQ(longFft.code, 0) << longFft.err;
    EXPECT_EQ(Lines(longFft.out)[4], "H\t512");
}

TEST_F(SonagramCli, RefusesEmptyRangesHugeImagesAndBadOptions) {
    const std::string tone = ToneFile();
    for (const auto& [start, end] :
         {std::pair<const char*, const char*>{"100", "100"}, {"0.1s", "800"}}) {
        const Result r = Run({"sonagram", tone, "--start", start, "--end", end});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "You have to define a task!\n");
    }

    // 8192 columns by 524288 rows would take some 24 GB.
    const Result huge = Run({"sonagram", tone, "--start", "0", "--end", "8000", "--lfft", "1048576",
                             "--fmax", "4000", "--screen-width", "16384"});
    EXPECT_EQ(huge.code, 1);
    EXPECT_EQ(huge.out, "");
    EXPECT_EQ(huge.err.rfind("This sonagram needs 24592 MB of memory, more than the ", 0), 0u)
        << huge.err;

    const Result channel =
        Run({"sonagram", tone, "--start", "0", "--end", "8000", "--channel", "1"});
    EXPECT_EQ(channel.code, 64);
    EXPECT_NE(channel.err.find("--channel must lie between 0 and 0"), std::string::npos);
    const Result beyond = Run({"sonagram", tone, "--start", "0", "--end", "8257"});
    EXPECT_EQ(beyond.code, 64);
    EXPECT_NE(beyond.err.find("frame 8256"), std::string::npos);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--start", "0"},
          {"--end", "100"},
          {"--start", "0", "--end", "100", "--lfft", "1000"},
          {"--start", "0", "--end", "100", "--lfft", "8"},
          {"--start", "0", "--end", "100", "--lfft", "4294967312"}, // 2^32 + 16
          {"--start", "0", "--end", "100", "--lwdw", "0"},
          {"--start", "0", "--end", "100", "--range", "0"},
          {"--start", "0", "--end", "100", "--fmax", "-1"},
          {"--start", "-1", "--end", "100"},
          {"--start", "0", "--end", "100", "--screen-width", "0"}}) {
        std::vector<std::string> args = {"sonagram", tone};
        args.insert(args.end(), bad.begin(), bad.end());
        const Result r = Run(args);
        EXPECT_EQ(r.code, 64) << bad.back();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("usage: kavirel-cli sonagram FILE"), std::string::npos);
    }

    // Raw files take their format as every command does.
    const std::string raw = dir.Write("tone.pcm", PcmBytes(Sine(2000, 1000, 8000), 2));
    const Result r = Run({"sonagram", raw, "--start", "0", "--end", "1000", "--raw",
                          "8000,1,2,0,LSB", "--lfft", "256", "--screen-width", "16"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Run({"sonagram", raw, "--start", "0", "--end", "1000"}).code, 2);
}

TEST_F(SonagramCli, APngIsWrittenWholeOrNotAtAllAndNeverOverTheSound) {
    // Noise: its picture does not compress to less than the full disk takes.
    std::vector<int32_t> noise(8256);
    uint32_t seed = 12345;
    for (int32_t& v : noise) {
        seed = seed * 1664525u + 1013904223u;
        v = int32_t(seed >> 17) - 16384;
    }
    WavSpec layout;
    layout.rate = 8000;
    const std::string tone = dir.Write("tone.wav", MakeWav(layout, PcmBytes(noise, 2)));
    const Bytes sound = ReadFileBytes(tone);
    const std::string old = dir.Write("old.png", Bytes{'k', 'e', 'e', 'p'});
    const std::vector<std::string> args = {"sonagram", tone,   "--start",        "0",
                                           "--end",    "8000", "--fmax",         "4000",
                                           "--lfft",   "256",  "--screen-width", "1024"};
    const struct {
        const char* what;
        std::string environment; // a shell prefix for the run
        std::string target;
    } cases[] = {
        {"a device", "", "/dev/full"},
        {"the sound file itself", "", tone},
        // A disk that takes only the first kilobytes: the old picture stays.
        {"a full disk", "trap '' XFSZ; ulimit -f 2;", old},
        {"a missing folder", "", dir.Path() + "/missing/son.png"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> withPng = args;
        withPng.insert(withPng.end(), {"--png", c.target});
        const Result r =
            RunCli(c.environment + " XDG_CONFIG_HOME=" + Quote(config.Path()), withPng, dir.Path());
        EXPECT_EQ(r.code, 1) << c.what;
        EXPECT_NE(r.err.find(c.target), std::string::npos) << c.what << ": " << r.err;
    }
    EXPECT_EQ(ReadFileBytes(tone), sound);
    EXPECT_EQ(ReadFileBytes(old), (Bytes{'k', 'e', 'e', 'p'}));
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"old.png", "stderr.txt", "tone.wav"}));

    // And a good run replaces the old picture.
    std::vector<std::string> withPng = args;
    withPng.insert(withPng.end(), {"--png", old});
    EXPECT_EQ(Run(withPng).code, 0);
    EXPECT_EQ(ReadPng(old).width, 512);
}

TEST_F(SonagramCli, ASettingsFileThatIsAPipeIsNotWaitedOn) {
    std::filesystem::create_directories(config.Path() + "/TOLQ");
    ASSERT_EQ(::mkfifo((config.Path() + "/TOLQ/Kavirel.conf").c_str(), 0600), 0);
    // timeout: a run that waits for a writer fails instead of hanging the tests.
    const Result r = RunCli("XDG_CONFIG_HOME=" + Quote(config.Path()) + " timeout 20",
                            {"note", "440"}, dir.Path());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "A4+0Cent\n");
    EXPECT_NE(r.err.find("is not a regular file"), std::string::npos) << r.err;
}

TEST_F(SonagramCli, MapAxisAndFramesChooseThePictureAndAreChecked) {
    const std::vector<std::string> base = {
        "sonagram", ToneFile(), "--start",  "0", "--end",  "8000", "--lfft",         "256",
        "--lwdw",   "256",      "--window", "2", "--fmax", "4000", "--screen-width", "16"};
    const auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = base;
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    };
    // Names no map, axis or frame mode has are refused as usage errors.
    for (const auto& bad : std::vector<std::vector<std::string>>{
             {"--map", "jet"}, {"--axis", "mel"}, {"--frames", "all"}, {"--hop", "-4"}}) {
        const Result r = with(bad);
        EXPECT_EQ(r.code, 64) << bad[0] << " " << bad[1];
        EXPECT_NE(r.err.find(bad[0]), std::string::npos) << r.err;
    }

    // viridis: the palette of the PNG is the map's, darkest first.
    const std::string png = dir.Path() + "/viridis.png";
    ASSERT_EQ(with({"--map", "viridis", "--png", png}).code, 0);
    std::ifstream in(png, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t plte = b.find("PLTE");
    ASSERT_NE(plte, std::string::npos);
    EXPECT_EQ(b.substr(plte + 4, 3), std::string("\x44\x01\x54", 3));
    EXPECT_EQ(b.substr(plte + 4 + 3 * 255, 3), std::string("\xfd\xe7\x25", 3));

    // The cells in the rows of each axis: the tone (bin 32, 1000 Hz) is the
    // loudest row, 255, wherever the axis puts it; on the log axis from one
    // bin (31.25 Hz) 1 kHz lies 5 of 7 octaves up, far above the linear row 95.
    const auto toneRows = [&](const std::string& axis) {
        const std::vector<std::string> lines = Lines(with({"--axis", axis, "--cells"}).out);
        std::vector<int> rows;
        for (size_t i = lines.size() - 128, y = 0; i < lines.size(); ++i, ++y)
            if (lines[i].rfind("255 ", 0) == 0)
                rows.push_back(int(y));
        return rows;
    };
    EXPECT_EQ(toneRows("lin"), std::vector<int>{95});
    const std::vector<int> log = toneRows("log");
    ASSERT_FALSE(log.empty());
    for (int y : log)
        EXPECT_NEAR(y, 128 - 128.0 * 5 / 7, 3);
}
