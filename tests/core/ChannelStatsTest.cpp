// Minimum, maximum and square sums per channel: every sample coding, through
// the in-place and the decoding loops, against a plain sum over the values.
#include "support/TestFiles.h"

#include "soundfile/ChannelStats.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct Coding {
    const char* name;
    int bps;
    bool big;
    bool signed8;
    int32_t lowest, highest;
};

// Stored bytes of interleaved values, each frame followed by padding bytes.
Bytes Stored(const std::vector<int32_t>& values, const Coding& c, int channels, int padding) {
    Bytes out;
    for (size_t i = 0; i < values.size(); ++i) {
        // Signed 8-bit samples are stored as they are; PcmBytes offsets them.
        const Bytes sample =
            c.signed8 ? Bytes{uint8_t(int8_t(values[i]))} : PcmBytes({values[i]}, c.bps, c.big);
        out.insert(out.end(), sample.begin(), sample.end());
        if ((i + 1) % size_t(channels) == 0)
            out.insert(out.end(), size_t(padding), 0xA5);
    }
    return out;
}

} // namespace

TEST(ChannelStats, EveryCodingMatchesAPlainScan) {
    const Coding codings[] = {
        {"8-bit offset", 1, false, false, -128, 127},
        {"8-bit signed", 1, false, true, -128, 127},
        {"16-bit", 2, false, false, -32768, 32767},
        {"16-bit big-endian", 2, true, false, -32768, 32767},
        {"24-bit", 3, false, false, -8388608, 8388607},
        {"24-bit big-endian", 3, true, false, -8388608, 8388607},
        {"32-bit", 4, false, false, INT32_MIN, INT32_MAX},
        {"32-bit big-endian", 4, true, false, INT32_MIN, INT32_MAX},
    };
    for (const Coding& coding : codings) {
        for (int channels : {1, 2, 3}) {
            for (int padding : {0, 1}) {
                // Long enough for the vector loops and their tails, with both
                // extremes of the width in every channel.
                uint32_t seed = 11;
                std::vector<int32_t> values;
                const int frames = 1001;
                for (int i = 0; i < frames * channels; ++i) {
                    seed = seed * 1103515245u + 12345u;
                    const int64_t span = int64_t(coding.highest) - coding.lowest + 1;
                    int32_t v = int32_t(coding.lowest + int64_t(seed) % span);
                    if (i / channels == 17)
                        v = coding.lowest;
                    if (i / channels == 999)
                        v = coding.highest;
                    values.push_back(v);
                }
                SampleCoding sc;
                sc.bytesPerSample = coding.bps;
                sc.bigEndian = coding.big;
                sc.signed8 = coding.signed8;
                const int align = channels * coding.bps + padding;
                const Bytes bytes = Stored(values, coding, channels, padding);
                ChannelStats stats(sc, channels, align);
                // In two runs, as the overview reads a long column.
                stats.Add(bytes.data(), 600);
                stats.Add(bytes.data() + 600 * size_t(align), size_t(frames - 600));
                ASSERT_EQ(stats.Frames(), size_t(frames));
                for (int c = 0; c < channels; ++c) {
                    int32_t mn = INT32_MAX, mx = INT32_MIN;
                    long double squares = 0;
                    for (int f = 0; f < frames; ++f) {
                        const int32_t v = values[size_t(f * channels + c)];
                        mn = std::min(mn, v);
                        mx = std::max(mx, v);
                        squares += (long double)v * v;
                    }
                    const auto where = ::testing::Message()
                                       << coding.name << ", " << channels << " channels, padding "
                                       << padding << ", channel " << c;
                    EXPECT_EQ(stats.Min(c), mn) << where;
                    EXPECT_EQ(stats.Max(c), mx) << where;
                    EXPECT_NEAR(double(stats.Squares(c) / squares), 1.0, 1e-12) << where;
                }
                stats.Reset();
                EXPECT_EQ(stats.Min(0), 0);
                EXPECT_EQ(stats.Squares(0), 0.0L);
            }
        }
    }
}

TEST(ChannelStats, SamplesAtAnOddAddress) {
    // 16-bit samples one byte into a buffer, as a caller may hand them over.
    const std::vector<int32_t> values = {-32768, 5, 32767, -7, 300, -300, 12, 0, 1, -1};
    const Bytes stored = PcmBytes(values, 2);
    Bytes shifted(1, 0);
    shifted.insert(shifted.end(), stored.begin(), stored.end());
    SampleCoding coding;
    for (int channels : {1, 2}) {
        ChannelStats aligned(coding, channels, 2 * channels), odd(coding, channels, 2 * channels);
        aligned.Add(stored.data(), values.size() / size_t(channels));
        odd.Add(shifted.data() + 1, values.size() / size_t(channels));
        for (int c = 0; c < channels; ++c) {
            EXPECT_EQ(odd.Min(c), aligned.Min(c)) << channels;
            EXPECT_EQ(odd.Max(c), aligned.Max(c)) << channels;
            EXPECT_EQ(odd.Squares(c), aligned.Squares(c)) << channels;
        }
    }
}
