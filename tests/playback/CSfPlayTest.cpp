#include "playback/CSfPlay.h"
#include "PlayTestSupport.h"
#include "playback/VirtualOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr auto kWait = 5000ms;

Bytes MonoWav16(size_t frames, uint32_t seed = 1) {
    WavSpec layout;
    return MakeWav(layout, PcmBytes(TestSignal(frames, 2, seed), 2));
}

Bytes StereoWav16(size_t frames) {
    WavSpec layout;
    layout.channels = 2;
    return MakeWav(layout, PcmBytes(TestSignal(2 * frames, 2, 2), 2));
}

class PlayerTest : public ::testing::Test {
protected:
    CSfPlay& Player(const PlaySettings& settings = PlaySettings()) {
        SavePlaySettings(store, settings);
        player = std::make_unique<CSfPlay>(output, store, desktop);
        return *player;
    }

    bool Play(const OpenedSound& sound, uint32_t start, uint32_t end, bool loop = false) {
        return player->PlayRange(sound.Info(), start, end, window, std::weak_ptr<PlayNotifySink>(),
                                 loop) == PlayOutcome::Started;
    }

    // Lets the device finish blocks one by one until the player is idle.
    void FinishAll() {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        while (player->IsPlaying() && std::chrono::steady_clock::now() < deadline) {
            if (!output.CompleteNext())
                std::this_thread::sleep_for(100us);
        }
        ASSERT_FALSE(player->IsPlaying());
    }

    TempDir dir;
    VirtualOutput output{1, 8};
    MemoryStore store;
    RecordingDesktop desktop;
    std::shared_ptr<RecordingWindow> window = std::make_shared<RecordingWindow>();
    std::unique_ptr<CSfPlay> player;
};

using Codes = std::vector<int>;

TEST_F(PlayerTest, OneFramePlaysOneBlockAndReportsStartQueuedDoneClosed) {
    PlaySettings settings;
    settings.DisplayRefresh = 1000;
    Player(settings);
    OpenedSound sound(dir, "one.wav", MonoWav16(100));
    ASSERT_TRUE(Play(sound, 10, 11));
    ASSERT_TRUE(output.WaitQueued(1, kWait));
    ASSERT_TRUE(window->WaitFor(kPlayQueued, kWait));
    EXPECT_TRUE(output.CompleteNext());
    FinishAll();

    EXPECT_EQ(window->Codes(), (Codes{1, 9, 9, 2, 3}));
    ASSERT_EQ(output.Blocks().size(), 1u);
    EXPECT_EQ(output.Blocks()[0], sound.Frames(10, 11));
    const std::vector<Notification> all = window->All();
    EXPECT_DOUBLE_EQ(all.front().point.position, 10.0 / 44100);
    EXPECT_DOUBLE_EQ(all.back().point.position, 11.0 / 44100);
    EXPECT_EQ(all.back().point.handle, sound.Info().handle);
    EXPECT_FALSE(output.IsOpen());
}

TEST_F(PlayerTest, RangeShorterThanABlockPlaysAsOneLastBlock) {
    Player();
    OpenedSound sound(dir, "short.wav", MonoWav16(3000));
    ASSERT_TRUE(Play(sound, 500, 1500));
    FinishAll();
    EXPECT_EQ(window->Codes(), (Codes{1, 9, 9, 2, 3}));
    ASSERT_EQ(output.Blocks().size(), 1u);
    EXPECT_EQ(output.Blocks()[0], sound.Frames(500, 1500));
    EXPECT_EQ(output.Resets(), 1);
    EXPECT_EQ(output.Closes(), 1);
}

TEST_F(PlayerTest, LongRangeStreamsThroughTheRingExactlyOnce) {
    PlaySettings settings;
    settings.BlockNumber = 3;
    settings.BlockLength = 4096;
    Player(settings);
    OpenedSound sound(dir, "long.wav", StereoWav16(20000));
    ASSERT_TRUE(Play(sound, 123, 19000));
    // The ring never holds more than BlockNumber blocks at the device.
    ASSERT_TRUE(output.WaitQueued(3, kWait));
    EXPECT_EQ(output.PendingBlocks(), 3u);
    FinishAll();

    EXPECT_EQ(Joined(output.Blocks()), sound.Frames(123, 19000));
    for (const auto& block : output.Blocks())
        EXPECT_LE(block.size(), 4096u);
    const Codes codes = window->Codes();
    EXPECT_EQ(Codes(codes.begin(), codes.begin() + 5), (Codes{1, 9, 9, 9, 9}));
    EXPECT_EQ(codes.back(), kPlayClosed);
    EXPECT_NEAR(window->All().back().point.position, 19000.0 / 44100, 1e-9);
}

