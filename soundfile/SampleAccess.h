// The one conversion from stored sample bytes to numbers that every analysis
// and the overview use. Values are not scaled: a full-scale 16-bit sample is
// 32767; 8-bit samples are the byte minus 128 (WAV, raw) or the signed byte
// (AIFF, AU); IEEE float samples are sample x 2^31, clamped to the 32-bit range.
#pragma once

#include <cstddef>
#include <cstdint>

struct SfInfo;

// How one stored sample becomes a number.
struct SampleCoding {
    int bytesPerSample = 2;
    bool bigEndian = false;
    bool ieeeFloat = false; // 4-byte IEEE floats
    // 8-bit samples in two's complement (AIFF, AU) rather than offset by 128 (WAV).
    bool signed8 = false;
};

SampleCoding CodingOf(const SfInfo& info);

// Reverses the byte order of count samples of the given width in place.
void SwapSamples(uint8_t* bytes, size_t count, int bytesPerSample);

// Converts whole frames of stored bytes (byte order, IEEE floats and any
// padding at the end of a frame taken care of) to frames x channels numbers,
// interleaved as stored. The sample width must be 1 to 4 bytes.
void DecodeFrames(const SampleCoding& coding, int channels, int blockAlign, const uint8_t* bytes,
                  size_t frames, int32_t* values);

// Reads count frames from frame start, channel channel, into values. Frames
// past the end of the file become 0. Returns the frames actually read; 0 for
// an unsupported sample width (values untouched).
uint32_t ReadSamples(const SfInfo& info, float* values, uint32_t count, uint32_t start,
                     int channel);

// As ReadSamples, each value multiplied by window[i].
uint32_t ReadWindowedSamples(const SfInfo& info, float* values, uint32_t count, uint32_t start,
                             int channel, const float* window);

// Mean square of a run of values: the RMS (mode 0) or the level in dB (any
// other mode; 0 when the run is silent).
class BlockLevel {
public:
    virtual ~BlockLevel() = default;
    virtual double Level(const int16_t* values, size_t count, int mode) const;
    virtual double Level(const float* values, size_t count, int mode) const;
};
