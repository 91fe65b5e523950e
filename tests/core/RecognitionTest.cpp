// Recognising sound files by their headers, the raw-format path, and refusing
// files whose values cannot be read safely.
#include "support/TestFiles.h"

#include "soundfile/OpenHead.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <gtest/gtest.h>

namespace {

struct Opened {
    SfInfo info;
    bool ok = false;
    ~Opened() { sfclose(info.handle); }
};

void Open(Opened& o, const std::string& path, RecordingDesktop& desktop) {
    o.info.path = path;
    o.ok = OpenAndRecognise(o.info, desktop) == OpenOutcome::Opened;
}

Bytes Frames16(int count) {
    return PcmBytes(std::vector<int32_t>(size_t(count), 1000), 2);
}

} // namespace

TEST(Recognition, WavHeadersOfEveryShape) {
    TempDir dir;
    RecordingDesktop desktop;
    {
        WavSpec layout;
        layout.channels = 2;
        Opened o;
        Open(o, dir.Write("plain.wav", MakeWav(layout, Frames16(200))), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.flags, 3);
        EXPECT_EQ(o.info.rate, 44100);
        EXPECT_EQ(o.info.channels, 2);
        EXPECT_EQ(o.info.bytesPerSample, 2);
        EXPECT_EQ(o.info.blockAlign, 4);
        EXPECT_EQ(o.info.dataOffset, 44);
        EXPECT_EQ(o.info.frames, 100u);
    }
    {
        // A LIST chunk before the data: 36 + 8 + its size + 8.
        WavSpec layout;
        layout.chunksBefore.push_back(Chunk("LIST", Bytes(26, 'x')));
        Opened o;
        Open(o, dir.Write("list.wav", MakeWav(layout, Frames16(10))), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.dataOffset, 36 + 8 + 26 + 8);
        EXPECT_EQ(o.info.frames, 10u);
    }
    {
        // Format chunks of 18 and 40 bytes: the scan begins after them.
        for (uint32_t fmtSize : {18u, 40u}) {
            WavSpec layout;
            layout.fmtSize = fmtSize;
            layout.rate = 48000;
            Opened o;
            Open(o, dir.Write("fmt.wav", MakeWav(layout, Frames16(30))), desktop);
            ASSERT_TRUE(o.ok) << fmtSize;
            EXPECT_EQ(o.info.dataOffset, 20 + fmtSize + 8) << fmtSize;
            EXPECT_EQ(o.info.rate, 48000);
            EXPECT_EQ(o.info.frames, 30u);
        }
    }
    {
        // A chunk of odd size is followed by a pad byte.
        WavSpec layout;
        layout.chunksBefore.push_back(Chunk("note", Bytes(5, 'n')));
        Opened o;
        Open(o, dir.Write("odd.wav", MakeWav(layout, Frames16(4))), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.dataOffset, 36 + 8 + 6 + 8);
    }
    {
        // IEEE floats are marked and keep their 4-byte width.
        WavSpec layout;
        layout.formatTag = 3;
        layout.bytesPerSample = 4;
        Opened o;
        Open(o, dir.Write("float.wav", MakeWav(layout, Bytes(40, 0))), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.flags, 3 | 256);
        EXPECT_EQ(o.info.frames, 10u);
    }
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(desktop.rawAsked, 0);
}

TEST(Recognition, UnreadableWavFormatsGoToTheRawDialog) {
    TempDir dir;
    for (uint16_t tag : {uint16_t(0xFFFE), uint16_t(7), uint16_t(0x11)}) {
        RecordingDesktop desktop;
        WavSpec layout;
        layout.formatTag = tag;
        Opened o;
        Open(o, dir.Write("x.wav", MakeWav(layout, Frames16(8))), desktop);
        EXPECT_FALSE(o.ok) << tag;
        EXPECT_EQ(desktop.rawAsked, 1) << tag;
        EXPECT_EQ(o.info.handle, -1);
    }
    // No data chunk at all: the scan runs off the end and gives up.
    RecordingDesktop desktop;
    Bytes file = MakeWav(WavSpec{}, Frames16(8));
    std::copy_n("junk", 4, file.begin() + 36);
    Opened o;
    Open(o, dir.Write("nodata.wav", file), desktop);
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(desktop.rawAsked, 1);
    EXPECT_EQ(desktop.rawShown.dataOffset, 0);
}