TEST_F(PlayerTest, LoopCutsTheRangeIntoEqualBlocksAndWrapsNearItsEnd) {
    Player();
    // 25 000 stereo 16-bit frames: a range of 100 000 bytes.
    OpenedSound sound(dir, "loop.wav", StereoWav16(30000));
    const uint32_t start = 1000;
    ASSERT_TRUE(Play(sound, start, start + 25000, true));
    ASSERT_TRUE(output.WaitQueued(4, kWait));
    // Six reads of 16 664 bytes per pass; the 16 bytes left at the end are
    // never played, the seventh read starts the range again.
    for (int i = 0; i < 9; ++i) {
        ASSERT_TRUE(output.CompleteNext());
        ASSERT_TRUE(output.WaitQueued(size_t(5 + i), kWait));
    }
    const auto blocks = output.Blocks();
    ASSERT_EQ(blocks.size(), 13u);
    for (size_t k = 0; k < blocks.size(); ++k) {
        const uint32_t first = start + uint32_t(k % 6) * 4166;
        EXPECT_EQ(blocks[k], sound.Frames(first, first + 4166)) << "block " << k;
    }
    player->StopPlay();
    EXPECT_FALSE(player->IsPlaying());

    // After seven blocks the device has played 29 162 frames: 4 162 into the
    // second pass.
    const std::vector<Notification> all = window->All();
    bool sawSecondPass = false;
    for (const Notification& n : all) {
        EXPECT_GE(n.point.position, start / 44100.0 - 1e-12);
        EXPECT_LE(n.point.position, (start + 25000) / 44100.0 + 1e-12);
        sawSecondPass |= std::fabs(n.point.position - (start + 4162) / 44100.0) < 1e-9;
    }
    EXPECT_TRUE(sawSecondPass);
}

TEST_F(PlayerTest, LoopShorterThan512BytesClosesTheDeviceAndPlaysNothing) {
    Player();
    OpenedSound sound(dir, "tiny.wav", MonoWav16(1000));
    ASSERT_TRUE(Play(sound, 0, 255, true)); // 510 bytes
    ASSERT_TRUE(WaitIdle(*player, kWait));
    EXPECT_EQ(output.Opens(), 1);
    EXPECT_EQ(output.Closes(), 1);
    EXPECT_TRUE(output.Blocks().empty());
    EXPECT_TRUE(window->All().empty());

    // The player is idle: the next range plays normally.
    ASSERT_TRUE(Play(sound, 0, 256, true)); // 512 bytes
    ASSERT_TRUE(output.WaitQueued(1, kWait));
    EXPECT_EQ(output.Blocks()[0], sound.Frames(0, 256));
    player->StopPlay();
}

TEST_F(PlayerTest, EightBitSamplesWidenTo16BitsWhenConversionIsOn) {
    WavSpec layout;
    layout.bytesPerSample = 1;
    const Bytes data = {0x80, 0x00, 0xFF, 0x01, 0x7F};
    OpenedSound sound(dir, "eight.wav", MakeWav(layout, data));

    PlaySettings settings;
    settings.EightBitSigned = 1;
    Player(settings);
    ASSERT_TRUE(Play(sound, 0, 5));
    FinishAll();
    EXPECT_EQ(output.Format().bitsPerSample, 16);
    EXPECT_EQ(output.Format().blockAlign, 2);
    EXPECT_EQ(output.Format().avgBytesPerSecond, 2 * 44100);
    // (b - 128) x 256: 0x80 is silence, 0x00 the most negative sample.
    EXPECT_EQ(Joined(output.Blocks()),
              (Bytes{0x00, 0x00, 0x00, 0x80, 0x00, 0x7F, 0x00, 0x81, 0x00, 0xFF}));

    settings.EightBitSigned = 0;
    player->SetSettings(settings);
    ASSERT_TRUE(Play(sound, 0, 5));
    FinishAll();
    EXPECT_EQ(output.Format().bitsPerSample, 8);
    EXPECT_EQ(output.Format().blockAlign, 1);
    EXPECT_EQ(Joined(output.Blocks()), data);
}

