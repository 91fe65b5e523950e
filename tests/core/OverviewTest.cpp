// The whole-file overview: its layout, the values it holds, and its cache.
#include "support/TestFiles.h"

#include "soundfile/OpenHead.h"
#include "soundfile/Overview.h"
#include "soundfile/OverviewCache.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"
#include "soundfile/TolqDsp.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

namespace {

class Overview : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_CACHE_HOME", cacheHome.Path().c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_CACHE_HOME"); }

    std::unique_ptr<CSfHead> Open(const std::string& path) {
        desktop = RecordingDesktop{};
        return OpenHeadFile(path, desktop, screenWidth);
    }

    static void SetMtime(const std::string& path, time_t t) {
        utimbuf times{t, t};
        ASSERT_EQ(::utime(path.c_str(), &times), 0);
    }

    TempDir dir;
    TempDir cacheHome;
    int screenWidth = 8;
    RecordingDesktop desktop;
};

double LevelOf(const std::vector<int32_t>& xs) {
    long double s = 0;
    for (int32_t x : xs)
        s += (long double)x * x;
    return s > 0 ? double(10.0L * std::log10(s / xs.size())) : 0.0;
}

} // namespace

TEST_F(Overview, StereoLayoutEnvelopeAndLevels) {
    // 80 stereo frames: channel 0 counts up, channel 1 down. W = 8 columns of
    // 10 frames, 16 level blocks of 5 frames.
    std::vector<int32_t> v;
    for (int i = 0; i < 80; ++i) {
        v.push_back(i * 100);
        v.push_back(-i * 100);
    }
    WavSpec layout;
    layout.channels = 2;
    auto head = Open(dir.Write("st.wav", MakeWav(layout, PcmBytes(v, 2))));
    ASSERT_TRUE(head);
    const std::vector<float>& o = head->Info().overview;
    ASSERT_EQ(o.size(), 4u * 8u * 2u);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(o[size_t(2 * k)], float((10 * k + 9) * 100)) << k; // (maximum, minimum)
        EXPECT_EQ(o[size_t(2 * k + 1)], float(10 * k * 100)) << k;
        EXPECT_EQ(o[size_t(16 + 2 * k)], float(-10 * k * 100)) << k;
        EXPECT_EQ(o[size_t(16 + 2 * k + 1)], float(-(10 * k + 9) * 100)) << k;
    }
    for (int k = 0; k < 16; ++k) {
        std::vector<int32_t> block;
        for (int i = 5 * k; i < 5 * k + 5; ++i)
            block.push_back(i * 100);
        // The first channel's levels follow directly after the second channel's envelope.
        EXPECT_NEAR(o[size_t(32 + k)], LevelOf(block), 1e-4) << k;
        EXPECT_NEAR(o[size_t(48 + k)], LevelOf(block), 1e-4) << k;
    }
    EXPECT_EQ(head->Info().overviewMethod, kOverviewWav);
    EXPECT_EQ(desktop.waitDepth, 0);
}

TEST_F(Overview, PairOrderSilenceAndProgress) {
    // 8-bit pairs are (minimum, maximum) with the offset of 128 taken off.
    std::vector<int32_t> v;
    for (int i = 0; i < 32; ++i)
        v.push_back(i % 4 == 0 ? -100 : (i % 4 == 1 ? 50 : 0));
    WavSpec layout;
    layout.bytesPerSample = 1;
    auto head = Open(dir.Write("b8.wav", MakeWav(layout, PcmBytes(v, 1))));
    ASSERT_TRUE(head);
    EXPECT_EQ(head->Info().overview[0], -100.0f);
    EXPECT_EQ(head->Info().overview[1], 50.0f);

    const std::vector<std::string> expected = {
        "Prepare Wav 12%", "Prepare Wav 25%", "Prepare Wav 37%", "Prepare Wav 50%",
        "Prepare Wav 62%", "Prepare Wav 75%", "Prepare Wav 87%", "Prepare Rms 6%",
        "Prepare Rms 12%", "Prepare Rms 18%", "Prepare Rms 25%", "Prepare Rms 31%",
        "Prepare Rms 37%", "Prepare Rms 43%", "Prepare Rms 50%", "Prepare Rms 56%",
        "Prepare Rms 62%", "Prepare Rms 68%", "Prepare Rms 75%", "Prepare Rms 81%",
        "Prepare Rms 87%", "Prepare Rms 93%"};
    EXPECT_EQ(desktop.infoTexts, expected);

    // Digital silence has level 0, not minus infinity.
    auto quiet = Open(dir.Write("q.wav", MakeWav(WavSpec{}, Bytes(64, 0))));
    ASSERT_TRUE(quiet);
    for (float x : quiet->Info().overview)
        EXPECT_EQ(x, 0.0f);
}

