// Conversion of stored samples to numbers, reading channels and ranges, levels.
#include "support/TestFiles.h"

#include "soundfile/OpenHead.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// An open raw file with the given format.
struct RawFile {
    SfInfo info;
    RawFile(const std::string& path, int channels, int bps, bool bigEndian, int64_t offset = 0) {
        info.path = path;
        EXPECT_TRUE(sfopen(info, 'r'));
        info.channels = channels;
        info.bytesPerSample = bps;
        info.blockAlign = channels * bps;
        info.dataOffset = offset;
        SfStat st;
        sfstat(info.handle, st);
        info.frames = uint32_t((st.size - offset) / info.blockAlign);
        info.flags = bigEndian ? 5 : 1;
    }
    ~RawFile() { sfclose(info.handle); }
};

} // namespace

TEST(SampleAccess, EveryWidthInBothByteOrders) {
    TempDir dir;
    const std::vector<std::vector<int32_t>> values = {
        {-128, -1, 0, 1, 127},
        {-32768, -1, 0, 1, 32767},
        {-8388608, -1, 0, 1, 8388607, -65536},
        {INT32_MIN, -1, 0, 1, INT32_MAX, -65536},
    };
    for (int bps = 1; bps <= 4; ++bps) {
        for (bool big : {false, true}) {
            const auto& v = values[size_t(bps - 1)];
            RawFile f(dir.Write("s.raw", PcmBytes(v, bps, big && bps > 1)), 1, bps, big);
            std::vector<float> out(v.size());
            ASSERT_EQ(ReadSamples(f.info, out.data(), uint32_t(v.size()), 0, 0), v.size());
            for (size_t i = 0; i < v.size(); ++i)
                EXPECT_EQ(out[i], float(v[i])) << "bps " << bps << " big " << big << " i " << i;
        }
    }
}

