#include "soundfile/ChannelStats.h"

#include "soundfile/VectorClones.h"

#include <algorithm>
#include <climits>

namespace {

// Lanes per channel in the min/max and square-sum loops: enough independent
// accumulators, of a size known at compile time, for the compiler to keep them
// in vector registers. Mono and stereo, nearly every file, take that path.
// The loops over the lanes are kept rolled (unroll 1): unrolled whole, as -O3
// would, the 8- and 16-bit ones are no longer turned into vector instructions.
constexpr int kLanes = 16;
static_assert(FrameRun::kSquarePartFrames == size_t(kLanes), "parts fill whole lanes");

// Folds the stored values of N interleaved channels into mn and mx, each value
// less bias (8-bit WAV samples are stored offset by 128).
template <typename T, int N>
KAVIREL_VECTOR_CLONES void FixedMinMax(const T* v, size_t frames, int32_t bias, int32_t* mn,
                                       int32_t* mx) {
    constexpr size_t L = size_t(kLanes) * N;
    const size_t total = frames * N;
    size_t i = 0;
    if (total >= L) {
        T lmn[L], lmx[L];
        for (size_t j = 0; j < L; ++j)
            lmn[j] = lmx[j] = v[j];
        for (i = L; i + L <= total; i += L) {
            const T* block = v + i;
#pragma GCC unroll 1
            for (size_t j = 0; j < L; ++j) {
                lmn[j] = block[j] < lmn[j] ? block[j] : lmn[j];
                lmx[j] = block[j] > lmx[j] ? block[j] : lmx[j];
            }
        }
        for (size_t j = 0; j < L; ++j) {
            mn[j % N] = std::min(mn[j % N], int32_t(lmn[j]) - bias);
            mx[j % N] = std::max(mx[j % N], int32_t(lmx[j]) - bias);
        }
    }
    for (; i < total; ++i) {
        mn[i % N] = std::min(mn[i % N], int32_t(v[i]) - bias);
        mx[i % N] = std::max(mx[i % N], int32_t(v[i]) - bias);
    }
}

template <typename T>
void ChannelMinMax(const T* v, size_t frames, int channels, int32_t bias, int32_t* mn,
                   int32_t* mx) {
    if (channels == 1)
        return FixedMinMax<T, 1>(v, frames, bias, mn, mx);
    if (channels == 2)
        return FixedMinMax<T, 2>(v, frames, bias, mn, mx);
    for (size_t f = 0; f < frames; ++f, v += channels)
        for (int c = 0; c < channels; ++c) {
            mn[c] = std::min(mn[c], int32_t(v[c]) - bias);
            mx[c] = std::max(mx[c], int32_t(v[c]) - bias);
        }
}

// Sums of squares of 8- and 16-bit samples, exact in 64 bits. Two squares of
// one channel (lane j and lane j + L/2 hold the same channel) add up to at
// most 2^31, which fits 32 unsigned bits; only that pair sum is widened.
template <typename T, int N>
KAVIREL_VECTOR_CLONES void FixedSquares(const T* v, size_t frames, int32_t bias, uint64_t* sums) {
    constexpr size_t L = size_t(kLanes) * N;
    constexpr size_t H = L / 2;
    uint64_t acc[H] = {};
    const size_t total = frames * N;
    size_t i = 0;
    for (; i + L <= total; i += L) {
        const T* block = v + i;
#pragma GCC unroll 1
        for (size_t j = 0; j < H; ++j) {
            const int32_t a = int32_t(block[j]) - bias, b = int32_t(block[j + H]) - bias;
            acc[j] += uint32_t(a * a) + uint32_t(b * b);
        }
    }
    for (; i < total; ++i) {
        const int32_t a = int32_t(v[i]) - bias;
        sums[i % N] += uint32_t(a * a);
    }
    for (size_t j = 0; j < H; ++j)
        sums[j % N] += acc[j];
}

template <typename T>
void ChannelSquares(const T* v, size_t frames, int channels, int32_t bias, uint64_t* sums) {
    if (channels == 1)
        return FixedSquares<T, 1>(v, frames, bias, sums);
    if (channels == 2)
        return FixedSquares<T, 2>(v, frames, bias, sums);
    for (size_t f = 0; f < frames; ++f, v += channels)
        for (int c = 0; c < channels; ++c) {
            const int32_t a = int32_t(v[c]) - bias;
            sums[c] += uint32_t(a * a);
        }
}

// FixedMinMax and FixedSquares in one sweep over the values, for runs whose
// square sums are exact and so may be taken in parts.
template <typename T, int N>
KAVIREL_VECTOR_CLONES void FixedMinMaxSquares(const T* v, size_t frames, int32_t bias, int32_t* mn,
                                              int32_t* mx, uint64_t* sums) {
    constexpr size_t L = size_t(kLanes) * N;
    constexpr size_t H = L / 2;
    const size_t total = frames * N;
    size_t i = 0;
    // Pair sums of 8-bit squares (at most 2^15) add up in 32 bits for 2^16
    // blocks before they are widened; 16-bit ones are widened at once.
    constexpr size_t kRounds = sizeof(T) == 1 ? size_t(1) << 16 : 1;
    if (total >= L) {
        T lmn[L], lmx[L];
        uint64_t acc[H] = {};
        for (size_t j = 0; j < L; ++j)
            lmn[j] = lmx[j] = v[j];
        while (i + L <= total) {
            uint32_t narrow[H] = {};
            for (size_t round = 0; round < kRounds && i + L <= total; ++round, i += L) {
                const T* block = v + i;
#pragma GCC unroll 1
                for (size_t j = 0; j < L; ++j) {
                    lmn[j] = block[j] < lmn[j] ? block[j] : lmn[j];
                    lmx[j] = block[j] > lmx[j] ? block[j] : lmx[j];
                }
#pragma GCC unroll 1
                for (size_t j = 0; j < H; ++j) {
                    const int32_t a = int32_t(block[j]) - bias, b = int32_t(block[j + H]) - bias;
                    narrow[j] += uint32_t(a * a) + uint32_t(b * b);
                }
            }
            for (size_t j = 0; j < H; ++j)
                acc[j] += narrow[j];
        }
        for (size_t j = 0; j < L; ++j) {
            mn[j % N] = std::min(mn[j % N], int32_t(lmn[j]) - bias);
            mx[j % N] = std::max(mx[j % N], int32_t(lmx[j]) - bias);
        }
        for (size_t j = 0; j < H; ++j)
            sums[j % N] += acc[j];
    }
    for (; i < total; ++i) {
        const int32_t a = int32_t(v[i]) - bias;
        mn[i % N] = std::min(mn[i % N], a);
        mx[i % N] = std::max(mx[i % N], a);
        sums[i % N] += uint32_t(a * a);
    }
}

template <typename T>
void ChannelMinMaxSquares(const T* v, size_t frames, int channels, int32_t bias, int32_t* mn,
                          int32_t* mx, uint64_t* sums) {
    if (channels == 1)
        return FixedMinMaxSquares<T, 1>(v, frames, bias, mn, mx, sums);
    if (channels == 2)
        return FixedMinMaxSquares<T, 2>(v, frames, bias, mn, mx, sums);
    ChannelMinMax(v, frames, channels, bias, mn, mx);
    ChannelSquares(v, frames, channels, bias, sums);
}

// Squares of 24- and 32-bit values overflow 64-bit integers after a few
// additions; they are summed in double lanes (53 bits, a relative error far
// below the single-precision level they end in) and each run's sum is added
// in extended precision. A run may come in parts: whole blocks of L values go
// to the lanes, the rest to sums, so parts of a multiple of kLanes frames
// give the lanes and sums the whole run would.
template <int N>
KAVIREL_VECTOR_CLONES void FixedWideSquares(const int32_t* v, size_t frames, double* lanes,
                                            double* sums) {
    constexpr size_t L = size_t(kLanes) * N;
    double acc[L];
    for (size_t j = 0; j < L; ++j)
        acc[j] = lanes[j];
    const size_t total = frames * N;
    size_t i = 0;
    for (; i + L <= total; i += L) {
        const int32_t* block = v + i;
        for (size_t j = 0; j < L; ++j) {
            const double x = block[j];
            acc[j] += x * x;
        }
    }
    for (; i < total; ++i) {
        const double x = v[i];
        sums[i % N] += x * x;
    }
    for (size_t j = 0; j < L; ++j)
        lanes[j] = acc[j];
}

// Lanes of kLanes x channels values for mono and stereo; wider frames add
// to sums directly.
void ChannelWideSquares(const int32_t* v, size_t frames, int channels, double* lanes,
                        double* sums) {
    if (channels == 1)
        return FixedWideSquares<1>(v, frames, lanes, sums);
    if (channels == 2)
        return FixedWideSquares<2>(v, frames, lanes, sums);
    for (size_t f = 0; f < frames; ++f, v += channels)
        for (int c = 0; c < channels; ++c) {
            const double x = v[c];
            sums[c] += x * x;
        }
}

// Ends a run of wide squares: its lanes into its sums.
void FoldWideLanes(const double* lanes, int channels, double* sums) {
    if (channels > 2)
        return;
    for (int j = 0; j < kLanes * channels; ++j)
        sums[j % channels] += lanes[j];
}

} // namespace