TEST_F(PlayerTest, SignedEightBitFilesPlayAsTheirWavTwin) {
    // The same five samples, stored signed in AIFF and offset by 128 in WAV.
    const std::vector<int32_t> values = {0, -128, 127, -127, -1};
    Bytes signedBytes;
    for (int32_t v : values)
        signedBytes.push_back(uint8_t(int8_t(v)));
    WavSpec layout;
    layout.bytesPerSample = 1;
    OpenedSound wav(dir, "eight.wav", MakeWav(layout, PcmBytes(values, 1)));
    OpenedSound aiff(dir, "eight.aif", MakeAiff(1, 8, 0x400E, 0xAC44, signedBytes));
    for (int32_t widen : {0, 1}) {
        PlaySettings settings;
        settings.EightBitSigned = widen;
        Player(settings);
        ASSERT_TRUE(Play(wav, 0, 5));
        FinishAll();
        const Bytes fromWav = Joined(output.Blocks());
        ASSERT_TRUE(Play(aiff, 0, 5));
        FinishAll();
        EXPECT_EQ(Joined(output.Blocks()), fromWav) << "widened " << widen;
        EXPECT_EQ(fromWav.size(), size_t(5 * (1 + widen)));
    }
}

TEST_F(PlayerTest, WidenedBlocksHoldWholeFramesOfEveryChannel) {
    WavSpec layout;
    layout.bytesPerSample = 1;
    layout.channels = 3;
    Bytes data(3 * 10000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i % 3 == 0 ? 0x10 : i % 3 == 1 ? 0x80 : 0xF0);
    OpenedSound sound(dir, "three.wav", MakeWav(layout, data));
    PlaySettings settings;
    settings.EightBitSigned = 1;
    settings.BlockLength = 4096;
    Player(settings);
    ASSERT_TRUE(Play(sound, 0, 10000));
    FinishAll();
    const auto blocks = output.Blocks();
    ASSERT_GT(blocks.size(), 2u);
    const Bytes all = Joined(blocks);
    ASSERT_EQ(all.size(), 2 * data.size());
    for (size_t frame = 0; frame < 10000; ++frame) {
        ASSERT_EQ(all[6 * frame + 1], 0x90) << frame;
        ASSERT_EQ(all[6 * frame + 3], 0x00) << frame;
        ASSERT_EQ(all[6 * frame + 5], 0x70) << frame;
    }
}

TEST_F(PlayerTest, BigEndianSamplesReachTheDeviceLittleEndian) {
    Player();
    struct Case {
        int16_t channels;
        int16_t bits;
    };
    for (const Case c : {Case{1, 16}, Case{2, 16}, Case{1, 24}, Case{2, 24}}) {
        SCOPED_TRACE(testing::Message() << c.channels << " x " << c.bits << " bits");
        const int bps = c.bits / 8;
        const std::vector<int32_t> values = TestSignal(size_t(5000 * c.channels), bps, 7);
        const std::string name =
            "be" + std::to_string(c.channels) + std::to_string(c.bits) + ".aif";
        OpenedSound sound(
            dir, name, MakeAiff(c.channels, c.bits, 0x400E, 0xAC44, PcmBytes(values, bps, true)));
        ASSERT_TRUE(Play(sound, 0, 5000));
        FinishAll();
        EXPECT_EQ(output.Format().bitsPerSample, c.bits);
        EXPECT_EQ(output.Format().channels, c.channels);
        EXPECT_EQ(Joined(output.Blocks()), PcmBytes(values, bps, false));
    }
}

