// Minimum, maximum and sum of squares of each channel over runs of stored
// frames: what the overview's envelope and level curve are made of.
#pragma once

#include "soundfile/SampleAccess.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ChannelStats {
public:
    ChannelStats(const SampleCoding& coding, int channels, int blockAlign);

    void Reset();
    // Adds whole frames of stored bytes.
    void Add(const uint8_t* bytes, size_t frames);

    size_t Frames() const { return frames_; }
    // In numeric sample values, as every analysis converts them; both 0 while
    // no frame has been added.
    int32_t Min(int channel) const;
    int32_t Max(int channel) const;
    long double Squares(int channel) const { return squares_[size_t(channel)]; }

private:
    SampleCoding coding_;
    int channels_;
    int blockAlign_;
    size_t frames_ = 0;
    std::vector<int32_t> min_, max_;
    std::vector<long double> squares_;
    std::vector<int32_t> numbers_; // decoded frames of the widths not scanned in place
};