TEST(Recognition, AuFiles) {
    TempDir dir;
    {
        RecordingDesktop desktop;
        const Bytes data = PcmBytes({1, 2, 3, 4, 5, 6}, 3, true);
        Opened o;
        Open(o, dir.Write("a.au", MakeAu(4, 8000, 2, data, uint32_t(data.size()), 32)), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.flags, 5);
        EXPECT_EQ(o.info.bytesPerSample, 3);
        EXPECT_EQ(o.info.blockAlign, 6);
        EXPECT_EQ(o.info.dataOffset, 32);
        EXPECT_EQ(o.info.frames, 3u);
        EXPECT_EQ(o.info.rate, 8000);
    }
    {
        // Unknown data size: the frames follow from the file size.
        RecordingDesktop desktop;
        Opened o;
        Open(o, dir.Write("b.au", MakeAu(3, 22050, 1, Bytes(50, 0), 0xFFFFFFFFu)), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.frames, 25u);
    }
    {
        // Encodings the program cannot read: a plain message, then the raw
        // dialog filled in from the AU header.
        for (uint32_t enc : {1u, 6u, 7u, 23u, 27u}) {
            RecordingDesktop desktop;
            Opened o;
            Open(o, dir.Write("c.au", MakeAu(enc, 11025, 1, Bytes(50, 0), 50, 40)), desktop);
            EXPECT_FALSE(o.ok);
            ASSERT_EQ(desktop.messages.size(), 1u);
            EXPECT_EQ(desktop.messages[0].first, "This AU file encoding is not supported");
            EXPECT_EQ(desktop.messages[0].second, MessageIcon::None);
            ASSERT_EQ(desktop.rawAsked, 1);
            EXPECT_EQ(desktop.rawShown.rate, 11025);
            EXPECT_EQ(desktop.rawShown.channels, 1);
            EXPECT_EQ(desktop.rawShown.dataOffset, 40);
        }
        RecordingDesktop desktop;
        Opened o;
        Open(o, dir.Write("d.au", MakeAu(99, 11025, 1, Bytes(50, 0), 50)), desktop);
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0].first, "This AU file encoding is unknown");
    }
}

TEST(Recognition, AiffFiles) {
    TempDir dir;
    RecordingDesktop desktop;
    struct Case {
        uint16_t exponent, mantissa;
        int rate;
    } rates[] = {{0x400E, 0xAC44, 44100}, {0x400B, 0xFA00, 8000}, {0x400F, 0xBB80, 96000}};
    for (const Case& c : rates) {
        Opened o;
        Open(o, dir.Write("r.aif", MakeAiff(2, 16, c.exponent, c.mantissa, Bytes(40, 0))), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.rate, c.rate);
        EXPECT_EQ(o.info.flags, 5);
        EXPECT_EQ(o.info.frames, 10u);
        EXPECT_EQ(o.info.dataOffset, 54);
    }
    {
        // 20-bit samples are stored in 3 bytes; the sound-data offset field moves the data.
        Opened o;
        Open(o, dir.Write("20.aif", MakeAiff(1, 20, 0x400E, 0xAC44, Bytes(30, 0), 6)), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.bytesPerSample, 3);
        EXPECT_EQ(o.info.dataOffset, 60);
    }
    EXPECT_TRUE(desktop.messages.empty());
    {
        // 40-bit samples are not recognised, and with a 2-byte default the raw dialog follows.
        Opened o;
        Open(o, dir.Write("40.aif", MakeAiff(1, 40, 0x400E, 0xAC44, Bytes(30, 0))), desktop);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(desktop.rawAsked, 1);
    }
}

TEST(Recognition, RawFiles) {
    TempDir dir;
    const std::string path = dir.Write("a.raw", Bytes(1000, 0x11));
    {
        RecordingDesktop desktop;
        desktop.answerRaw = true;
        desktop.rawAnswer = RawFormat{22050, 2, 2, 100, false};
        Opened o;
        Open(o, path, desktop);
        ASSERT_TRUE(o.ok);
        // The dialog starts from the defaults of a new head.
        EXPECT_EQ(desktop.rawShown.rate, 44100);
        EXPECT_EQ(desktop.rawShown.channels, 2);
        EXPECT_EQ(desktop.rawShown.bytesPerSample, 2);
        EXPECT_EQ(o.info.frames, 225u);
        EXPECT_EQ(o.info.flags, 1);
        EXPECT_EQ(o.info.blockAlign, 4);
    }
    {
        RecordingDesktop desktop;
        desktop.answerRaw = true;
        desktop.rawAnswer = RawFormat{8000, 1, 3, 0, true};
        Opened o;
        Open(o, path, desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.flags, 5);
        EXPECT_EQ(o.info.frames, 333u);
    }
    {
        RecordingDesktop desktop;
        Opened o;
        Open(o, path, desktop);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(o.info.handle, -1);
    }
}