TEST_F(PlayerTest, FloatSamplesPlayAsFloats) {
    WavSpec layout;
    layout.formatTag = 3;
    layout.bytesPerSample = 4;
    Bytes data;
    for (float f : {0.5f, -0.25f, 1.0f, 0.0f}) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        AppendLe32(data, u);
    }
    OpenedSound sound(dir, "float.wav", MakeWav(layout, data));
    Player();
    ASSERT_TRUE(Play(sound, 0, 4));
    FinishAll();
    EXPECT_EQ(output.Format().formatTag, kPcmFloat);
    EXPECT_EQ(output.Format().bitsPerSample, 32);
    EXPECT_EQ(Joined(output.Blocks()), data);
}

TEST_F(PlayerTest, PlayRatioChangesTheDeviceRateButPositionsStayInFileTime) {
    PlaySettings settings;
    settings.PlayRatio = 50;
    settings.BlockLength = 4096;
    Player(settings);
    OpenedSound sound(dir, "ratio.wav", MonoWav16(10000));
    ASSERT_TRUE(Play(sound, 0, 10000));
    FinishAll();
    EXPECT_EQ(output.Format().framesPerSecond, 22050);
    EXPECT_EQ(output.Format().avgBytesPerSecond, 44100);
    double last2 = 0.0;
    for (const Notification& n : window->All()) {
        if (n.code == kPlayBlockDone)
            last2 = n.point.position;
    }
    EXPECT_NEAR(last2, 10000.0 / 44100, 1e-9);
}

TEST_F(PlayerTest, PositionReportsFollowTheRefreshIntervalWhileNothingHappens) {
    PlaySettings settings;
    settings.DisplayRefresh = 5;
    Player(settings);
    OpenedSound sound(dir, "tick.wav", MonoWav16(100000));
    ASSERT_TRUE(Play(sound, 44100, 88200));
    ASSERT_TRUE(window->WaitFor(kPlayTick, kWait));
    player->StopPlay();
    int ticks = 0;
    for (const Notification& n : window->All()) {
        if (n.code == kPlayTick) {
            ++ticks;
            EXPECT_DOUBLE_EQ(n.point.position, 1.0);
        }
    }
    EXPECT_GE(ticks, 1);
}

TEST_F(PlayerTest, NewRangeWhilePlayingTellsTheOldWindowsThenRestartsCleanly) {
    Player();
    OpenedSound sound(dir, "again.wav", MonoWav16(100000));
    auto second = std::make_shared<RecordingWindow>();
    auto third = std::make_shared<RecordingWindow>();
    ASSERT_EQ(player->PlayRange(sound.Info(), 0, 100000, window, second, false),
              PlayOutcome::Started);
    ASSERT_TRUE(output.WaitQueued(4, kWait));
    ASSERT_TRUE(output.CompleteNext());
    ASSERT_TRUE(window->WaitFor(kPlayBlockDone, kWait));

    ASSERT_EQ(player->PlayRange(sound.Info(), 50000, 50010, third, {}, false),
              PlayOutcome::Started);
    for (RecordingWindow* old : {window.get(), second.get()}) {
        const Codes codes = old->Codes();
        const auto replaced = std::find(codes.begin(), codes.end(), kPlayReplaced);
        ASSERT_NE(replaced, codes.end());
        // Only the stopping worker speaks after 5: the blocks it gave back and
        // the closed device.
        for (auto it = replaced + 1; it != codes.end(); ++it)
            EXPECT_TRUE(*it == kPlayBlockDone || *it == kPlayClosed) << *it;
        EXPECT_EQ(codes.back(), kPlayClosed);
    }
    // The first device was closed before the second was opened.
    EXPECT_EQ(output.Opens(), 2);
    EXPECT_EQ(output.Closes(), 1);
    FinishAll();
    EXPECT_EQ(third->Codes(), (Codes{1, 9, 9, 2, 3}));
    EXPECT_EQ(Joined(output.Blocks()), sound.Frames(50000, 50010));
}

