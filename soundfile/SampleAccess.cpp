#include "soundfile/SampleAccess.h"

#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"
#include "soundfile/VectorClones.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Each thread keeps one byte buffer for its reads, so that frame-by-frame
// analyses do not allocate per frame.
std::vector<uint8_t>& ScratchBytes(size_t size) {
    thread_local std::vector<uint8_t> bytes;
    if (bytes.size() < size)
        bytes.resize(size);
    return bytes;
}

// NaN is 0; beyond full scale clamps. Scaling by a power of two is exact in
// float, and floats below 2^31 end at 2147483520, 127 short of the largest
// value, which is added where full scale is reached. It is all selects and
// arithmetic without branches: runs of samples convert in vector registers.
int32_t FloatToSampleValue(float f) {
    const float v = f * 2147483648.0f;
    const float number = v == v ? v : 0.0f;
    const int32_t truncated =
        static_cast<int32_t>(std::min(std::max(number, -2147483648.0f), 2147483520.0f));
    return truncated + (number >= 2147483648.0f ? INT32_MAX - 2147483520 : 0);
}

// One sample of a width known at compile time, so that runs of them decode in
// tight loops the compiler can vectorise.
template <int Bps, bool Big, bool Float, bool Signed8> inline int32_t Decode(const uint8_t* p) {
    if constexpr (Bps == 1) {
        return Signed8 ? int32_t(int8_t(p[0])) : int32_t(p[0]) - 128;
    } else if constexpr (Bps == 2) {
        const uint16_t u = Big ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
        return int16_t(u);
    } else if constexpr (Bps == 3) {
        const uint32_t u = Big ? (uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2])
                               : (uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
        return int32_t(u << 8) >> 8;
    } else {
        const uint32_t u =
            Big ? (uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3])
                : (uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
        if constexpr (Float) {
            float f;
            std::memcpy(&f, &u, sizeof f);
            return FloatToSampleValue(f);
        }
        return int32_t(u);
    }
}

// A sample of 3 or 4 bytes read as 32 bits: the byte after a 24-bit sample
// must be readable (the hosts we build for are little-endian).
template <int Bps, bool Big, bool Float> inline int32_t DecodeWide(const uint8_t* p) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "32-bit loads");
    uint32_t u;
    std::memcpy(&u, p, sizeof u);
    if constexpr (Big)
        u = __builtin_bswap32(u);
    if constexpr (Float) {
        float f;
        std::memcpy(&f, &u, sizeof f);
        return FloatToSampleValue(f);
    } else if constexpr (Bps == 3) {
        return Big ? int32_t(u) >> 8 : int32_t(u << 8) >> 8;
    } else {
        return int32_t(u);
    }
}

// Samples stored one after the other, without padding, as sample values in
// Out (int32_t, or float for analyses that take them so).
template <int Bps, bool Big, bool Float, bool Signed8, typename Out>
KAVIREL_VECTOR_CLONES void DecodePacked(const uint8_t* bytes, size_t count, Out* values) {
    size_t i = 0;
    // 24-bit samples go in blocks of a size the compiler can lay out in
    // vector registers, each loaded 32 bits at once; every block ends before
    // the last sample, whose fourth byte may lie past the run.
    if constexpr (Bps == 3) {
        constexpr size_t kBlock = 8;
        for (; i + kBlock < count; i += kBlock) {
            Out block[kBlock];
            for (size_t j = 0; j < kBlock; ++j)
                block[j] = Out(DecodeWide<Bps, Big, Float>(bytes + (i + j) * Bps));
            std::memcpy(values + i, block, sizeof block);
        }
    } else if constexpr (Bps == 4) {
        for (; i < count; ++i)
            values[i] = Out(DecodeWide<Bps, Big, Float>(bytes + i * Bps));
    }
    for (; i < count; ++i)
        values[i] = Out(Decode<Bps, Big, Float, Signed8>(bytes + i * Bps));
}

// Frames of channels samples each, stride bytes apart.
template <int Bps, bool Big, bool Float, bool Signed8, typename Out>
void DecodeRun(const uint8_t* bytes, size_t frames, int channels, int stride, Out* values) {
    if (stride == Bps * channels)
        return DecodePacked<Bps, Big, Float, Signed8>(bytes, frames * size_t(channels), values);
    for (size_t f = 0; f < frames; ++f, bytes += stride)
        for (int c = 0; c < channels; ++c)
            *values++ = Out(Decode<Bps, Big, Float, Signed8>(bytes + c * Bps));
}

template <int Bps, bool Big, typename Out>
void DecodeWidth(const SampleCoding& coding, const uint8_t* bytes, size_t frames, int channels,
                 int stride, Out* values) {
    if (coding.ieeeFloat)
        DecodeRun<Bps, Big, Bps == 4, false>(bytes, frames, channels, stride, values);
    else if (coding.signed8)
        DecodeRun<Bps, Big, false, Bps == 1>(bytes, frames, channels, stride, values);
    else
        DecodeRun<Bps, Big, false, false>(bytes, frames, channels, stride, values);
}

