// The description of one opened sound file and the task record of items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Bits of SfInfo::flags.
enum SfFlags : int {
    kSfFormatKnown = 1, // the sample format is known (header or raw dialog)
    kSfRiffWave = 2,    // RIFF WAVE header
    kSfBigEndian = 4,   // samples are stored most significant byte first
    kSfIeeeFloat = 256, // 4-byte samples are IEEE floats, read as sample x 2^31
    kSfSigned8 = 512,   // 1-byte samples are two's complement (AIFF, AU), not offset by 128
};

// Which overview the head window draws.
enum SfOverviewMethod : int {
    kOverviewRms = 32794,
    kOverviewWav = 32795,
};

// The edit flags of task word 10, shared by the head window and the waveform
// window (the spectrum keeps its own bits above them).
namespace TaskFlags {
inline constexpr uint32_t kShown = 0x001;       // cursor and block are drawn
inline constexpr uint32_t kLeftActive = 0x010;  // the block's left edge follows mouse and keys
inline constexpr uint32_t kRightActive = 0x020; // the right edge does
inline constexpr uint32_t kChanged = 0x080;     // the last input changed the block
inline constexpr uint32_t kCursorMoved = 0x100; // the last input moved the cursor
} // namespace TaskFlags

// The task of an item: the analysed range in frames of the head's file, the
// channel, and a few display words of the head window and the spectrum item.
struct SfTask {
    uint32_t start = 0;      // word 1: first frame
    uint32_t end = 0;        // word 2: end frame (equal to start for an instant)
    int32_t channel = 0;     // word 3
    int32_t selectLeft = 0;  // word 4: head window selection, left pixel
    int32_t selectRight = 0; // word 5: head window selection, right pixel
    int32_t playCursor = 0;  // word 6: cursor pixel of the head or waveform window
    int32_t spare = 0;       // word 7: kept by no window
    int32_t cursorFrame = 0; // word 8: waveform window, the frame under its cursor
    int32_t cursorIndex = 0; // word 9: waveform window, the envelope value at its cursor
    uint32_t flags = 0;      // word 10: TaskFlags of the window that edits the task
    // Words 11 to 14: the selection box of a spectrum view, which a spectrum
    // inserted from it zooms into.
    float boxFreqLow = 0.0f; // Hz
    float boxFreqHigh = 0.0f;
    float boxLevelLow = 0.0f; // dB, or linear magnitude
    float boxLevelHigh = 0.0f;
};

// One opened sound file. The format fields are written only while the file is
// recognised; afterwards only the overview, its method and the task change.
// Offsets and sizes are 64-bit so that large raw files work; what goes into the
// overview cache keeps its 32-bit layout.
struct SfInfo {
    std::string path;            // as the user named it
    int handle = -1;             // TolqDsp handle, -1 when closed
    int32_t rate = 44100;        // frames per second
    int64_t dataOffset = 0;      // byte offset of the first frame
    uint32_t frames = 0;         // number of frames
    int32_t channels = 2;        // interleaved channels, channel 0 first
    int32_t bytesPerSample = 2;  // 1 to 4
    int32_t blockAlign = 4;      // bytes per frame
    int32_t flags = 0;           // SfFlags
    std::vector<float> overview; // empty until built
    int32_t overviewMethod = kOverviewWav;
    SfTask task; // the head's task block
    // The container recognition found ("WAVE", "AU", "FLAC"...); empty for raw files.
    std::string format;
    // Compressed files are read from a decoded copy; path stays the user's file.
    std::string decodedPath;
};

// Format name of the file block of Show Info: the container found, or for a
// raw file the name its flags suggest.
const char* FormatName(const SfInfo& info);

// The file block that every Show Info text begins with.
std::string FileInfoText(const SfInfo& info);
