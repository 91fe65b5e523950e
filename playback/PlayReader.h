// Reads the range that plays from the sound file, one device block at a time:
// byte order put right, 8-bit samples widened to 16 bits on request, and in
// loop mode back to the start of the range at its end.
#pragma once

#include <cstddef>
#include <cstdint>

struct PlayReader {
    int handle = -1;
    int64_t startOffset = 0; // byte offsets in the file
    int64_t endOffset = 0;
    int64_t readOffset = 0;
    int32_t blockAlign = 0; // bytes per frame in the file
    int32_t bytesPerSample = 0;
    int32_t flags = 0; // SfInfo flags
    bool loop = false;
    bool widen8 = false; // 8-bit samples become 16-bit: the device gets twice the bytes

    // Bytes per frame as the device gets them.
    int32_t DeviceBlockAlign() const { return widen8 ? 2 * blockAlign : blockAlign; }
};

// The device bytes of every block: blockLength in whole frames (at least
// one). In loop mode the range is cut into equal blocks no longer than that,
// so that each pass reads the same pieces; 0 when such a block would be under
// 512 bytes, a loop too short to play.
size_t PlayBlockBytes(const PlayReader& reader, int32_t blockLength);

struct BlockFill {
    size_t length = 0; // device bytes in the block
    bool more = false; // more data follows this block
};

// Fills block (room for blockBytes) from the read offset, never past the end
// offset. A read error or the end of the file gives an empty last block.
BlockFill FillBlock(PlayReader& reader, uint8_t* block, size_t blockBytes);
