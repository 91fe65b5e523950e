// Min/max envelopes of one channel: how a span of frames far longer than a
// plot is wide is drawn without losing its peaks.
#pragma once

#include <cstdint>

struct SfInfo;

// (minimum, maximum) pairs over consecutive blocks of frames: pair j, stored
// at values[2j] and values[2j + 1], covers the block (at least 1) frames from
// start + j x block. Frames past the end of the file count as 0. The frames
// may come from reads made for another purpose (Take), so that an analysis
// that reads them anyway need not read them twice; whatever they leave out is
// read here, piece by piece, so memory stays small however long a block is.
class MinMaxBlocks {
public:
    MinMaxBlocks(const SfInfo& info, int channel, float* values, int pairs, uint32_t start,
                 uint32_t block);

    // Takes count frames read from frame first on. Calls come in increasing
    // order of first; frames already taken and frames after the last block
    // are passed over, and frames between the last ones taken and first are
    // read here.
    void Take(uint64_t first, const float* frames, uint32_t count);

    // Reads and takes the frames still missing. False, with the pairs
    // incomplete, when there was no memory to read with.
    bool Finish();

private:
    uint64_t Next() const { return start_ + uint64_t(pair_) * block_ + filled_; }
    uint64_t End() const { return start_ + uint64_t(pairs_) * block_; }
    void ReadUntil(uint64_t frame);
    // Frames that continue exactly where the last ones ended.
    void Absorb(const float* frames, uint64_t count);

    const SfInfo& info_;
    int channel_;
    float* values_;
    int pairs_;
    uint64_t start_;
    uint64_t block_;
    int pair_ = 0;        // the pair being filled
    uint64_t filled_ = 0; // frames of it taken so far
    float low_ = 0.0f;    // extremes of the pair being filled
    float high_ = 0.0f;
    bool readable_ = true; // false once a read found no memory
};

// The lower pane of a spectrum window: count values (count even) for the
// frames start .. end (end not before start). A span shorter than count is
// shown sample by sample: count frames from start, which runs on past end.
// A longer span gives count/2 min/max pairs over blocks of
// 2 (end - start) / count frames. Frames may be handed in as for
// MinMaxBlocks.
class FrameEnvelope {
public:
    FrameEnvelope(const SfInfo& info, int channel, float* values, int count, uint32_t start,
                  uint32_t end);

    void Take(uint64_t first, const float* frames, uint32_t count) {
        blocks_.Take(first, frames, count);
    }

    // False, with values incomplete, when there was no memory to read with.
    bool Finish();

private:
    static bool IsPlain(int count, uint32_t start, uint32_t end) {
        return uint64_t(end - start) < uint64_t(count);
    }

    const SfInfo& info_;
    int channel_;
    float* values_;
    int count_;
    uint32_t start_;
    bool plain_;
    MinMaxBlocks blocks_; // no pairs when the span is shown sample by sample
};