TEST(SampleAccess, ByteSwapping) {
    uint8_t two[] = {1, 2, 3, 4};
    SwapSamples(two, 2, 2);
    EXPECT_EQ(std::vector<uint8_t>(two, two + 4), (std::vector<uint8_t>{2, 1, 4, 3}));
    uint8_t three[] = {1, 2, 3, 4, 5, 6};
    SwapSamples(three, 2, 3);
    EXPECT_EQ(std::vector<uint8_t>(three, three + 6), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
    uint8_t four[] = {1, 2, 3, 4};
    SwapSamples(four, 1, 4);
    EXPECT_EQ(std::vector<uint8_t>(four, four + 4), (std::vector<uint8_t>{4, 3, 2, 1}));
    uint8_t one[] = {1, 2};
    SwapSamples(one, 2, 1);
    EXPECT_EQ(one[0], 1);
}

TEST(SampleAccess, ChannelsRangesAndTheEndOfTheFile) {
    TempDir dir;
    // Stereo 32-bit: channel 0 counts up, channel 1 counts down.
    std::vector<int32_t> v;
    for (int i = 0; i < 100; ++i) {
        v.push_back(i);
        v.push_back(-i * 1000);
    }
    RawFile f(dir.Write("st.raw", PcmBytes(v, 4)), 2, 4, false);
    std::vector<float> out(100, 7.0f);
    ASSERT_EQ(ReadSamples(f.info, out.data(), 100, 0, 1), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(out[size_t(i)], float(-i * 1000));

    // Ten frames before the end with a count of 100: ten values, then zeros.
    std::fill(out.begin(), out.end(), 7.0f);
    ASSERT_EQ(ReadSamples(f.info, out.data(), 100, 90, 0), 10u);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(out[size_t(i)], float(90 + i));
    for (int i = 10; i < 100; ++i)
        EXPECT_EQ(out[size_t(i)], 0.0f);

    // Past the end, and a channel the file does not have: nothing read, all zero.
    std::fill(out.begin(), out.end(), 7.0f);
    EXPECT_EQ(ReadSamples(f.info, out.data(), 100, 5000, 0), 0u);
    EXPECT_EQ(out[0], 0.0f);
    std::fill(out.begin(), out.end(), 7.0f);
    EXPECT_EQ(ReadSamples(f.info, out.data(), 10, 0, 2), 0u);
    EXPECT_EQ(out[9], 0.0f);

    // A width the program cannot read leaves the output alone.
    SfInfo odd = f.info;
    odd.bytesPerSample = 5;
    std::fill(out.begin(), out.end(), 7.0f);
    EXPECT_EQ(ReadSamples(odd, out.data(), 10, 0, 0), 0u);
    EXPECT_EQ(out[0], 7.0f);

    // The window multiplies each value read; frames past the end stay zero.
    std::vector<float> window(20, 0.5f);
    ASSERT_EQ(ReadWindowedSamples(f.info, out.data(), 20, 90, 0, window.data()), 10u);
    EXPECT_EQ(out[3], 46.5f);
    EXPECT_EQ(out[15], 0.0f);
}

TEST(SampleAccess, FloatSamplesReadLike32BitIntegers) {
    TempDir dir;
    const float samples[] = {0.5f, -0.25f, 1.0f, -1.0f, 3.0f, -7.0f, NAN, 0.0f};
    Bytes data(reinterpret_cast<const uint8_t*>(samples),
               reinterpret_cast<const uint8_t*>(samples) + sizeof samples);
    WavSpec layout;
    layout.formatTag = 3;
    layout.bytesPerSample = 4;
    SfInfo info;
    info.path = dir.Write("f.wav", MakeWav(layout, data));
    RecordingDesktop desktop;
    ASSERT_EQ(OpenAndRecognise(info, desktop), OpenOutcome::Opened);
    std::vector<float> out(8);
    ASSERT_EQ(ReadSamples(info, out.data(), 8, 0, 0), 8u);
    EXPECT_EQ(out[0], 1073741824.0f);
    EXPECT_EQ(out[1], -536870912.0f);
    EXPECT_EQ(out[2], 2147483647.0f); // clamped to the 32-bit range
    EXPECT_EQ(out[3], -2147483648.0f);
    EXPECT_EQ(out[4], 2147483647.0f);
    EXPECT_EQ(out[5], -2147483648.0f);
    EXPECT_EQ(out[6], 0.0f);
    sfclose(info.handle);
}

TEST(SampleAccess, BlockLevels) {
    BlockLevel level;
    const int16_t square[] = {1000, -1000, 1000, -1000};
    EXPECT_DOUBLE_EQ(level.Level(square, 4, 0), 1000.0);
    EXPECT_NEAR(level.Level(square, 4, 1), 60.0, 1e-12);
    const int16_t silence[] = {0, 0, 0};
    EXPECT_EQ(level.Level(silence, 3, 1), 0.0);
    EXPECT_EQ(level.Level(silence, 3, 0), 0.0);
    const float ramp[] = {1.0f, 2.0f, 3.0f};
    EXPECT_NEAR(level.Level(ramp, 3, 0), std::sqrt(14.0 / 3.0), 1e-12);
    EXPECT_NEAR(level.Level(ramp, 3, 2), 10.0 * std::log10(14.0 / 3.0), 1e-12);
}

TEST(SampleAccess, FloatEdgesDecodeAsTheirScaledTruncation) {
    // Each value as it was first defined: times 2^31 in double precision,
    // NaN 0, clamped to the 32-bit range, then truncated.
    const auto reference = [](float f) {
        const double v = double(f) * 2147483648.0;
        if (!(v == v))
            return 0;
        if (v >= 2147483647.0)
            return INT32_MAX;
        if (v <= -2147483648.0)
            return INT32_MIN;
        return int32_t(v);
    };
    const float edges[] = {0.5f,    -0.25f,        1.0f,           -1.0f,           3.0f,
                           -7.0f,   NAN,           -NAN,           INFINITY,        -INFINITY,
                           0.0f,    -0.0f,         0.99999994f,    -0.99999994f,    1e-45f,
                           -1e-45f, 4.656613e-10f, 6.9849193e-10f, -6.9849193e-10f, 1e38f,
                           -1e38f,  0.33333334f,   -0.7f};
    const size_t n = sizeof edges / sizeof edges[0];
    for (bool big : {false, true}) {
        // The whole run (blocks and the rest), and each value alone.
        Bytes stored(reinterpret_cast<const uint8_t*>(edges),
                     reinterpret_cast<const uint8_t*>(edges) + sizeof edges);
        if (big)
            SwapSamples(stored.data(), n, 4);
        SampleCoding coding;
        coding.bytesPerSample = 4;
        coding.bigEndian = big;
        coding.ieeeFloat = true;
        std::vector<int32_t> run(n), alone(1);
        DecodeFrames(coding, 1, 4, stored.data(), n, run.data());
        for (size_t i = 0; i < n; ++i) {
            DecodeFrames(coding, 1, 4, stored.data() + 4 * i, 1, alone.data());
            EXPECT_EQ(run[i], reference(edges[i])) << edges[i] << (big ? " big-endian" : "");
            EXPECT_EQ(alone[0], reference(edges[i])) << edges[i] << (big ? " big-endian" : "");
        }
    }
}
