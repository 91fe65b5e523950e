// Positioned reads, file status and the axis step of the file layer.
#include "support/TestFiles.h"

#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <gtest/gtest.h>
#include <thread>

TEST(TolqDsp, PositionedReadsAndStatus) {
    TempDir dir;
    Bytes bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 7);
    SfInfo info;
    info.path = dir.Write("f.bin", bytes);
    ASSERT_NE(sfopen(info, 'r'), 0);
    ASSERT_GE(info.handle, 0);

    uint8_t buf[16];
    EXPECT_EQ(sfread(info.handle, buf, 16, 500), 16);
    EXPECT_EQ(buf[0], uint8_t(500 * 7));
    EXPECT_EQ(sfread(info.handle, buf, 16, 990), 10); // short near the end
    EXPECT_EQ(buf[9], uint8_t(999 * 7));
    EXPECT_EQ(sfread(info.handle, buf, 16, 1000), 0);
    EXPECT_EQ(sfread(info.handle, buf, 16, 5000), 0);
    EXPECT_LE(sfread(info.handle, buf, 16, -1), 0);

    SfStat st;
    ASSERT_EQ(sfstat(info.handle, st), 0);
    EXPECT_EQ(st.size, 1000);
    EXPECT_GT(st.mtime, 0);
    sfclose(info.handle);
    EXPECT_EQ(sfstat(-1, st), -1);
    EXPECT_LT(sfread(-1, buf, 16, 0), 0);

    SfInfo wrongMode;
    wrongMode.path = info.path;
    EXPECT_EQ(sfopen(wrongMode, 'w'), 0);
    EXPECT_EQ(wrongMode.handle, -1);
}

TEST(TolqDsp, TwoThreadsReadOneHandle) {
    TempDir dir;
    Bytes bytes(1 << 20);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t((i >> 8) ^ i);
    SfInfo info;
    info.path = dir.Write("big.bin", bytes);
    ASSERT_NE(sfopen(info, 'r'), 0);

    auto reader = [&](size_t seed, int* faults) {
        std::vector<uint8_t> buf(4096);
        for (int n = 0; n < 2000; ++n) {
            const size_t at = (seed * 7919 + size_t(n) * 104729) % (bytes.size() - buf.size());
            if (sfread(info.handle, buf.data(), int64_t(buf.size()), int64_t(at)) != 4096 ||
                !std::equal(buf.begin(), buf.end(), bytes.begin() + long(at)))
                ++*faults;
        }
    };
    int faultsA = 0, faultsB = 0;
    std::thread a(reader, 1, &faultsA), b(reader, 2, &faultsB);
    a.join();
    b.join();
    EXPECT_EQ(faultsA, 0);
    EXPECT_EQ(faultsB, 0);
    sfclose(info.handle);
}
