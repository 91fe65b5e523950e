// Sound files made byte by byte for the tests, a scratch directory, and a
// desktop that records what the core shows the user.
#pragma once

#include "soundfile/DesktopServices.h"

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

void AppendLe16(Bytes& b, uint32_t v);
void AppendLe32(Bytes& b, uint32_t v);
void AppendBe16(Bytes& b, uint32_t v);
void AppendBe32(Bytes& b, uint32_t v);
void AppendId(Bytes& b, const char* id);

// Little-endian sample bytes of the given width from integer sample values
// (8-bit values are stored offset by 128).
Bytes PcmBytes(const std::vector<int32_t>& values, int bytesPerSample, bool bigEndian = false);

struct WavSpec {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 44100;
    uint16_t bytesPerSample = 2;
    uint32_t fmtSize = 16;              // 16, 18 or 40 in real files
    std::vector<Bytes> chunksBefore;    // whole chunks (id, size, body) before "data"
    int64_t dataSizeOverride = -1;      // a different size in the data chunk header
    std::vector<Bytes> chunksBeforeFmt; // whole chunks between "WAVE" and "fmt "
    // Non-zero: a WAVE_FORMAT_EXTENSIBLE header (tag 0xFFFE, 40-byte format
    // chunk) whose subformat GUID carries this tag.
    uint16_t extensibleSubFormat = 0;
};
Bytes MakeWav(const WavSpec& layout, const Bytes& data);
// The plain layout of a mono 16-bit file at the given rate.
inline WavSpec MonoWav16(uint32_t rate) {
    WavSpec layout;
    layout.rate = rate;
    return layout;
}
Bytes Chunk(const char* id, const Bytes& body); // adds the pad byte for odd sizes

// A WAV file of two sines at 8000 Hz, stereo 16-bit: the left channel
// louder and slower than the right.
Bytes StereoTone(int frames);

Bytes MakeAu(uint32_t encoding, uint32_t rate, uint32_t channels, const Bytes& data,
             uint32_t dataSize, uint32_t dataOffset = 24);
Bytes MakeAiff(int16_t channels, int16_t bits, uint16_t exponent, uint16_t mantissaTop,
               const Bytes& data, uint32_t ssndOffset = 0);

// A fresh directory that is removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string Write(const std::string& name, const Bytes& bytes) const;
    std::string Fifo(const std::string& name) const; // a named pipe

private:
    std::string path_;
};

Bytes ReadFileBytes(const std::string& path);

struct RecordingDesktop : DesktopServices {
    std::vector<std::string> infoTexts;
    std::vector<std::pair<std::string, MessageIcon>> messages;
    bool answerRaw = false; // false: the raw-format dialog is cancelled
    RawFormat rawAnswer;
    int rawAsked = 0;
    RawFormat rawShown;
    int waitDepth = 0;
    bool stopProgress = false; // the user stops a stoppable task at its first progress

    void SetInfoText(const std::string& text) override { infoTexts.push_back(text); }
    bool ShowStoppableProgress(const std::string& text, int) override {
        infoTexts.push_back(text);
        return !stopProgress;
    }
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        messages.emplace_back(text, icon);
    }
    bool AskRawFormat(const std::string&, RawFormat& values) override {
        ++rawAsked;
        rawShown = values;
        if (answerRaw)
            values = rawAnswer;
        return answerRaw;
    }
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }
};
