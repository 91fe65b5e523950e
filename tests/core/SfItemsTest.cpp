// The item kinds, the head's task and the window an item points at.
#include "support/TestFiles.h"

#include "soundfile/CanonicalPath.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"

#include <QObject>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>

TEST(SfItems, KindsAndHeads) {
    CSfBase base;
    CSfHead head;
    CSfAna ana;
    CSfRms rms;
    EXPECT_EQ(base.GetKind(), -1);
    EXPECT_EQ(head.GetKind(), 0);
    EXPECT_EQ(ana.GetKind(), 1);
    EXPECT_EQ(rms.GetKind(), 4);
    EXPECT_EQ(base.GetHead(), nullptr);
    EXPECT_EQ(head.GetHead(), &head);
    EXPECT_EQ(ana.GetHead(), nullptr);

    // A new head: closed file, no overview, waveform method, defaults.
    const SfInfo& info = head.Info();
    EXPECT_EQ(info.handle, -1);
    EXPECT_TRUE(info.overview.empty());
    EXPECT_EQ(info.overviewMethod, 32795);
    EXPECT_EQ(info.rate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.blockAlign, 4);
}

TEST(SfItems, TaskWords) {
    CSfHead head;
    SfTask& block = head.Info().task;
    block.start = 10;
    block.end = 20;
    block.channel = 1;
    block.selectLeft = 30;
    block.selectRight = 40;
    block.playCursor = 50;
    block.flags = 0x80;
    SfTask task;
    task.playCursor = 7;
    task.flags = 9;
    head.GetTask(task);
    EXPECT_EQ(task.start, 10u);
    EXPECT_EQ(task.end, 20u);
    EXPECT_EQ(task.channel, 1);
    EXPECT_EQ(task.selectLeft, 30);
    EXPECT_EQ(task.selectRight, 40);
    EXPECT_EQ(task.playCursor, 7); // words 1 to 5 only
    EXPECT_EQ(task.flags, 0u);

    CSfBase base;
    SfTask untouched;
    untouched.start = 3;
    base.GetTask(untouched);
    EXPECT_EQ(untouched.start, 3u);
}

TEST(SfItems, WindowIsForgottenWhenItCloses) {
    CSfBase item;
    EXPECT_EQ(item.GetWindow(), nullptr);
    {
        QObject window;
        item.AttachWindow(&window);
        EXPECT_EQ(item.GetWindow(), &window);
    }
    EXPECT_EQ(item.GetWindow(), nullptr);
}

TEST(SfItems, HeadNameShowInfoAndCanonicalPaths) {
    TempDir dir;
    RecordingDesktop desktop;
    // A path far longer than 259 bytes.
    std::string sub;
    for (char c : {'a', 'b', 'c'})
        sub += "/" + std::string(100, c);
    std::filesystem::create_directories(dir.Path() + sub);
    const std::string longName = sub.substr(1) + "/tone.wav";
    WavSpec layout;
    layout.rate = 8000;
    const std::string path = dir.Write(longName, MakeWav(layout, Bytes(16000, 0)));
    ASSERT_GT(path.size(), 300u);
    auto head = OpenHeadFile(path, desktop, 16);
    ASSERT_TRUE(head);
    EXPECT_EQ(head->GetName(), "/..." + path.substr(path.size() - 25));
    EXPECT_EQ(FileInfoText(head->Info()),
              "Filename: " + path + "\nFmt:\tWAVE\nSr:\t8000\nNch:\t1\nBps:\t2\nLen:\t1s");
    const int handle = head->Info().handle;
    head.reset();
    EXPECT_EQ(::fcntl(handle, F_GETFD), -1); // the file was closed with its head

    // Two spellings of one file, one through a link, name the same file.
    const std::string link = dir.Path() + "/link";
    std::filesystem::create_directory_symlink(dir.Path() + sub, link);
    EXPECT_EQ(CanonicalSoundPath(link + "/./tone.wav"), CanonicalSoundPath(path));
    EXPECT_EQ(CanonicalSoundPath(dir.Path() + "/nothing/../x.wav"),
              dir.Path() + "/nothing/../x.wav");
    SfInfo aiff;
    aiff.flags = 5;
    EXPECT_STREQ(FormatName(aiff), "AIFF");
    aiff.flags = 1;
    EXPECT_STREQ(FormatName(aiff), "Unknown");
}
