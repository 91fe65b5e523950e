// Minimum, maximum and sum of squares of each channel over runs of stored
// frames: what the overview's envelope and level curve are made of.
#pragma once

#include "soundfile/SampleAccess.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One run of stored frames made ready to scan: 8-bit and aligned little-endian
// 16-bit frames in place, every other coding decoded once. The extremes of
// any part of the run and the square sums of the whole run come from it.
class FrameRun {
public:
    FrameRun(const SampleCoding& coding, int channels, int blockAlign);

    // The bytes must stay in place while the run is scanned.
    void Load(const uint8_t* bytes, size_t frames);
    // Folds frames first .. first + count - 1 of the run into mn and mx, one
    // value per channel.
    void Extremes(size_t first, size_t count, int32_t* mn, int32_t* mx) const;
    // Adds the square sum of each channel over the whole run to squares:
    // exact integers for 8- and 16-bit samples, double lanes for wider ones.
    void AddSquares(long double* squares);

    // The square sums of a run loaded in parts, the same as of the whole run:
    // BeginSquares, then for each part in order AddSquaresPart (every part
    // but the last a multiple of kSquarePartFrames frames), then EndSquares.
    static constexpr size_t kSquarePartFrames = 16;
    void BeginSquares();
    void AddSquaresPart();
    void EndSquares(long double* squares);
    // True for the codings scanned in place, whose square sums are exact
    // integers: sums of any pieces of a run add up to the sum of the run.
    bool ExactSquares() const;
    // Extremes of frames first .. first + count - 1 of the part and, where
    // the square sums are exact, their squares in the same sweep, added to
    // the sums of the run as AddSquaresPart adds them.
    void ExtremesAndSquaresPart(size_t first, size_t count, int32_t* mn, int32_t* mx);

private:
    SampleCoding coding_;
    int channels_;
    int blockAlign_;
    const uint8_t* bytes_ = nullptr;
    size_t frames_ = 0;
    int32_t bias_ = 0;
    enum class Kind { Signed8, Offset8, Le16, Decoded } kind_ = Kind::Decoded;
    std::vector<int32_t> numbers_; // decoded frames of the widths not scanned in place
    std::vector<uint64_t> exact_;
    std::vector<double> lanes_, wide_;
};

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
    size_t frames_ = 0;
    std::vector<int32_t> min_, max_;
    std::vector<long double> squares_;
    FrameRun run_;
};