TEST_F(Overview, BigEndian24BitAndShortFiles) {
    // Big-endian 24-bit AIFF: every block converts exactly.
    std::vector<int32_t> v;
    for (int i = 0; i < 16; ++i)
        v.push_back(i % 2 ? 8388607 - i : -8388608 + i);
    auto head = Open(dir.Write("b.aif", MakeAiff(1, 24, 0x400E, 0xAC44, PcmBytes(v, 3, true))));
    ASSERT_TRUE(head);
    const std::vector<float>& o = head->Info().overview;
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(o[size_t(2 * k)], float(8388607 - (2 * k + 1))) << k;
        EXPECT_EQ(o[size_t(2 * k + 1)], float(-8388608 + 2 * k)) << k;
    }

    // Fewer frames than columns: each column shows the frame at its place.
    auto tiny = Open(dir.Write("t.wav", MakeWav(WavSpec{}, PcmBytes({100, 200, 300}, 2))));
    ASSERT_TRUE(tiny);
    const std::vector<float>& t = tiny->Info().overview;
    const float expectedColumn[] = {100, 100, 100, 200, 200, 200, 300, 300};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(t[size_t(2 * k)], expectedColumn[k]) << k;
    EXPECT_NEAR(t[16], 40.0, 1e-5); // a single frame of 100: 10 log10(100^2)
}

TEST_F(Overview, CacheIsReusedOnlyWhileItMatches) {
    std::vector<int32_t> v;
    for (int i = 0; i < 64; ++i)
        v.push_back((i * 37) % 200 - 100);
    const std::string path = dir.Write("c.wav", MakeWav(WavSpec{}, PcmBytes(v, 2)));
    SetMtime(path, 1700000000);
    const std::string cache = OverviewCachePath(path);
    EXPECT_EQ(cache, dir.Path() + "/c.sfv");

    auto first = Open(path);
    ASSERT_TRUE(first);
    EXPECT_FALSE(desktop.infoTexts.empty());
    const std::vector<float> computed = first->Info().overview;

    // The cache, byte by byte.
    const Bytes bytes = ReadFileBytes(cache);
    ASSERT_EQ(bytes.size(), 24u + 32u * 4u);
    Bytes header;
    AppendId(header, "SFV1");
    AppendLe32(header, 1700000000);
    AppendLe32(header, 32);
    AppendLe32(header, 32795);
    AppendLe32(header, 44);
    AppendLe32(header, 3);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 24), header);
    float f3;
    std::memcpy(&f3, bytes.data() + 24 + 12, 4);
    EXPECT_EQ(f3, computed[3]);

    // Reopened unchanged: read from the cache, no progress.
    auto second = Open(path);
    ASSERT_TRUE(second);
    EXPECT_TRUE(desktop.infoTexts.empty());
    EXPECT_EQ(second->Info().overview, computed);

    // Touched file, other screen width, cut payload: each rebuilds.
    SetMtime(path, 1700000100);
    ASSERT_TRUE(Open(path));
    EXPECT_FALSE(desktop.infoTexts.empty());
    screenWidth = 9;
    ASSERT_TRUE(Open(path));
    EXPECT_FALSE(desktop.infoTexts.empty());
    ASSERT_TRUE(Open(path));
    EXPECT_TRUE(desktop.infoTexts.empty());
    Bytes cut = ReadFileBytes(cache);
    cut.resize(cut.size() - 4);
    dir.Write("c.sfv", cut);
    ASSERT_TRUE(Open(path));
    EXPECT_FALSE(desktop.infoTexts.empty());
    // Cut short, the file is no longer provably a cache: it is left as it
    // is, and the new cache goes to the cache folder.
    EXPECT_EQ(ReadFileBytes(cache), cut);
    EXPECT_EQ(ReadFileBytes(FallbackCachePath(path)).size(), 24u + 36u * 4u);
}

TEST_F(Overview, CacheChecksDataOffsetAndFlags) {
    const std::string path = dir.Write("d.wav", MakeWav(WavSpec{}, Bytes(64, 1)));
    ASSERT_TRUE(Open(path));
    const Bytes good = ReadFileBytes(OverviewCachePath(path));
    for (int field : {16, 20}) {
        Bytes changed = good;
        changed[size_t(field)] ^= 0x40;
        dir.Write("d.sfv", changed);
        ASSERT_TRUE(Open(path));
        EXPECT_FALSE(desktop.infoTexts.empty()) << field;
    }
    // No temporary files are left beside the cache.
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        entries += e.is_regular_file();
    EXPECT_EQ(entries, 2);
}

