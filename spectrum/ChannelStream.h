// One channel of a range of a sound file, read block by block as a run of
// frames moves through it, so that a long file never sits in memory whole.
#pragma once

#include "spectrum/SampleExtent.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct SfInfo;

class ChannelStream {
public:
    // Frames start .. end - 1 of channel channel of the opened file.
    ChannelStream(const SfInfo& info, uint32_t start, uint32_t end, int channel);

    // The values first .. first + length - 1, counted from start, which must
    // lie in the range; first never goes back from one call to the next. Null
    // when the file cannot be read.
    const float* Values(size_t first, size_t length);
    // Reads the rest of the range, so that Extent covers all of it; false when
    // the file cannot be read.
    bool Finish();
    // Of every value read so far.
    const SampleExtent& Extent() const { return extent_; }

private:
    bool ReadBlock();

    const SfInfo& info_;
    uint32_t start_;
    size_t length_;
    int channel_;
    std::vector<float> buffer_;
    size_t bufferFirst_ = 0; // where buffer_[0] lies in the range
    size_t read_ = 0;        // values read so far
    SampleExtent extent_;
};
