// The overview read once on the analysis threads gives, bit for bit, what the
// separate envelope and level passes give, on any number of threads: every
// sample coding, frame counts that split unevenly, level blocks longer than a
// read, and files with fewer frames than columns.
#include "soundfile/MemoryStore.h"
#include "support/CodedFiles.h"
#include "support/TestFiles.h"

#include "soundfile/AnalysisThreads.h"
#include "soundfile/ChannelStats.h"
#include "soundfile/OpenHead.h"
#include "soundfile/Overview.h"
#include "soundfile/OverviewPass.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct Result {
    std::vector<float> overview;
    std::vector<std::string> progress;
};

Result TwoPasses(const SfInfo& info, int W) {
    RecordingDesktop desktop;
    Result r{std::vector<float>(size_t(4 * W) * size_t(info.channels)), {}};
    PrepareWav(info, r.overview.data(), 2 * W, desktop);
    PrepareRms(info, r.overview.data() + size_t(2 * W) * size_t(info.channels), 2 * W, desktop);
    r.progress = desktop.infoTexts;
    return r;
}

Result OnePass(const SfInfo& info, int W, int threads) {
    SetAnalysisThreads(threads);
    RecordingDesktop desktop;
    Result r{std::vector<float>(size_t(4 * W) * size_t(info.channels)), {}};
    PrepareOverview(info, r.overview.data(), W, desktop);
    r.progress = desktop.infoTexts;
    return r;
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// The statistics of count frames from first, read in pieces of piece frames.
ChannelStats ReadRun(const SfInfo& info, uint64_t first, uint64_t count, uint64_t piece) {
    ChannelStats stats(CodingOf(info), info.channels, info.blockAlign);
    std::vector<uint8_t> bytes(size_t(piece) * size_t(info.blockAlign));
    for (uint64_t at = first; at < first + count; at += piece) {
        const uint64_t frames = std::min(piece, first + count - at);
        const int64_t got = sfread(info.handle, bytes.data(), int64_t(frames) * info.blockAlign,
                                   info.dataOffset + int64_t(at) * info.blockAlign);
        stats.Add(bytes.data(), size_t(got / info.blockAlign));
    }
    return stats;
}

class OverviewThreads : public ::testing::Test {
protected:
    void TearDown() override { SetAnalysisThreads(0); }

    // Opens each file of the coding and compares the one pass on 1, 2 and 8
    // threads with the separate passes.
    void Compare(const Coding& coding, int channels, int W, std::vector<uint32_t> frameCounts) {
        for (uint32_t frames : frameCounts) {
            SfInfo info;
            info.path = MakeFile(dir, coding, channels, frames);
            RecordingDesktop opener;
            ASSERT_EQ(OpenAndRecognise(info, opener), OpenOutcome::Opened) << coding.name;
            ASSERT_EQ(info.frames, frames) << coding.name;
            const Result expected = TwoPasses(info, W);
            for (int threads : {1, 2, 8}) {
                const Result got = OnePass(info, W, threads);
                EXPECT_TRUE(SameBits(got.overview, expected.overview))
                    << coding.name << ", " << channels << " channels, " << frames
                    << " frames, width " << W << ", " << threads << " threads";
                EXPECT_EQ(got.progress, expected.progress) << coding.name << ", " << frames;
            }
            sfclose(info.handle);
        }
    }

    TempDir dir;
};

} // namespace

TEST_F(OverviewThreads, EveryCodingAndFrameCount) {
    // 16 and 48 frames divide into the 8 columns and 16 level blocks; the
    // others leave frames past the last column or block; 3 and 11 are fewer
    // than the columns or the level blocks.
    for (const Coding& coding : kCodings)
        for (int channels : {1, 2, 3})
            Compare(coding, channels, 8, {3, 11, 16, 17, 31, 48, 1001, 4099});
}

TEST_F(OverviewThreads, LevelBlocksLongerThanARead) {
    // Level blocks of several reads each, the last one short: the square sums
    // of wide samples depend on where the reads begin.
    struct Case {
        Coding coding;
        int channels;
        uint32_t frames;
    };
    const Case cases[] = {
        {kCodings[2], 2, 4 * 187107 + 3}, // 24-bit stereo: reads of 174762 frames
        {kCodings[4], 2, 4 * 143417 + 3}, // float stereo: reads of 131072 frames
        {kCodings[1], 1, 4 * 600001 + 1}, // 16-bit mono: reads of 524288 frames
    };
    for (const Case& c : cases)
        Compare(c.coding, c.channels, 2, {c.frames});
}

