#include "playback/PlaySettings.h"
#include "PlayTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(PlaySettings, EmptyStoreGivesTheDefaults) {
    MemoryStore store;
    const PlaySettings s = LoadPlaySettings(store);
    EXPECT_EQ(s.DeviceID, -1);
    EXPECT_EQ(s.BlockNumber, 4);
    EXPECT_EQ(s.BlockLength, 16384);
    EXPECT_EQ(s.DisplayRefresh, 50);
    EXPECT_EQ(s.PlayRatio, 100);
    EXPECT_EQ(s.EightBitSigned, 0);
    EXPECT_EQ(s.PlayWithCursor, 0);
}

TEST(PlaySettings, SaveWritesEveryValueUnderItsNameAndLoadReadsItBack) {
    MemoryStore store;
    PlaySettings s;
    s.DeviceID = 2;
    s.BlockNumber = 9;
    s.BlockLength = 65536;
    s.DisplayRefresh = 120;
    s.PlayRatio = 150;
    s.EightBitSigned = 1;
    s.PlayWithCursor = 1;
    SavePlaySettings(store, s);
    EXPECT_EQ(store.GetInt("Play", "DeviceID", 0), 2);
    EXPECT_EQ(store.GetInt("Play", "BlockNumber", 0), 9);
    EXPECT_EQ(store.GetInt("Play", "BlockLength", 0), 65536);
    EXPECT_EQ(store.GetInt("Play", "DisplayRefresh", 0), 120);
    EXPECT_EQ(store.GetInt("Play", "PlayRatio", 0), 150);
    EXPECT_EQ(store.GetInt("Play", "8BitSigned", 0), 1);
    EXPECT_EQ(store.GetInt("Play", "PlayWithCursor", 0), 1);
    const PlaySettings back = LoadPlaySettings(store);
    EXPECT_EQ(back.DeviceID, 2);
    EXPECT_EQ(back.BlockNumber, 9);
    EXPECT_EQ(back.BlockLength, 65536);
    EXPECT_EQ(back.DisplayRefresh, 120);
    EXPECT_EQ(back.PlayRatio, 150);
    EXPECT_EQ(back.EightBitSigned, 1);
    EXPECT_EQ(back.PlayWithCursor, 1);
}

TEST(PlaySettings, OutOfRangeValuesComeToTheNearestOfferedValue) {
    struct Case {
        int32_t number, length, refresh, ratio;
        int32_t wantNumber, wantLength, wantRefresh, wantRatio;
    };
    const Case cases[] = {
        {1, 5000, 0, 0, 2, 4096, 1, 10},
        {-3, 12288, -5, 5, 2, 8192, 1, 10}, // 12288 lies halfway: the smaller
        {17, 12289, 1001, 201, 16, 16384, 1000, 200},
        {1000, 3000000, 50, 100, 16, 1048576, 50, 100},
        {16, -1, 1, 10, 16, 4096, 1, 10},
        {2, 1048576, 1000, 200, 2, 1048576, 1000, 200},
    };
    for (const Case& c : cases) {
        PlaySettings s;
        s.BlockNumber = c.number;
        s.BlockLength = c.length;
        s.DisplayRefresh = c.refresh;
        s.PlayRatio = c.ratio;
        s.DeviceID = 7;
        const PlaySettings clamped = ClampPlaySettings(s);
        EXPECT_EQ(clamped.BlockNumber, c.wantNumber) << c.number;
        EXPECT_EQ(clamped.BlockLength, c.wantLength) << c.length;
        EXPECT_EQ(clamped.DisplayRefresh, c.wantRefresh) << c.refresh;
        EXPECT_EQ(clamped.PlayRatio, c.wantRatio) << c.ratio;
        EXPECT_EQ(clamped.DeviceID, 7);

        MemoryStore store;
        SavePlaySettings(store, s);
        EXPECT_EQ(LoadPlaySettings(store).BlockLength, c.wantLength);
    }
}

} // namespace
