#include "spectrum/MinMaxEnvelope.h"

#include "soundfile/SampleAccess.h"
#include "spectrum/WorkArray.h"

#include <algorithm>
#include <cstring>

namespace {

// Frames read at once to fill a block; a block of an hour-long file at a few
// pixels per block then needs a quarter of a megabyte, not hundreds.
constexpr uint32_t kPieceFrames = 65536;

// The piece buffer, kept per thread between envelopes.
thread_local WorkArray t_piece;

// Four lanes of floats; the compiler maps comparisons and selections of them
// onto SIMD instructions wherever the target has any.
typedef float Lanes __attribute__((vector_size(16)));

// Lowers low and raises high to the extremes of count values. Every
// envelope value of a long task passes through here, so the scan runs eight
// values at a time.
void ExtendMinMax(const float* values, uint64_t count, float& low, float& high) {
    uint64_t i = 0;
    if (count >= 8) {
        Lanes low0, low1, high0, high1;
        std::memcpy(&low0, values, sizeof low0);
        std::memcpy(&low1, values + 4, sizeof low1);
        high0 = low0;
        high1 = low1;
        for (i = 8; i + 8 <= count; i += 8) {
            Lanes a, b;
            std::memcpy(&a, values + i, sizeof a);
            std::memcpy(&b, values + i + 4, sizeof b);
            low0 = a < low0 ? a : low0;
            low1 = b < low1 ? b : low1;
            high0 = a > high0 ? a : high0;
            high1 = b > high1 ? b : high1;
        }
        for (int lane = 0; lane < 4; ++lane) {
            low = std::min({low, low0[lane], low1[lane]});
            high = std::max({high, high0[lane], high1[lane]});
        }
    }
    for (; i < count; ++i) {
        low = std::min(low, values[i]);
        high = std::max(high, values[i]);
    }
}

} // namespace

MinMaxBlocks::MinMaxBlocks(const SfInfo& info, int channel, float* values, int pairs,
                           uint32_t start, uint32_t block)
    : info_(info), channel_(channel), values_(values), pairs_(std::max(pairs, 0)), start_(start),
      block_(block) {}

void MinMaxBlocks::Absorb(const float* frames, uint64_t count) {
    while (pair_ < pairs_ && count > 0) {
        const uint64_t take = std::min(count, block_ - filled_);
        if (filled_ == 0) {
            low_ = frames[0];
            high_ = frames[0];
        }
        ExtendMinMax(frames, take, low_, high_);
        filled_ += take;
        frames += take;
        count -= take;
        if (filled_ == block_) {
            values_[2 * pair_] = low_;
            values_[2 * pair_ + 1] = high_;
            ++pair_;
            filled_ = 0;
        }
    }
}

void MinMaxBlocks::ReadUntil(uint64_t frame) {
    frame = std::min(frame, End());
    if (Next() >= frame) {
        return;
    }
    float* piece = t_piece.Get(kPieceFrames);
    if (!piece) {
        readable_ = false;
        return;
    }
    // Past the end of the file the reader gives zeros, as the blocks there show.
    while (Next() < frame) {
        const auto count = static_cast<uint32_t>(std::min<uint64_t>(frame - Next(), kPieceFrames));
        ReadSamples(info_, piece, count, static_cast<uint32_t>(Next()), channel_);
        Absorb(piece, count);
    }
}

void MinMaxBlocks::Take(uint64_t first, const float* frames, uint32_t count) {
    ReadUntil(first);
    const uint64_t next = Next();
    if (!readable_ || next < first || next >= first + count) {
        return;
    }
    Absorb(frames + (next - first), first + count - next);
}

bool MinMaxBlocks::Finish() {
    ReadUntil(End());
    return readable_;
}

FrameEnvelope::FrameEnvelope(const SfInfo& info, int channel, float* values, int count,
                             uint32_t start, uint32_t end)
    : info_(info), channel_(channel), values_(values), count_(count), start_(start),
      plain_(IsPlain(count, start, end)),
      blocks_(info, channel, values, plain_ ? 0 : count / 2, start,
              plain_ ? 0 : static_cast<uint32_t>(2 * uint64_t(end - start) / uint64_t(count))) {}

bool FrameEnvelope::Finish() {
    if (plain_) {
        ReadSamples(info_, values_, static_cast<uint32_t>(count_), start_, channel_);
        return true;
    }
    return blocks_.Finish();
}