TEST_F(OverviewThreads, SumsOfEveryColumnAndBlock) {
    // The extended-precision square sums exactly, not only the levels they
    // round to, against each level block read in the pieces of a level pass.
    struct Case {
        Coding coding;
        int channels, W;
        uint32_t frames;
    };
    const Case cases[] = {
        {kCodings[2], 2, 2, 4 * 187107 + 3},
        {kCodings[4], 2, 2, 4 * 143417 + 3},
        {kCodings[7], 1, 3, 6 * 300001 + 5},
        {kCodings[0], 3, 8, 1001},
        {kCodings[3], 2, 5, 10},
        {kCodings[1], 2, 2, 4 * 40000 + 3},
        {kCodings[5], 2, 2, 4 * 70001 + 1},
    };
    for (const Case& c : cases) {
        SfInfo info;
        info.path = MakeFile(dir, c.coding, c.channels, c.frames);
        RecordingDesktop opener;
        ASSERT_EQ(OpenAndRecognise(info, opener), OpenOutcome::Opened) << c.coding.name;
        const uint64_t perColumn = c.frames / uint64_t(c.W), perBlock = perColumn / 2;
        const uint64_t piece = std::min<uint64_t>(uint64_t(kOverviewPieceBytes / info.blockAlign),
                                                  c.frames / uint64_t(2 * c.W));
        for (int threads : {1, 2, 8}) {
            SetAnalysisThreads(threads);
            const OverviewSums sums = ScanOverview(info, c.W, [](uint64_t, uint64_t) {});
            for (int k = 0; k < c.W; ++k) {
                const ChannelStats column = ReadRun(info, k * perColumn, perColumn, piece);
                EXPECT_EQ(sums.columnFrames[size_t(k)], column.Frames()) << c.coding.name << k;
                for (int ch = 0; ch < c.channels; ++ch) {
                    const size_t at = size_t(k * c.channels + ch);
                    EXPECT_EQ(sums.min[at], column.Min(ch)) << c.coding.name << ", column " << k;
                    EXPECT_EQ(sums.max[at], column.Max(ch)) << c.coding.name << ", column " << k;
                }
            }
            for (int k = 0; k < 2 * c.W; ++k) {
                const ChannelStats block = ReadRun(info, k * perBlock, perBlock, piece);
                EXPECT_EQ(sums.blockFrames[size_t(k)], block.Frames()) << c.coding.name << k;
                for (int ch = 0; ch < c.channels; ++ch)
                    EXPECT_EQ(sums.squares[size_t(k * c.channels + ch)], block.Squares(ch))
                        << c.coding.name << ", " << threads << " threads, block " << k;
            }
        }
        sfclose(info.handle);
    }
}

TEST(AnalysisThreads, SettingAndCount) {
    struct Case {
        const char* stored; // nullptr: not set
        int setting;
    };
    const Case cases[] = {{nullptr, 0}, {"3", 3}, {"-2", 0}, {"0", 0}};
    for (const Case& c : cases) {
        MemoryStore store;
        if (c.stored)
            store.SetInt("General", "Threads", std::stoi(c.stored));
        EXPECT_EQ(AnalysisThreadsSetting(store), c.setting) << (c.stored ? c.stored : "unset");
    }
    SetAnalysisThreads(5);
    EXPECT_EQ(AnalysisThreads(), 5);
    SetAnalysisThreads(0);
    EXPECT_GE(AnalysisThreads(), 1);
}

TEST(AnalysisThreads, EveryTaskOnceAndPollsOnTheCaller) {
    for (int threads : {1, 3}) {
        SetAnalysisThreads(threads);
        for (int tasks : {0, 1, 2, 50}) {
            std::vector<std::atomic<int>> runs(static_cast<size_t>(tasks));
            int polls = 0;
            bool pollsElsewhere = false;
            const std::thread::id caller = std::this_thread::get_id();
            RunOnAnalysisThreads(
                tasks, [&](int t) { ++runs[size_t(t)]; },
                [&] {
                    ++polls;
                    pollsElsewhere |= std::this_thread::get_id() != caller;
                });
            for (int t = 0; t < tasks; ++t)
                EXPECT_EQ(runs[size_t(t)].load(), 1) << threads << " threads, task " << t;
            EXPECT_GE(polls, 1);
            EXPECT_FALSE(pollsElsewhere);
        }
    }
    SetAnalysisThreads(0);
}

// Threads are kept between calls. Calls from several threads at once, and a
// call from within a task, still each get threads of their own and finish;
// so does a call in a child of fork, which has none of its parent's threads.
TEST(AnalysisThreads, CallsAtOnceWithinTasksAndAfterForkAllFinish) {
    SetAnalysisThreads(2);
    const auto count = [](int tasks) {
        std::atomic<int> done{0};
        RunOnAnalysisThreads(
            tasks, [&](int) { ++done; }, [] {});
        return done.load();
    };
    ASSERT_EQ(count(4), 4);

    std::atomic<int> inner{0};
    std::vector<std::thread> callers;
    for (int c = 0; c < 4; ++c)
        callers.emplace_back([&] {
            RunOnAnalysisThreads(
                3, [&](int) { inner += count(5); }, [] {});
        });
    for (std::thread& caller : callers)
        caller.join();
    EXPECT_EQ(inner.load(), 4 * 3 * 5);

#if defined(__SANITIZE_THREAD__)
    SetAnalysisThreads(0);
    GTEST_SKIP() << "the thread sanitizer does not follow threads started after fork";
#else
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(20); // a child waiting for threads it does not have fails, not hangs
        _exit(count(6) == 6 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    SetAnalysisThreads(0);
#endif
}