// The desktop program says why nothing plays, once for each reason.
TEST_F(PlayerTest, ExplainedRefusalsAreToldOnceEach) {
    OpenedSound stereo(dir, "stereo.wav", StereoWav16(100));
    VirtualOutput none(0);
    CSfPlay quiet(none, store, desktop);
    quiet.ExplainRefusals(true);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(quiet.PlayRange(stereo.Info(), 0, 100, window, {}, false), PlayOutcome::NoDevice);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].first, "Nothing can be played: no device driver installed.");
    EXPECT_EQ(desktop.messages[0].second, MessageIcon::Information);

    VirtualOutput two(2);
    CSfPlay elsewhere(two, store, desktop);
    elsewhere.ExplainRefusals(true);
    PlaySettings settings;
    settings.DeviceID = 5;
    elsewhere.SetSettings(settings);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(elsewhere.PlayRange(stereo.Info(), 0, 100, window, {}, false),
                  PlayOutcome::UnknownDevice);
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[1].first, "Nothing can be played: output device 5 does not exist. "
                                         "Choose another in Options > Play.");
}

TEST_F(PlayerTest, RefusesWithoutDevicesUnknownDevicesAndTooManyChannels) {
    OpenedSound stereo(dir, "stereo.wav", StereoWav16(100));
    {
        VirtualOutput none(0);
        CSfPlay quiet(none, store, desktop);
        EXPECT_EQ(quiet.PlayRange(stereo.Info(), 0, 100, window, {}, false), PlayOutcome::NoDevice);
        EXPECT_EQ(quiet.DeviceNames(), (std::vector<std::string>{"no device driver installed"}));
    }
    PlaySettings settings;
    settings.DeviceID = 5;
    Player(settings);
    EXPECT_EQ(player->PlayRange(stereo.Info(), 0, 100, window, {}, false),
              PlayOutcome::UnknownDevice);
    EXPECT_TRUE(desktop.messages.empty());

    VirtualOutput mono(2, 1);
    CSfPlay narrow(mono, store, desktop);
    PlaySettings first;
    first.DeviceID = 0;
    narrow.SetSettings(first);
    EXPECT_EQ(narrow.PlayRange(stereo.Info(), 0, 100, window, {}, false), PlayOutcome::Refused);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].first, "Channels not supported");
    EXPECT_EQ(desktop.messages[0].second, MessageIcon::Information);
    EXPECT_EQ(mono.Opens(), 0);
    EXPECT_EQ(narrow.DeviceNames(),
              (std::vector<std::string>{"Virtual default", "Virtual 0", "Virtual 1"}));
    EXPECT_TRUE(window->All().empty());
}

TEST_F(PlayerTest, FailedOpenShowsTheDeviceErrorAndStaysIdle) {
    Player();
    output.SetOpenError(11);
    OpenedSound sound(dir, "fail.wav", MonoWav16(100));
    EXPECT_FALSE(Play(sound, 0, 100));
    EXPECT_FALSE(player->IsPlaying());
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].first, "virtual device error 11");
    EXPECT_EQ(desktop.messages[0].second, MessageIcon::Information);
    player->StopPlay();
}

TEST_F(PlayerTest, FailedCloseStillEndsTheWorker) {
    Player();
    OpenedSound sound(dir, "close.wav", MonoWav16(100000));
    output.SetCloseError(3);
    ASSERT_TRUE(Play(sound, 0, 100000));
    ASSERT_TRUE(output.WaitQueued(4, kWait));
    player->StopPlay();
    EXPECT_FALSE(player->IsPlaying());
    EXPECT_EQ(window->Codes().back(), kPlayBlockDone);
    output.SetCloseError(0);
    ASSERT_TRUE(Play(sound, 0, 10));
    FinishAll();
    EXPECT_EQ(window->Codes().back(), kPlayClosed);
}

TEST_F(PlayerTest, SettingsComeFromTheStoreAndGoBackWithThePlayer) {
    store.SetInt("Play", "BlockNumber", 40);
    store.SetInt("Play", "BlockLength", 10000);
    store.SetInt("Play", "PlayWithCursor", 1);
    {
        CSfPlay first(output, store, desktop);
        EXPECT_EQ(first.Settings().BlockNumber, 16);
        EXPECT_EQ(first.Settings().BlockLength, 8192);
        EXPECT_EQ(first.Settings().PlayWithCursor, 1);
        PlaySettings changed = first.Settings();
        changed.DisplayRefresh = 77;
        first.SetSettings(changed);
    }
    EXPECT_EQ(store.GetInt("Play", "BlockNumber", 0), 16);
    EXPECT_EQ(store.GetInt("Play", "DisplayRefresh", 0), 77);
}

} // namespace
