// Recognising sound files by their headers, the raw-format path, and refusing
// files whose values cannot be read safely.
#include "support/TestFiles.h"

#include "soundfile/OpenHead.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <gtest/gtest.h>

#include <unistd.h>

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
    // An extensible header cut to 16 bytes, and codings neither we nor libsndfile read.
    for (uint16_t tag : {uint16_t(0xFFFE), uint16_t(0x55), uint16_t(0x2000)}) {
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
        // An encoding that neither the program nor its decoder reads: one
        // plain message, then the raw dialog filled in from the AU header.
        for (uint32_t enc : {24u}) {
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
        {{44100, 1, 2, 1001, false}, "The data offset lies beyond the end of the file!"},
        {{44100, 1, 2, 1000, false}, "The file holds no sample frames!"},
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

namespace {

Bytes BeChunk(const char* id, const Bytes& body) {
    Bytes b;
    AppendId(b, id);
    AppendBe32(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

// An AIFF or AIFF-C file of the given chunks.
Bytes Form(const char* type, const std::vector<Bytes>& chunks) {
    Bytes body;
    AppendId(body, type);
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes file;
    AppendId(file, "FORM");
    AppendBe32(file, uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// A common chunk with a raw 80-bit rate; compression type for AIFF-C.
Bytes Comm(int16_t channels, uint32_t frames, int16_t bits, const uint8_t (&rate)[10],
           const char* compression = nullptr) {
    Bytes b;
    AppendBe16(b, uint16_t(channels));
    AppendBe32(b, frames);
    AppendBe16(b, uint16_t(bits));
    b.insert(b.end(), rate, rate + 10);
    if (compression) {
        AppendId(b, compression);
        b.insert(b.end(), {0, 0}); // empty Pascal string, padded
    }
    return BeChunk("COMM", b);
}

Bytes Ssnd(const Bytes& data) {
    Bytes b(8, 0);
    b.insert(b.end(), data.begin(), data.end());
    return BeChunk("SSND", b);
}

constexpr uint8_t kRate44100[10] = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};

} // namespace

TEST(Recognition, ChunksInAnyOrderAndExtendedHeaders) {
    TempDir dir;
    const Bytes comt = BeChunk("COMT", Bytes(12, 'c'));
    const Bytes name = BeChunk("NAME", Bytes(5, 'n'));
    const Bytes pcm = Frames16(12);
    WavSpec junkFirst;
    junkFirst.chunksBeforeFmt = {Chunk("JUNK", Bytes(28, 0)), Chunk("bext", Bytes(603, 'b'))};
    WavSpec extensible24;
    extensible24.channels = 3;
    extensible24.bytesPerSample = 3;
    extensible24.rate = 96000;
    extensible24.extensibleSubFormat = 1;
    WavSpec extensibleFloat;
    extensibleFloat.bytesPerSample = 4;
    extensibleFloat.extensibleSubFormat = 3;
    const struct {
        const char* name;
        Bytes file;
        const char* format;
        int flags, channels, bytesPerSample, rate;
        int64_t dataOffset;
        uint32_t frames;
    } cases[] = {
        {"junk.wav", MakeWav(junkFirst, pcm), "WAVE", 3, 1, 2, 44100, 12 + 36 + 612 + 24 + 8, 12},
        {"ext24.wav", MakeWav(extensible24, Bytes(90, 0)), "WAVE", 3, 3, 3, 96000, 68, 10},
        {"extfloat.wav", MakeWav(extensibleFloat, Bytes(40, 0)), "WAVE", 3 | 256, 1, 4, 44100, 68,
         10},
        // sox's AIFF: comment and name chunks before the common chunk.
        {"sox.aiff", Form("AIFF", {comt, name, Comm(1, 12, 16, kRate44100), Ssnd(pcm)}), "AIFF", 5,
         1, 2, 44100, 12 + 20 + 14 + 26 + 16, 12},
        {"twos.aifc", Form("AIFC", {Comm(2, 6, 16, kRate44100, "twos"), Ssnd(pcm)}), "AIFF-C", 5, 2,
         2, 44100, 12 + 32 + 16, 6},
        {"none.aifc", Form("AIFC", {name, Comm(1, 12, 16, kRate44100, "NONE"), Ssnd(pcm)}),
         "AIFF-C", 5, 1, 2, 44100, 12 + 14 + 32 + 16, 12},
        {"sowt.aifc", Form("AIFC", {Comm(1, 12, 16, kRate44100, "sowt"), Ssnd(pcm)}), "AIFF-C", 1,
         1, 2, 44100, 12 + 32 + 16, 12},
        {"fl32.aifc", Form("AIFC", {Comm(1, 6, 32, kRate44100, "fl32"), Ssnd(pcm)}), "AIFF-C",
         5 | 256, 1, 4, 44100, 12 + 32 + 16, 6},
    };
    for (const auto& c : cases) {
        RecordingDesktop desktop;
        Opened o;
        Open(o, dir.Write(c.name, c.file), desktop);
        ASSERT_TRUE(o.ok) << c.name;
        EXPECT_STREQ(FormatName(o.info), c.format) << c.name;
        EXPECT_EQ(o.info.flags, c.flags) << c.name;
        EXPECT_EQ(o.info.channels, c.channels) << c.name;
        EXPECT_EQ(o.info.bytesPerSample, c.bytesPerSample) << c.name;
        EXPECT_EQ(o.info.blockAlign, c.channels * c.bytesPerSample) << c.name;
        EXPECT_EQ(o.info.rate, c.rate) << c.name;
        EXPECT_EQ(o.info.dataOffset, c.dataOffset) << c.name;
        EXPECT_EQ(o.info.frames, c.frames) << c.name;
        EXPECT_TRUE(desktop.messages.empty()) << c.name;
        EXPECT_EQ(desktop.rawAsked, 0) << c.name;
    }
}

TEST(Recognition, EightBitAiffAndAuSamplesAreSigned) {
    TempDir dir;
    const std::vector<int32_t> values = {2, -128, 127, -1, 0};
    Bytes signedBytes;
    for (int32_t v : values)
        signedBytes.push_back(uint8_t(int8_t(v)));
    WavSpec wav8;
    wav8.bytesPerSample = 1;
    const struct {
        const char* name;
        Bytes file;
        const char* format;
        int flags;
    } cases[] = {
        {"s8.aiff", MakeAiff(1, 8, 0x400E, 0xAC44, signedBytes), "AIFF", 5 | 512},
        {"s8.au", MakeAu(2, 8000, 1, signedBytes, uint32_t(signedBytes.size())), "AU", 5 | 512},
        // WAV stores 8-bit samples offset by 128, and stays so.
        {"u8.wav", MakeWav(wav8, PcmBytes(values, 1)), "WAVE", 3},
    };
    for (const auto& c : cases) {
        RecordingDesktop desktop;
        Opened o;
        Open(o, dir.Write(c.name, c.file), desktop);
        ASSERT_TRUE(o.ok) << c.name;
        EXPECT_EQ(o.info.flags, c.flags) << c.name;
        EXPECT_STREQ(FormatName(o.info), c.format) << c.name;
        std::vector<float> read(values.size());
        ASSERT_EQ(ReadSamples(o.info, read.data(), uint32_t(read.size()), 0, 0), values.size());
        for (size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(read[i], float(values[i])) << c.name << " sample " << i;
    }
}

TEST(Recognition, WrongHeaderValuesAreRefusedWithOneMessage) {
    TempDir dir;
    auto rate = [](std::initializer_list<uint8_t> bytes) {
        Bytes b(bytes);
        b.resize(10, 0);
        return b;
    };
    const struct {
        const char* name;
        Bytes file;
        const char* message;
    } cases[] = {
        {"nan.aif", rate({0x7F, 0xFF, 0xC0}), "The sample rate of this file is invalid!"},
        {"inf.aif", rate({0x7F, 0xFF, 0x80}), "The sample rate of this file is invalid!"},
        {"neg.aif", rate({0xC0, 0x0E, 0xAC, 0x44}), "The sample rate of this file is invalid!"},
        {"half.aif", rate({0x3F, 0xFE, 0x80}), "The sample rate of this file is invalid!"},
        {"5ghz.aif", rate({0x40, 0x1F, 0x95, 0x02, 0xF9}),
         "The sample rate of this file is invalid!"},
        {"short.au", MakeAu(3, 8000, 1, Bytes(40, 0), 40, 16),
         "The header of this AU file is too short!"},
        // A header and nothing else: 44 bytes, no frames.
        {"empty.wav", MakeWav(WavSpec{}, Bytes()), "The file holds no sample frames!"},
    };
    for (const auto& c : cases) {
        Bytes file = c.file;
        if (c.file.size() == 10) {
            uint8_t raw[10];
            std::copy(c.file.begin(), c.file.end(), raw);
            file = Form("AIFF", {Comm(1, 4, 16, raw), Ssnd(Frames16(4))});
        }
        RecordingDesktop desktop;
        desktop.answerRaw = true;
        Opened o;
        Open(o, dir.Write(c.name, file), desktop);
        EXPECT_FALSE(o.ok) << c.name;
        EXPECT_EQ(desktop.rawAsked, 0) << c.name;
        ASSERT_EQ(desktop.messages.size(), 1u) << c.name;
        EXPECT_EQ(desktop.messages[0].first, c.message) << c.name;
        EXPECT_EQ(desktop.messages[0].second, MessageIcon::Stop) << c.name;
    }
}

TEST(Recognition, FilesBeyondFourGigabytes) {
    TempDir dir;
    // Sparse files: 5 GiB of sound after an RF64 header whose 32-bit sizes
    // are all ones, the true sizes in "ds64".
    constexpr uint64_t kData = uint64_t(5) << 30;
    auto rf64 = [&](const char* name, uint16_t channels, uint16_t bytesPerSample) {
        Bytes ds64;
        AppendLe32(ds64, 0xFFFFFFFFu); // RIFF size, low and high words
        AppendLe32(ds64, 1);
        AppendLe32(ds64, uint32_t(kData));
        AppendLe32(ds64, uint32_t(kData >> 32));
        AppendLe32(ds64, 0); // sample count: not read
        AppendLe32(ds64, 0);
        AppendLe32(ds64, 0); // table length
        WavSpec layout;
        layout.channels = channels;
        layout.bytesPerSample = bytesPerSample;
        layout.chunksBeforeFmt = {Chunk("ds64", ds64)};
        layout.dataSizeOverride = 0xFFFFFFFF;
        Bytes header = MakeWav(layout, Bytes());
        std::copy_n("RF64", 4, header.begin());
        const std::string path = dir.Write(name, header);
        EXPECT_EQ(::truncate(path.c_str(), off_t(header.size() + kData)), 0);
        return path;
    };
    {
        RecordingDesktop desktop;
        Opened o;
        Open(o, rf64("big.wav", 2, 2), desktop);
        ASSERT_TRUE(o.ok);
        EXPECT_STREQ(FormatName(o.info), "RF64");
        EXPECT_EQ(o.info.dataOffset, 12 + 36 + 24 + 8);
        EXPECT_EQ(o.info.frames, uint32_t(kData / 4));
    }
    {
        RecordingDesktop desktop;
        Opened o;
        Open(o, rf64("long.wav", 1, 1), desktop);
        EXPECT_FALSE(o.ok);
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0].first, "This file holds 5368709120 sample frames; no more "
                                             "than 4294967295 can be analysed.");
    }
}
