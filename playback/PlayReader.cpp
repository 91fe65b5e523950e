#include "playback/PlayReader.h"

#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <algorithm>

namespace {

// Loop blocks shorter than this repeat so fast that the device spends more
// time on the blocks than on the sound.
constexpr int64_t kMinLoopBlockBytes = 512;

// A loop pass ends this close to the end offset: the equal blocks of a pass
// may fall a few bytes short of it.
constexpr int64_t kLoopEndSlack = 16;

} // namespace

size_t PlayBlockBytes(const PlayReader& reader, int32_t blockLength) {
    const int64_t unit = reader.DeviceBlockAlign();
    if (unit <= 0)
        return 0;
    const int64_t normal = std::max<int64_t>(unit, blockLength / unit * unit);
    if (!reader.loop)
        return size_t(normal);
    // The range in device bytes, exact: from the offsets, not from times.
    const int64_t range =
        std::max<int64_t>(0, reader.endOffset - reader.startOffset) * unit / reader.blockAlign;
    int64_t bytes = range;
    if (bytes == 0 || bytes >= normal)
        bytes /= std::max<int64_t>(1, bytes / normal);
    bytes = bytes / unit * unit;
    return bytes < kMinLoopBlockBytes ? 0 : size_t(bytes);
}

BlockFill FillBlock(PlayReader& reader, uint8_t* block, size_t blockBytes) {
    const int64_t wanted = int64_t(reader.widen8 ? blockBytes / 2 : blockBytes);
    const int64_t left = reader.endOffset - reader.readOffset;
    int64_t got =
        left > 0 ? sfread(reader.handle, block, std::min(wanted, left), reader.readOffset) : 0;
    // A file cut inside a frame ends with the last whole frame.
    if (got > 0)
        got -= got % reader.blockAlign;
    if (got <= 0)
        return BlockFill{};

    if (reader.flags & kSfBigEndian)
        SwapSamples(block, size_t(got / reader.bytesPerSample), reader.bytesPerSample);
    // The device takes 8-bit samples offset by 128, as WAV stores them.
    if (reader.flags & kSfSigned8)
        for (int64_t i = 0; i < got; ++i)
            block[i] ^= 0x80;
    reader.readOffset += got;

    BlockFill fill;
    if (reader.loop) {
        if (reader.readOffset >= reader.endOffset - kLoopEndSlack)
            reader.readOffset = reader.startOffset;
        fill.more = true;
    } else {
        fill.more = reader.readOffset != reader.endOffset;
    }

    fill.length = size_t(got);
    if (reader.widen8) {
        // Backwards, so that each byte is read before its 16-bit sample
        // overwrites it: (b - 128) x 256, little-endian.
        for (int64_t i = got - 1; i >= 0; --i) {
            const uint8_t b = block[i];
            block[2 * i + 1] = uint8_t(b ^ 0x80);
            block[2 * i] = 0;
        }
        fill.length *= 2;
    }
    return fill;
}