TEST(Recognition, RefusesValuesThatCannotBeRead) {
    TempDir dir;
    struct Case {
        RawFormat raw;
        const char* message;
    } cases[] = {
        {{44100, 0, 2, 0, false}, "The channel count of this file is invalid!"},
        {{44100, -3, 2, 0, false}, "The channel count of this file is invalid!"},
        {{0, 1, 2, 0, false}, "The sample rate of this file is invalid!"},
        {{44100, 1, 5, 0, false}, "This data format is not supported!"},
        {{44100, 1, 0, 0, false}, "This data format is not supported!"},
        {{44100, 1, 2, 1000, false}, "The data offset lies beyond the end of the file!"},
        {{44100, 1, 2, -4, false}, "The data offset lies beyond the end of the file!"},
        {{44100, 4, 4, 990, false}, "The file holds no sample frames!"},
    };
    const std::string path = dir.Write("a.pcm", Bytes(1000, 0));
    for (const Case& c : cases) {
        RecordingDesktop desktop;
        desktop.answerRaw = true;
        desktop.rawAnswer = c.raw;
        Opened o;
        Open(o, path, desktop);
        EXPECT_FALSE(o.ok) << c.message;
        ASSERT_EQ(desktop.messages.size(), 1u) << c.message;
        EXPECT_EQ(desktop.messages[0].first, c.message);
        EXPECT_EQ(desktop.messages[0].second, MessageIcon::Stop);
        EXPECT_EQ(o.info.handle, -1);
    }

    // WAV headers with zero channels or a block align of zero.
    for (int variant = 0; variant < 2; ++variant) {
        Bytes file = MakeWav(WavSpec{}, Frames16(10));
        if (variant == 0)
            file[22] = 0;
        else
            file[32] = 0;
        RecordingDesktop desktop;
        Opened o;
        Open(o, dir.Write("z.wav", file), desktop);
        EXPECT_FALSE(o.ok);
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0].second, MessageIcon::Stop);
    }

    // An AU data offset past the end of the file.
    RecordingDesktop desktop;
    Bytes au = MakeAu(3, 8000, 1, Bytes(10, 0), 10);
    au[4] = 0x7F;
    Opened o;
    Open(o, dir.Write("far.au", au), desktop);
    EXPECT_FALSE(o.ok);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].first, "The data offset lies beyond the end of the file!");
}

TEST(Recognition, ShortFilesAndLongSizes) {
    TempDir dir;
    RecordingDesktop desktop;
    {
        // A data chunk that claims more than the file holds reads what is there.
        WavSpec layout;
        layout.dataSizeOverride = 0xFFFFFFF0;
        Opened o;
        Open(o, dir.Write("cut.wav", MakeWav(layout, Frames16(7))), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_EQ(o.info.frames, 7u);
    }
    {
        // Wider samples than the default with no header: refused before any dialog.
        RecordingDesktop d;
        d.answerRaw = true;
        Opened o;
        o.info.bytesPerSample = 3;
        Open(o, dir.Write("x.raw", Bytes(30, 0)), d);
        EXPECT_FALSE(o.ok);
        EXPECT_EQ(d.rawAsked, 0);
        ASSERT_EQ(d.messages.size(), 1u);
        EXPECT_EQ(d.messages[0].first, "This data format is not supported!");
    }
    EXPECT_TRUE(desktop.messages.empty());
}

TEST(Recognition, FilesThatCannotBeReadSayWhy) {
    TempDir dir;
    const struct {
        std::string path;
        bool answerRaw;
        OpenOutcome outcome;
        std::string message; // none when empty
    } cases[] = {
        {dir.Path() + "/missing.wav", true, OpenOutcome::Refused,
         "The file " + dir.Path() + "/missing.wav cannot be opened: No such file or directory."},
        {dir.Path(), true, OpenOutcome::Refused,
         "The file " + dir.Path() + " cannot be opened: it is a folder."},
        // A named pipe would wait for a writer for ever.
        {dir.Fifo("pipe.wav"), true, OpenOutcome::Refused,
         "The file " + dir.Path() +
             "/pipe.wav cannot be opened: it is a named pipe, not a "
             "regular file."},
        {"/dev/null", true, OpenOutcome::Refused,
         "The file /dev/null cannot be opened: it is a device, not a regular file."},
        // No bytes at all: refused at once, never sent to the raw-format dialog.
        {dir.Write("empty.wav", Bytes()), true, OpenOutcome::Refused,
         "The file " + dir.Path() + "/empty.wav is empty."},
        // No header, and the raw format not given: the user chose, nothing to say.
        {dir.Write("plain.raw", Bytes(64, 1)), false, OpenOutcome::Cancelled, ""},
    };
    for (const auto& c : cases) {
        RecordingDesktop desktop;
        desktop.answerRaw = c.answerRaw;
        SfInfo info;
        info.path = c.path;
        EXPECT_EQ(OpenAndRecognise(info, desktop), c.outcome) << c.path;
        EXPECT_EQ(info.handle, -1) << c.path;
        if (c.message.empty()) {
            EXPECT_TRUE(desktop.messages.empty()) << c.path;
            continue;
        }
        EXPECT_EQ(desktop.rawAsked, 0) << c.path;
        ASSERT_EQ(desktop.messages.size(), 1u) << c.path;
        EXPECT_EQ(desktop.messages[0].first, c.message);
        EXPECT_EQ(desktop.messages[0].second, MessageIcon::Stop);
    }
}
