#include "soundfile/FormatProbes.h"

#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// A file with more chunks than this before its sound data is not one anybody
// wrote; the limit keeps a file of empty chunks from scanning for ever.
constexpr int kMaxChunks = 4096;

constexpr uint32_t kWaveFormatPcm = 1;
constexpr uint32_t kWaveFormatFloat = 3;
constexpr uint32_t kWaveFormatExtensible = 0xFFFE;
// The twelve bytes that follow the format tag in every KSDATAFORMAT_SUBTYPE
// GUID of a WAVE_FORMAT_EXTENSIBLE header.
constexpr uint8_t kSubtypeTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                      0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// AIFF rates outside this range are not a sampled sound, whatever the header says.
constexpr double kMinRate = 1.0;
constexpr double kMaxRate = 4.0e9;

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint64_t Le64(const uint8_t* p) {
    return uint64_t(Le32(p)) | uint64_t(Le32(p + 4)) << 32;
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
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

bool ReadAt(const SfInfo& info, uint8_t* out, int64_t size, int64_t offset) {
    return sfread(info.handle, out, size, offset) == size;
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

ProbeResult Found(ProbeOutcome outcome, std::string problem = std::string()) {
    return ProbeResult{outcome, std::move(problem)};
}

// The 80-bit extended rate of an AIFF header as a number, NaN when it is not one.
double ExtendedValue(const uint8_t* p) {
    const int exponent = (p[0] & 0x7F) << 8 | p[1];
    uint64_t mantissa = 0;
    for (int i = 2; i < 10; ++i)
        mantissa = mantissa << 8 | p[i];
    if (exponent == 0x7FFF)
        return mantissa << 1 == 0 ? HUGE_VAL : NAN;
    const double magnitude = std::ldexp(double(mantissa), exponent - 16383 - 63);
    return (p[0] & 0x80) ? -magnitude : magnitude;
}

} // namespace

ProbeResult ProbeWav(SfInfo& info) {
    uint8_t h[12];
    if (!ReadAt(info, h, sizeof h, 0) || !Is(h + 8, "WAVE"))
        return {};
    const bool riff = Is(h, "RIFF");
    const bool rf64 = Is(h, "RF64") || Is(h, "BW64");
    if (!riff && !rf64)
        return {};

    // Recorders put "JUNK", "bext" or "LIST" chunks anywhere before the sound;
    // RF64 keeps the sizes that do not fit 32 bits in its "ds64" chunk.
    uint8_t fmt[40] = {};
    uint32_t fmtSize = 0;
    bool haveFmt = false;
    uint64_t ds64DataSize = 0;
    bool haveDs64 = false;
    int64_t dataAt = -1;
    uint64_t dataSize = 0;
    int64_t offset = 12;
    uint8_t chunk[8];
    for (int n = 0; n < kMaxChunks && !(haveFmt && dataAt >= 0); ++n) {
        if (!ReadAt(info, chunk, 8, offset))
            break;
        uint64_t size = Le32(chunk + 4);
        if (Is(chunk, "fmt ") && !haveFmt) {
            fmtSize = uint32_t(size);
            const int64_t wanted = std::min<int64_t>(int64_t(size), sizeof fmt);
            haveFmt = sfread(info.handle, fmt, wanted, offset + 8) == wanted;
        } else if (Is(chunk, "ds64") && rf64 && size >= 24) {
            uint8_t body[24];
            haveDs64 = ReadAt(info, body, sizeof body, offset + 8);
            ds64DataSize = Le64(body + 8);
        } else if (Is(chunk, "data") && dataAt < 0) {
            if (size == 0xFFFFFFFFu && haveDs64)
                size = ds64DataSize;
            dataAt = offset;
            dataSize = size;
        }
        offset +=
            8 + int64_t(std::min<uint64_t>(size, uint64_t(INT64_MAX / 2))) + int64_t(size & 1);
    }
    if (!haveFmt || fmtSize < 16 || dataAt < 0) {
        info.dataOffset = 0;
        return {};
    }

    uint32_t tag = Le16(fmt);
    if (tag == kWaveFormatExtensible) {
        if (fmtSize < 40 || std::memcmp(fmt + 28, kSubtypeTail, sizeof kSubtypeTail) != 0)
            return Found(ProbeOutcome::Compressed);
        tag = Le32(fmt + 24);
    }
    const int32_t channels = int16_t(Le16(fmt + 2));
    const int32_t blockAlign = int16_t(Le16(fmt + 12));
    const int32_t bytesPerSample = channels > 0 ? blockAlign / channels : 0;
    // Doubles and compressed or companded samples are read by the decoder.
    if (tag != kWaveFormatPcm && !(tag == kWaveFormatFloat && bytesPerSample == 4))
        return Found(ProbeOutcome::Compressed);

    info.rate = int32_t(Le32(fmt + 4));
    info.channels = channels;
    info.blockAlign = blockAlign;
    info.dataOffset = dataAt + 8;
    info.bytesPerSample = bytesPerSample;
    info.flags = kSfFormatKnown | kSfRiffWave | (tag == kWaveFormatFloat ? kSfIeeeFloat : 0);
    info.format = riff ? "WAVE" : Is(h, "RF64") ? "RF64" : "BW64";
    if (rf64 && blockAlign > 0) {
        // Beyond 4 GiB, but the frame numbers of every analysis are 32-bit.
        const int64_t held = std::max<int64_t>(0, FileSize(info) - info.dataOffset);
        const uint64_t frames = std::min<uint64_t>(dataSize, uint64_t(held)) / uint64_t(blockAlign);
        if (frames > UINT32_MAX)
            return Found(ProbeOutcome::Refused,
                         "This file holds " + std::to_string(frames) +
                             " sample frames; no more than 4294967295 can be analysed.");
    }
    info.frames = FramesIn(int64_t(std::min<uint64_t>(dataSize, uint64_t(INT64_MAX))), blockAlign);
    return Found(ProbeOutcome::Recognised);
}

ProbeResult ProbeAu(SfInfo& info) {
    uint8_t h[24];
    if (!ReadAt(info, h, sizeof h, 0) || !Is(h, ".snd"))
        return {};
    const uint32_t headerSize = Be32(h + 4);
    const uint32_t dataSize = Be32(h + 8);
    const uint32_t encoding = Be32(h + 12);
    // The header itself would be read as sound.
    if (headerSize < sizeof h)
        return Found(ProbeOutcome::Refused, "The header of this AU file is too short!");
    info.dataOffset = headerSize;
    info.rate = int32_t(Be32(h + 16));
    info.channels = int32_t(Be32(h + 20));

    switch (encoding) {
    case 2:
    case 3:
    case 4:
    case 5:
        info.bytesPerSample = int32_t(encoding) - 1;
        break;
    case 1:
    case 6:
    case 7:
    case 23:
    case 24:
    case 25:
    case 26:
    case 27:
        return Found(ProbeOutcome::Compressed, "This AU file encoding is not supported");
    default:
        return Found(ProbeOutcome::Compressed, "This AU file encoding is unknown");
    }
    info.flags = kSfFormatKnown | kSfBigEndian | (encoding == 2 ? kSfSigned8 : 0);
    info.format = "AU";

    const int64_t blockAlign = int64_t(info.bytesPerSample) * int64_t(info.channels);
    info.blockAlign = blockAlign > 0 && blockAlign <= INT32_MAX ? int32_t(blockAlign) : 0;
    const int64_t bytes = dataSize == 0xFFFFFFFFu ? FileSize(info) - info.dataOffset : dataSize;
    info.frames = FramesIn(bytes, info.blockAlign);
    return Found(ProbeOutcome::Recognised);
}

ProbeResult ProbeAiff(SfInfo& info) {
    uint8_t h[54] = {};
    if (!ReadAt(info, h, 12, 0) || !Is(h, "FORM"))
        return {};
    const bool aifc = Is(h + 8, "AIFC");
    if (!aifc && !Is(h + 8, "AIFF"))
        return {};

    // sox and many editors put "COMT", "NAME" or "ANNO" chunks first.
    uint8_t comm[22] = {};
    bool haveComm = false;
    int64_t soundAt = -1;
    uint32_t soundOffset = 0;
    // The plain layout, the common chunk directly followed by the sound data,
    // is taken as it stands, whatever size the common chunk claims.
    if (!aifc && ReadAt(info, h, sizeof h, 0) && Is(h + 12, "COMM") && Is(h + 38, "SSND")) {
        std::memcpy(comm, h + 20, 18);
        haveComm = true;
        soundAt = 38;
        soundOffset = Be32(h + 46);
    }
    int64_t offset = 12;
    uint8_t chunk[8];
    for (int n = 0; n < kMaxChunks && !(haveComm && soundAt >= 0); ++n) {
        if (!ReadAt(info, chunk, 8, offset))
            break;
        const uint32_t size = Be32(chunk + 4);
        if (Is(chunk, "COMM") && !haveComm) {
            const int64_t wanted = aifc ? 22 : 18;
            haveComm = size >= wanted && ReadAt(info, comm, wanted, offset + 8);
        } else if (Is(chunk, "SSND") && soundAt < 0) {
            uint8_t body[4];
            if (ReadAt(info, body, 4, offset + 8)) {
                soundAt = offset;
                soundOffset = Be32(body);
            }
        }
        offset += 8 + int64_t(size) + int64_t(size & 1);
    }
    if (!haveComm || soundAt < 0)
        return {};

    info.channels = Be16s(comm);
    const int bits = Be16s(comm + 6);
    if (bits > 32)
        return {};
    const int bytesPerSample = bits <= 8 ? 1 : bits <= 16 ? 2 : bits <= 24 ? 3 : 4;
    int flags = kSfFormatKnown | kSfBigEndian;
    if (aifc) {
        const uint8_t* type = comm + 18;
        if (Is(type, "sowt"))
            flags = kSfFormatKnown;
        else if ((Is(type, "fl32") || Is(type, "FL32")) && bytesPerSample == 4)
            flags |= kSfIeeeFloat;
        else if (!Is(type, "NONE") && !Is(type, "twos"))
            return Found(ProbeOutcome::Compressed);
    }
    if (bytesPerSample == 1)
        flags |= kSfSigned8;

    info.format = aifc ? "AIFF-C" : "AIFF";
    info.bytesPerSample = bytesPerSample;
    const double value = ExtendedValue(comm + 8);
    if (!(value >= kMinRate && value <= kMaxRate))
        return Found(ProbeOutcome::Refused, "The sample rate of this file is invalid!");
    // Only the exponent's low byte and the top 16 mantissa bits of the 80-bit
    // rate are used, which is exact for every usual rate.
    const int exponent = int(int8_t(comm[9])) - 14;
    const unsigned mantissa = unsigned(comm[10]) << 8 | comm[11];
    const double rate = std::trunc(std::ldexp(double(mantissa), exponent));
    info.rate = rate >= 1.0 && rate <= double(INT32_MAX) ? int32_t(rate) : 0;

    const int64_t blockAlign = int64_t(bytesPerSample) * int64_t(info.channels);
    info.blockAlign = blockAlign > 0 ? int32_t(blockAlign) : 0;
    info.dataOffset = soundAt + 16 + int64_t(soundOffset);
    info.frames = Be32(comm + 2);
    info.flags = flags;
    return Found(ProbeOutcome::Recognised);
}