template <int Bps, typename Out>
void DecodeOrder(const SampleCoding& coding, const uint8_t* bytes, size_t frames, int channels,
                 int stride, Out* values) {
    if (coding.bigEndian && Bps > 1)
        DecodeWidth<Bps, true>(coding, bytes, frames, channels, stride, values);
    else
        DecodeWidth<Bps, false>(coding, bytes, frames, channels, stride, values);
}

template <typename Out>
void DecodeAny(const SampleCoding& coding, int channels, int blockAlign, const uint8_t* bytes,
               size_t frames, Out* values) {
    switch (coding.bytesPerSample) {
    case 1:
        return DecodeOrder<1>(coding, bytes, frames, channels, blockAlign, values);
    case 2:
        return DecodeOrder<2>(coding, bytes, frames, channels, blockAlign, values);
    case 3:
        return DecodeOrder<3>(coding, bytes, frames, channels, blockAlign, values);
    default:
        return DecodeOrder<4>(coding, bytes, frames, channels, blockAlign, values);
    }
}

// One channel's values, each times window[i] when a window is given.
uint32_t ReadChannel(const SfInfo& info, float* values, uint32_t count, uint32_t start, int channel,
                     const float* window) {
    const int bps = info.bytesPerSample;
    if (bps < 1 || bps > 4 || info.blockAlign <= 0)
        return 0;
    if (channel < 0 || channel >= info.channels) {
        std::fill(values, values + count, 0.0f);
        return 0;
    }
    const int64_t align = info.blockAlign;
    const int64_t bytes = static_cast<int64_t>(count) * align;
    std::vector<uint8_t>& buffer = ScratchBytes(static_cast<size_t>(bytes));
    const int64_t got =
        sfread(info.handle, buffer.data(), bytes, info.dataOffset + int64_t(start) * align);
    const uint32_t n = got > 0 ? static_cast<uint32_t>(got / align) : 0;
    // The channel alone, read as a mono file whose frames are a whole frame apart.
    DecodeAny(CodingOf(info), 1, int(align), buffer.data() + int64_t(channel) * bps, n, values);
    if (window)
        for (uint32_t i = 0; i < n; ++i)
            values[i] *= window[i];
    std::fill(values + n, values + count, 0.0f);
    return n;
}

template <typename T> double MeanSquareLevel(const T* values, size_t count, int mode) {
    if (count == 0)
        return 0.0;
    long double sum = 0.0L;
    for (size_t i = 0; i < count; ++i) {
        const long double x = values[i];
        sum += x * x;
    }
    const long double m = sum / static_cast<long double>(count);
    if (mode == 0)
        return static_cast<double>(std::sqrt(m));
    return m > 0.0L ? static_cast<double>(10.0L * std::log10(m)) : 0.0;
}

} // namespace

void SwapSamples(uint8_t* bytes, size_t count, int bytesPerSample) {
    switch (bytesPerSample) {
    case 2:
        for (size_t i = 0; i < count; ++i, bytes += 2)
            std::swap(bytes[0], bytes[1]);
        break;
    case 3:
        for (size_t i = 0; i < count; ++i, bytes += 3)
            std::swap(bytes[0], bytes[2]);
        break;
    case 4:
        for (size_t i = 0; i < count; ++i, bytes += 4) {
            std::swap(bytes[0], bytes[3]);
            std::swap(bytes[1], bytes[2]);
        }
        break;
    default:
        break;
    }
}

SampleCoding CodingOf(const SfInfo& info) {
    SampleCoding coding;
    coding.bytesPerSample = info.bytesPerSample;
    coding.bigEndian = (info.flags & kSfBigEndian) != 0;
    coding.ieeeFloat = (info.flags & kSfIeeeFloat) != 0;
    coding.signed8 = (info.flags & kSfSigned8) != 0;
    return coding;
}

void DecodeFrames(const SampleCoding& coding, int channels, int blockAlign, const uint8_t* bytes,
                  size_t frames, int32_t* values) {
    DecodeAny(coding, channels, blockAlign, bytes, frames, values);
}

uint32_t ReadSamples(const SfInfo& info, float* values, uint32_t count, uint32_t start,
                     int channel) {
    return ReadChannel(info, values, count, start, channel, nullptr);
}

uint32_t ReadWindowedSamples(const SfInfo& info, float* values, uint32_t count, uint32_t start,
                             int channel, const float* window) {
    return ReadChannel(info, values, count, start, channel, window);
}

double BlockLevel::Level(const int16_t* values, size_t count, int mode) const {
    return MeanSquareLevel(values, count, mode);
}

double BlockLevel::Level(const float* values, size_t count, int mode) const {
    return MeanSquareLevel(values, count, mode);
}
