#include "spectrum/ChannelStream.h"

#include "soundfile/SampleAccess.h"

#include <algorithm>

namespace {

constexpr size_t kBlock = size_t(1) << 16;

} // namespace

ChannelStream::ChannelStream(const SfInfo& info, uint32_t start, uint32_t end, int channel)
    : info_(info), start_(start), length_(end > start ? end - start : 0), channel_(channel) {}

bool ChannelStream::ReadBlock() {
    const size_t count = std::min(kBlock, length_ - read_);
    const size_t kept = buffer_.size();
    buffer_.resize(kept + count);
    float* values = buffer_.data() + kept;
    if (count == 0 ||
        ReadSamples(info_, values, uint32_t(count), start_ + uint32_t(read_), channel_) == 0)
        return false;
    extent_.Add(values, count);
    read_ += count;
    return true;
}

const float* ChannelStream::Values(size_t first, size_t length) {
    while (read_ < first + length) {
        // Only what is still to come is kept; the move is cheap, once a block.
        const size_t done = std::min(first, read_) - bufferFirst_;
        buffer_.erase(buffer_.begin(), buffer_.begin() + std::ptrdiff_t(done));
        bufferFirst_ += done;
        if (!ReadBlock())
            return nullptr;
    }
    return buffer_.data() + (first - bufferFirst_);
}

bool ChannelStream::Finish() {
    while (read_ < length_) {
        buffer_.clear();
        bufferFirst_ = read_;
        if (!ReadBlock())
            return false;
    }
    return true;
}
