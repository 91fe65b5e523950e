// Stopping must work from every state of the player, repeatedly, without a
// hang, a leak or a device left open: these run with a device that finishes
// blocks by itself, so the worker and the device race the stop requests.
#include "PlayTestSupport.h"
#include "playback/CSfPlay.h"
#include "playback/VirtualOutput.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr auto kWait = 5000ms;

class StopTest : public ::testing::Test {
protected:
    StopTest() : sound(dir, "stop.wav", Sound()) {
        output.SetPace(200us);
        PlaySettings settings;
        settings.BlockLength = 4096;
        settings.DisplayRefresh = 1;
        SavePlaySettings(store, settings);
        player = std::make_unique<CSfPlay>(output, store, desktop);
    }

    static Bytes Sound() {
        WavSpec layout;
        return MakeWav(layout, PcmBytes(TestSignal(40000, 2, 3), 2));
    }

    bool Play(uint32_t start, uint32_t end, bool loop = false) {
        return player->PlayRange(sound.Info(), start, end, window, {}, loop) ==
               PlayOutcome::Started;
    }

    // Once stopped, nothing plays and the device is closed or dropped.
    void ExpectStopped() {
        EXPECT_FALSE(player->IsPlaying());
        EXPECT_FALSE(output.IsOpen());
    }

    TempDir dir;
    OpenedSound sound;
    VirtualOutput output;
    MemoryStore store;
    RecordingDesktop desktop;
    std::shared_ptr<RecordingWindow> window = std::make_shared<RecordingWindow>();
    std::unique_ptr<CSfPlay> player;
};

TEST_F(StopTest, WhenIdleDoesNothing) {
    player->StopPlay();
    player->StopPlay();
    ExpectStopped();
    EXPECT_EQ(output.Opens(), 0);
    EXPECT_TRUE(window->All().empty());
}

TEST_F(StopTest, RightAfterPlayRangeClosesTheDevice) {
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(Play(0, 40000));
        player->StopPlay();
        ExpectStopped();
    }
    EXPECT_EQ(output.Opens(), 20);
}

TEST_F(StopTest, WhileBlocksAreQueuedEndsWithTheDeviceClosed) {
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(Play(0, 40000, i % 2 == 1));
        ASSERT_TRUE(output.WaitQueued(size_t(2 + i % 5), kWait));
        player->StopPlay();
        ExpectStopped();
        player->StopPlay();
        EXPECT_EQ(window->Codes().back(), kPlayClosed);
    }
    EXPECT_EQ(output.Closes(), 20);
}

TEST_F(StopTest, AfterPlaybackEndedByItself) {
    ASSERT_TRUE(Play(100, 3000));
    ASSERT_TRUE(WaitIdle(*player, kWait));
    EXPECT_TRUE(output.WaitClosed(kWait));
    player->StopPlay();
    player->StopPlay();
    ExpectStopped();
    EXPECT_EQ(Joined(output.Blocks()), sound.Frames(100, 3000));
    EXPECT_EQ(window->Codes().back(), kPlayClosed);
}

TEST_F(StopTest, AfterALoopTooShortToPlay) {
    ASSERT_TRUE(Play(0, 100, true));
    player->StopPlay();
    ExpectStopped();
    EXPECT_EQ(output.Closes(), 1);
}

TEST_F(StopTest, NewRangesInQuickSuccessionLeaveOneDeviceOpen) {
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(Play(uint32_t(i * 100), 40000, i % 3 == 0));
        EXPECT_EQ(output.Opens() - output.Closes(), 1);
    }
    player->StopPlay();
    ExpectStopped();
}

TEST_F(StopTest, DestroyingThePlayerWhilePlayingStopsIt) {
    ASSERT_TRUE(Play(0, 40000, true));
    ASSERT_TRUE(output.WaitQueued(6, kWait));
    player.reset();
    EXPECT_FALSE(output.IsOpen());
    EXPECT_EQ(window->Codes().back(), kPlayClosed);
    EXPECT_TRUE(store.Has("Play", "BlockLength"));
}

TEST_F(StopTest, FromAnotherThreadThanTheOneThatStarted) {
    ASSERT_TRUE(Play(0, 40000));
    std::thread stopper([this] {
        output.WaitQueued(3, kWait);
        player->StopPlay();
    });
    stopper.join();
    ExpectStopped();
}

} // namespace