FrameRun::FrameRun(const SampleCoding& coding, int channels, int blockAlign)
    : coding_(coding), channels_(channels), blockAlign_(blockAlign), exact_(size_t(channels)),
      lanes_(size_t(kLanes) * size_t(channels)), wide_(size_t(channels)) {}

void FrameRun::Load(const uint8_t* bytes, size_t frames) {
    bytes_ = bytes;
    frames_ = frames;
    bias_ = 0;
    const int bps = coding_.bytesPerSample;
    const bool packed = blockAlign_ == bps * channels_;
    // 8-bit and little-endian 16-bit frames without padding are scanned as
    // stored (16-bit ones when they lie at an even address, as read buffers
    // do); the hosts we build for are little-endian.
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "16-bit samples are scanned in place");
    if (packed && bps == 1 && coding_.signed8) {
        kind_ = Kind::Signed8;
    } else if (packed && bps == 1) {
        kind_ = Kind::Offset8;
        bias_ = 128;
    } else if (packed && bps == 2 && !coding_.bigEndian &&
               reinterpret_cast<uintptr_t>(bytes) % alignof(int16_t) == 0) {
        kind_ = Kind::Le16;
    } else {
        kind_ = Kind::Decoded;
        numbers_.resize(frames * size_t(channels_));
        DecodeFrames(coding_, channels_, blockAlign_, bytes, frames, numbers_.data());
    }
}

