#include "soundfile/FormatProbes.h"

#include "soundfile/DesktopServices.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <cmath>
#include <cstring>

namespace {

// A WAV file with more chunks than this before its sound data is not one
// anybody wrote; the limit keeps a file of empty chunks from scanning for ever.
constexpr int kMaxWavChunks = 4096;

constexpr uint32_t kWaveFormatPcm = 1;
constexpr uint32_t kWaveFormatFloat = 3;

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int16_t Le16s(const uint8_t* p) {
    return int16_t(uint16_t(p[0] | p[1] << 8));
}
uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
int16_t Be16s(const uint8_t* p) {
    return int16_t(uint16_t(p[0] << 8 | p[1]));
}
bool Is(const uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

bool ReadHeader(const SfInfo& info, uint8_t* header, int64_t size) {
    return sfread(info.handle, header, size, 0) == size;
}

int64_t FileSize(const SfInfo& info) {
    SfStat st;
    return sfstat(info.handle, st) == 0 ? st.size : 0;
}

uint32_t FramesIn(int64_t bytes, int64_t blockAlign) {
    if (bytes <= 0 || blockAlign <= 0)
        return 0;
    const int64_t frames = bytes / blockAlign;
    return frames > int64_t(UINT32_MAX) ? UINT32_MAX : uint32_t(frames);
}

} // namespace

bool ProbeWav(SfInfo& info) {
    uint8_t h[44] = {};
    if (sfread(info.handle, h, sizeof h, 0) < 36)
        return false;
    if (!Is(h, "RIFF") || !Is(h + 8, "WAVE") || !Is(h + 12, "fmt "))
        return false;
    // Only plain integer and IEEE float samples are read; compressed formats
    // (mu-law, ADPCM, MPEG) would show as noise.
    const uint32_t tag = uint32_t(h[20]) | uint32_t(h[21]) << 8;
    if (tag != kWaveFormatPcm && tag != kWaveFormatFloat)
        return false;
    const uint32_t fmtSize = Le32(h + 16);
    if (fmtSize < 16)
        return false;

    // The chunks after the format chunk, each padded to an even size.
    int64_t offset = 20 + int64_t(fmtSize) + (fmtSize & 1);
    uint8_t chunk[8];
    for (int n = 0;; ++n) {
        if (n == kMaxWavChunks || sfread(info.handle, chunk, 8, offset) != 8) {
            info.dataOffset = 0;
            return false;
        }
        if (Is(chunk, "data"))
            break;
        const uint32_t size = Le32(chunk + 4);
        offset += 8 + int64_t(size) + (size & 1);
    }

    info.rate = int32_t(Le32(h + 24));
    info.channels = Le16s(h + 22);
    info.blockAlign = Le16s(h + 32);
    info.dataOffset = offset + 8;
    info.bytesPerSample = info.channels > 0 ? info.blockAlign / info.channels : 0;
    info.frames = FramesIn(Le32(chunk + 4), info.blockAlign);
    info.flags = kSfFormatKnown | kSfRiffWave | (tag == kWaveFormatFloat ? kSfIeeeFloat : 0);
    return true;
}

bool ProbeAu(SfInfo& info, DesktopServices& desktop) {
    uint8_t h[24];
    if (!ReadHeader(info, h, sizeof h) || !Is(h, ".snd"))
        return false;
    info.dataOffset = Be32(h + 4);
    const uint32_t dataSize = Be32(h + 8);
    const uint32_t encoding = Be32(h + 12);
    info.rate = int32_t(Be32(h + 16));
    info.channels = int32_t(Be32(h + 20));

    switch (encoding) {
    case 2:
    case 3:
    case 4:
    case 5:
        info.bytesPerSample = int32_t(encoding) - 1;
        info.flags = kSfFormatKnown | kSfBigEndian;
        break;
    case 1:
    case 6:
    case 7:
    case 23:
    case 24:
    case 25:
    case 26:
    case 27:
        desktop.ShowMessage("This AU file encoding is not supported", MessageIcon::None);
        break;
    default:
        desktop.ShowMessage("This AU file encoding is unknown", MessageIcon::None);
        break;
    }
    if (info.flags == 0)
        return false;

    const int64_t blockAlign = int64_t(info.bytesPerSample) * int64_t(info.channels);
    info.blockAlign = blockAlign > 0 && blockAlign <= INT32_MAX ? int32_t(blockAlign) : 0;
    const int64_t bytes = dataSize == 0xFFFFFFFFu ? FileSize(info) - info.dataOffset : dataSize;
    info.frames = FramesIn(bytes, info.blockAlign);
    return true;
}

bool ProbeAiff(SfInfo& info) {
    uint8_t h[54];
    if (!ReadHeader(info, h, sizeof h))
        return false;
    if (!Is(h, "FORM") || !Is(h + 8, "AIFF") || !Is(h + 12, "COMM") || !Is(h + 38, "SSND"))
        return false;
    info.channels = Be16s(h + 20);
    const int bits = Be16s(h + 26);
    if (bits > 32)
        return false;
    info.bytesPerSample = bits <= 8 ? 1 : bits <= 16 ? 2 : bits <= 24 ? 3 : 4;

    // Only the exponent's low byte and the top 16 mantissa bits of the 80-bit
    // rate are used, which is exact for every usual rate.
    const int exponent = int(int8_t(h[29])) - 14;
    const unsigned mantissa = unsigned(h[30]) << 8 | h[31];
    const double rate = std::trunc(std::ldexp(double(mantissa), exponent));
    info.rate = rate >= 1.0 && rate <= double(INT32_MAX) ? int32_t(rate) : 0;

    const int64_t blockAlign = int64_t(info.bytesPerSample) * int64_t(info.channels);
    info.blockAlign = blockAlign > 0 ? int32_t(blockAlign) : 0;
    info.dataOffset = 54 + int64_t(Be32(h + 46));
    info.frames = Be32(h + 22);
    info.flags = kSfFormatKnown | kSfBigEndian;
    return true;
}