TEST_F(Overview, MethodWordComesBackWithTheFile) {
    const std::string path = dir.Write("m.wav", MakeWav(WavSpec{}, Bytes(64, 3)));
    {
        auto head = Open(path);
        ASSERT_TRUE(head);
        head->Info().overviewMethod = kOverviewRms;
        SaveOverviewMethod(head->Info());
    }
    auto again = Open(path);
    ASSERT_TRUE(again);
    EXPECT_TRUE(desktop.infoTexts.empty());
    EXPECT_EQ(again->Info().overviewMethod, kOverviewRms);

    // A cache whose method word is unknown loads as Wav and still takes the
    // next method change.
    Bytes cache = ReadFileBytes(OverviewCachePath(path));
    cache[12] = 0x1b;
    cache[14] = 0x80;
    std::ofstream(OverviewCachePath(path), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(cache.data()), std::streamsize(cache.size()));
    {
        auto unknown = Open(path);
        ASSERT_TRUE(unknown);
        EXPECT_EQ(unknown->Info().overviewMethod, kOverviewWav);
        unknown->Info().overviewMethod = kOverviewRms;
        SaveOverviewMethod(unknown->Info());
    }
    EXPECT_EQ(Open(path)->Info().overviewMethod, kOverviewRms);

    // Without a cache the method change leaves a 16-byte file that fails the
    // magic test, so the next open rebuilds with the waveform method.
    std::filesystem::remove(OverviewCachePath(path));
    again->Info().overviewMethod = kOverviewRms;
    SaveOverviewMethod(again->Info());
    Bytes expected(12, 0);
    AppendLe32(expected, 32794);
    EXPECT_EQ(ReadFileBytes(OverviewCachePath(path)), expected);
    auto rebuilt = Open(path);
    ASSERT_TRUE(rebuilt);
    EXPECT_FALSE(desktop.infoTexts.empty());
    EXPECT_EQ(rebuilt->Info().overviewMethod, kOverviewWav);
}

TEST(OverviewCachePath, ReplacesOrAddsTheExtension) {
    EXPECT_EQ(OverviewCachePath("/a/b/x.wav"), "/a/b/x.sfv");
    EXPECT_EQ(OverviewCachePath("/a/b.d/x"), "/a/b.d/x.sfv");
    EXPECT_EQ(OverviewCachePath("/a/.hidden"), "/a/.hidden.sfv");
    EXPECT_EQ(OverviewCachePath("x.tar.aiff"), "x.tar.sfv");
}

TEST_F(Overview, LongColumnsMatchAPlainScan) {
    // Columns long enough for the vectorised loops, with full-scale values
    // (-32768 squared twice is exactly 2^31) and odd frame counts per column.
    for (int channels : {1, 2, 3}) {
        uint32_t seed = 7;
        std::vector<int32_t> v;
        const int frames = 5003;
        for (int i = 0; i < frames * channels; ++i) {
            seed = seed * 1103515245u + 12345u;
            v.push_back(i % 97 == 0 ? -32768 : int32_t(int16_t(seed >> 16)));
        }
        WavSpec layout;
        layout.channels = uint16_t(channels);
        auto head = Open(dir.Write("long.wav", MakeWav(layout, PcmBytes(v, 2))));
        ASSERT_TRUE(head);
        const std::vector<float>& o = head->Info().overview;
        const int F = frames / 8, G = 16, FB = frames / G;
        for (int c = 0; c < channels; ++c) {
            for (int k = 0; k < 8; ++k) {
                int32_t mn = INT32_MAX, mx = INT32_MIN;
                for (int f = k * F; f < (k + 1) * F; ++f) {
                    mn = std::min(mn, v[size_t(f * channels + c)]);
                    mx = std::max(mx, v[size_t(f * channels + c)]);
                }
                EXPECT_EQ(o[size_t(c * 16 + 2 * k)], float(mx)) << channels << " " << c << " " << k;
                EXPECT_EQ(o[size_t(c * 16 + 2 * k + 1)], float(mn)) << channels << " " << c;
            }
            for (int k = 0; k < G; ++k) {
                std::vector<int32_t> block;
                for (int f = k * FB; f < (k + 1) * FB; ++f)
                    block.push_back(v[size_t(f * channels + c)]);
                EXPECT_NEAR(o[size_t(channels * 16 + c * 16 + k)], LevelOf(block), 1e-4)
                    << channels << " " << c << " " << k;
            }
        }
    }
}