void FrameRun::Extremes(size_t first, size_t count, int32_t* mn, int32_t* mx) const {
    const size_t at = first * size_t(channels_);
    switch (kind_) {
    case Kind::Signed8:
        return ChannelMinMax(reinterpret_cast<const int8_t*>(bytes_) + at, count, channels_, 0, mn,
                             mx);
    case Kind::Offset8:
        return ChannelMinMax(bytes_ + at, count, channels_, bias_, mn, mx);
    case Kind::Le16:
        return ChannelMinMax(reinterpret_cast<const int16_t*>(bytes_) + at, count, channels_, 0, mn,
                             mx);
    case Kind::Decoded:
        return ChannelMinMax(numbers_.data() + at, count, channels_, 0, mn, mx);
    }
}

void FrameRun::AddSquares(long double* squares) {
    if (frames_ == 0)
        return;
    BeginSquares();
    AddSquaresPart();
    EndSquares(squares);
}

void FrameRun::BeginSquares() {
    std::fill(exact_.begin(), exact_.end(), 0);
    std::fill(lanes_.begin(), lanes_.end(), 0.0);
    std::fill(wide_.begin(), wide_.end(), 0.0);
}

void FrameRun::AddSquaresPart() {
    switch (kind_) {
    case Kind::Signed8:
        return ChannelSquares(reinterpret_cast<const int8_t*>(bytes_), frames_, channels_, 0,
                              exact_.data());
    case Kind::Offset8:
        return ChannelSquares(bytes_, frames_, channels_, bias_, exact_.data());
    case Kind::Le16:
        return ChannelSquares(reinterpret_cast<const int16_t*>(bytes_), frames_, channels_, 0,
                              exact_.data());
    case Kind::Decoded:
        return ChannelWideSquares(numbers_.data(), frames_, channels_, lanes_.data(), wide_.data());
    }
}

void FrameRun::ExtremesAndSquaresPart(size_t first, size_t count, int32_t* mn, int32_t* mx) {
    const size_t at = first * size_t(channels_);
    switch (kind_) {
    case Kind::Signed8:
        return ChannelMinMaxSquares(reinterpret_cast<const int8_t*>(bytes_) + at, count, channels_,
                                    0, mn, mx, exact_.data());
    case Kind::Offset8:
        return ChannelMinMaxSquares(bytes_ + at, count, channels_, bias_, mn, mx, exact_.data());
    case Kind::Le16:
        return ChannelMinMaxSquares(reinterpret_cast<const int16_t*>(bytes_) + at, count, channels_,
                                    0, mn, mx, exact_.data());
    case Kind::Decoded:
        return Extremes(first, count, mn, mx);
    }
}

void FrameRun::EndSquares(long double* squares) {
    if (kind_ != Kind::Decoded) {
        for (int c = 0; c < channels_; ++c)
            squares[c] += static_cast<long double>(exact_[size_t(c)]);
        return;
    }
    FoldWideLanes(lanes_.data(), channels_, wide_.data());
    for (int c = 0; c < channels_; ++c)
        squares[c] += static_cast<long double>(wide_[size_t(c)]);
}

bool FrameRun::ExactSquares() const {
    return kind_ != Kind::Decoded;
}

ChannelStats::ChannelStats(const SampleCoding& coding, int channels, int blockAlign)
    : min_(size_t(channels)), max_(size_t(channels)), squares_(size_t(channels)),
      run_(coding, channels, blockAlign) {
    Reset();
}

void ChannelStats::Reset() {
    frames_ = 0;
    std::fill(min_.begin(), min_.end(), INT32_MAX);
    std::fill(max_.begin(), max_.end(), INT32_MIN);
    std::fill(squares_.begin(), squares_.end(), 0.0L);
}

int32_t ChannelStats::Min(int channel) const {
    return frames_ ? min_[size_t(channel)] : 0;
}

int32_t ChannelStats::Max(int channel) const {
    return frames_ ? max_[size_t(channel)] : 0;
}

void ChannelStats::Add(const uint8_t* bytes, size_t frames) {
    if (frames == 0)
        return;
    frames_ += frames;
    run_.Load(bytes, frames);
    run_.Extremes(0, frames, min_.data(), max_.data());
    run_.AddSquares(squares_.data());
}
