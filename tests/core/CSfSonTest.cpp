// The sonagram item: what it takes from its parent and the settings, its name,
// its task and its kind.
#include "support/AnalysisFiles.h"

#include "sonagram/CSfSon.h"

#include <gtest/gtest.h>

namespace {

FftSettings SonSettings() {
    FftSettings son;
    son.Lfft = 1024;
    son.Lwdw = 512;
    son.IWin = 3;
    son.Range = 60;
    son.Fmin = 100.0f;
    son.Fmax = 5000.0f;
    return son;
}

} // namespace

TEST(CSfSon, TakesTheHeadTaskAndASnapshotOfTheSettings) {
    TempDir dir;
    auto head = OpenSamples(dir, std::vector<int32_t>(44100 * 3, 0), 44100);
    ASSERT_TRUE(head);
    SetHeadTask(*head, 0, 110250, 0);
    FftSettings settings = SonSettings();
    const auto son = CSfSon::Create(*head, settings);
    ASSERT_TRUE(son);
    settings.Lfft = 64; // later changes reach only later items

    EXPECT_EQ(son->GetKind(), 2);
    EXPECT_EQ(son->GetHead(), head.get());
    EXPECT_EQ(son->GetName(), "SON: 0, 0m_2.5s 1024");
    EXPECT_EQ(son->Range().start, 0u);
    EXPECT_EQ(son->Range().end, 110250u);
    EXPECT_EQ(son->Range().length, 110250u);
    EXPECT_EQ(son->Range().channel, 0);

    const SfFftParam& p = son->Param();
    EXPECT_EQ(p.Lfft, 1024);
    EXPECT_EQ(p.Lwdw, 512);
    EXPECT_EQ(p.IWin, 3);
    EXPECT_EQ(p.Range, 60);
    EXPECT_EQ(p.Fmin, 100.0f); // only the computation sets it to 0
    EXPECT_EQ(p.Fmax, 5000.0f);
    EXPECT_EQ(p.start, 0u); // the selection starts collapsed on the range start
    EXPECT_EQ(p.end, 0u);
    EXPECT_EQ(p.channel, 0);

    const SonLevels& levels = son->Levels();
    EXPECT_EQ(levels.minimum, -1.0f);
    EXPECT_EQ(levels.maximum, 1.0f);
    EXPECT_TRUE(levels.values.empty());
    EXPECT_EQ(levels.cursorShown, 0);
}

TEST(CSfSon, NameShowsChannelTimesAndLength) {
    TempDir dir;
    auto head = OpenSamples(dir, std::vector<int32_t>(8000 * 2 * 70, 0), 8000, 2);
    ASSERT_TRUE(head);
    SetHeadTask(*head, 12000, 8000 * 62, 1);
    const auto son = CSfSon::Create(*head, SonSettings());
    EXPECT_EQ(son->GetName(), "SON: 1, 1.5s_1m2s 1024");
    EXPECT_EQ(son->Range().length, 8000u * 62 - 12000);
    EXPECT_EQ(son->Param().start, 12000u);
    EXPECT_EQ(son->Param().end, 12000u);
    EXPECT_EQ(son->Param().channel, 1);
}

TEST(CSfSon, TaskIsTheSelectionOfItsWindow) {
    TempDir dir;
    auto head = OpenSamples(dir, std::vector<int32_t>(1000, 0), 8000, 2);
    ASSERT_TRUE(head);
    SetHeadTask(*head, 100, 400, 1);
    const auto son = CSfSon::Create(*head, SonSettings());

    SfTask task;
    task.playCursor = 7;
    son->GetTask(task);
    EXPECT_EQ(task.start, 100u); // no selection yet: both at the range start
    EXPECT_EQ(task.end, 100u);
    EXPECT_EQ(task.channel, 1);
    EXPECT_EQ(task.flags, 0u);
    EXPECT_EQ(task.playCursor, 7); // words the sonagram has nothing for stay

    son->Param().start = 150;
    son->Param().end = 250;
    son->Param().view.viewFlags = 0x81;
    son->GetTask(task);
    EXPECT_EQ(task.start, 150u);
    EXPECT_EQ(task.end, 250u);
    EXPECT_EQ(task.flags, 0x81u);

    // Inserted from this sonagram's window: the selection, under the same head.
    const auto inner = CSfSon::Create(*son, SonSettings());
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->GetHead(), head.get());
    EXPECT_EQ(inner->Range().start, 150u);
    EXPECT_EQ(inner->Range().end, 250u);
    EXPECT_EQ(inner->Range().length, 100u);
    EXPECT_EQ(inner->Range().channel, 1);
}

TEST(CSfSon, RangesWithoutFramesAndParentsWithoutHead) {
    TempDir dir;
    auto head = OpenSamples(dir, std::vector<int32_t>(1000, 0), 8000);
    ASSERT_TRUE(head);
    SetHeadTask(*head, 500, 200, 0); // reversed: empty, not 4 billion frames
    EXPECT_EQ(CSfSon::Create(*head, SonSettings())->Range().length, 0u);
    SetHeadTask(*head, 300, 300, 0);
    EXPECT_EQ(CSfSon::Create(*head, SonSettings())->Range().length, 0u);

    CSfBase orphan;
    EXPECT_EQ(CSfSon::Create(orphan, SonSettings()), nullptr);
}
