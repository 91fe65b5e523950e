#include "playback/PlayReader.h"
#include "PlayTestSupport.h"

#include <gtest/gtest.h>

namespace {

PlayReader Reader(int64_t start, int64_t end, int32_t blockAlign, bool loop, bool widen8 = false) {
    PlayReader r;
    r.startOffset = r.readOffset = start;
    r.endOffset = end;
    r.blockAlign = blockAlign;
    r.bytesPerSample = widen8 ? 1 : 2;
    r.loop = loop;
    r.widen8 = widen8;
    return r;
}

TEST(PlayBlockBytes, NormalBlocksAreTheLengthInWholeDeviceFrames) {
    EXPECT_EQ(PlayBlockBytes(Reader(0, 10, 4, false), 16384), 16384u);
    EXPECT_EQ(PlayBlockBytes(Reader(0, 10, 6, false), 16384), 16380u);
    // Widened 8-bit frames are twice as long at the device.
    EXPECT_EQ(PlayBlockBytes(Reader(0, 10, 3, false, true), 4096), 4092u);
    // A frame longer than the block length still plays, a frame at a time.
    EXPECT_EQ(PlayBlockBytes(Reader(0, 10, 5119, false), 4096), 5119u);
}

TEST(PlayBlockBytes, LoopBlocksCutTheRangeIntoEqualPieces) {
    EXPECT_EQ(PlayBlockBytes(Reader(44, 100044, 4, true), 16384), 16664u);
    // A range shorter than one block is one block.
    EXPECT_EQ(PlayBlockBytes(Reader(0, 10000, 4, true), 16384), 10000u);
    EXPECT_EQ(PlayBlockBytes(Reader(0, 512, 2, true), 16384), 512u);
    EXPECT_EQ(PlayBlockBytes(Reader(0, 510, 2, true), 16384), 0u);
    EXPECT_EQ(PlayBlockBytes(Reader(0, 0, 2, true), 16384), 0u);
    EXPECT_EQ(PlayBlockBytes(Reader(100, 0, 2, true), 16384), 0u);
    // 256 widened bytes are 512 at the device.
    EXPECT_EQ(PlayBlockBytes(Reader(0, 256, 1, true, true), 16384), 512u);
}

class FillTest : public ::testing::Test {
protected:
    FillTest() : sound(dir, "fill.wav", MakeWav(WavSpec(), PcmBytes(TestSignal(5000, 2, 9), 2))) {}

    PlayReader ReaderOf(uint32_t startFrame, uint32_t endFrame, bool loop) {
        const SfInfo& info = sound.Info();
        PlayReader r =
            Reader(info.dataOffset + 2 * startFrame, info.dataOffset + 2 * endFrame, 2, loop);
        r.handle = info.handle;
        return r;
    }

    TempDir dir;
    OpenedSound sound;
    Bytes block = Bytes(4096);
};

TEST_F(FillTest, StraightPlaybackStopsExactlyAtTheEnd) {
    PlayReader r = ReaderOf(100, 3100, false);
    BlockFill fill = FillBlock(r, block.data(), 4096);
    EXPECT_EQ(fill.length, 4096u);
    EXPECT_TRUE(fill.more);
    EXPECT_EQ(Bytes(block.begin(), block.end()), sound.Frames(100, 2148));
    fill = FillBlock(r, block.data(), 4096);
    EXPECT_EQ(fill.length, 2 * (3100 - 2148u));
    EXPECT_FALSE(fill.more);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + fill.length), sound.Frames(2148, 3100));
    fill = FillBlock(r, block.data(), 4096);
    EXPECT_EQ(fill.length, 0u);
    EXPECT_FALSE(fill.more);
}

TEST_F(FillTest, EmptyReversedAndUnreadableRangesGiveAnEmptyLastBlock) {
    for (PlayReader r :
         {ReaderOf(10, 10, false), ReaderOf(20, 10, false), ReaderOf(6000, 7000, false)}) {
        const BlockFill fill = FillBlock(r, block.data(), 4096);
        EXPECT_EQ(fill.length, 0u);
        EXPECT_FALSE(fill.more);
    }
    PlayReader closed = ReaderOf(0, 100, false);
    closed.handle = -1;
    EXPECT_EQ(FillBlock(closed, block.data(), 4096).length, 0u);
}

TEST_F(FillTest, LoopGoesBackToTheStartWithin16BytesOfTheEnd) {
    // 1000 frames in blocks of 664 bytes (332 frames): three reads leave 4
    // frames, 8 bytes, which the loop leaves out.
    PlayReader r = ReaderOf(200, 1200, true);
    for (int pass = 0; pass < 2; ++pass) {
        for (uint32_t k = 0; k < 3; ++k) {
            const BlockFill fill = FillBlock(r, block.data(), 664);
            EXPECT_TRUE(fill.more);
            ASSERT_EQ(fill.length, 664u);
            EXPECT_EQ(Bytes(block.begin(), block.begin() + 664),
                      sound.Frames(200 + 332 * k, 200 + 332 * (k + 1)));
        }
        EXPECT_EQ(r.readOffset, r.startOffset);
    }
    // Blocks that would run past the end stop at it instead.
    PlayReader over = ReaderOf(200, 1200, true);
    BlockFill fill = FillBlock(over, block.data(), 1600);
    fill = FillBlock(over, block.data(), 1600);
    EXPECT_EQ(fill.length, 400u);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 400), sound.Frames(1000, 1200));
    EXPECT_EQ(over.readOffset, over.startOffset);
}

} // namespace
