#include "soundfile/Overview.h"

#include "soundfile/DesktopServices.h"
#include "soundfile/OverviewCache.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "16-bit samples are scanned in place");

namespace {

// Lanes per channel in the min/max and square-sum loops: enough independent
// accumulators, of a size known at compile time, for the compiler to keep them
// in vector registers. Mono and stereo, nearly every file, take that path.
constexpr int kLanes = 16;

// The hot loops get a second build for processors with 256-bit vectors,
// chosen when the program loads. Clang cannot clone templates; its builds
// (the fuzzer) keep the baseline loops.
#if defined(__clang__)
#define KAVIREL_VECTOR_CLONES
#else
#define KAVIREL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif

// Reads one column or block at a time and hands out its frames as numbers.
class BlockReader {
public:
    explicit BlockReader(const SfInfo& info) : info_(info) {}

    // Frames per step, and where the steps begin. A file with fewer frames than
    // steps would give empty steps; each step then shows the one frame nearest
    // to its place in the file, so short sounds still draw.
    void Plan(int steps) {
        steps_ = steps;
        framesPerStep_ = info_.frames / static_cast<uint32_t>(steps);
        spread_ = framesPerStep_ == 0;
        if (spread_)
            framesPerStep_ = 1;
        position_ = info_.dataOffset;
        const size_t samples = size_t(framesPerStep_) * size_t(info_.channels);
        if (Packed16()) {
            samples16_.resize(samples);
        } else {
            bytes_.resize(size_t(framesPerStep_) * size_t(info_.blockAlign));
            values_.resize(samples);
        }
    }

    // True when 16-bit little-endian frames without padding are scanned in place
    // (the hosts we build for are little-endian, see the check below).
    bool Packed16() const {
        return info_.bytesPerSample == 2 && (info_.flags & kSfBigEndian) == 0 &&
               info_.blockAlign == 2 * info_.channels;
    }

    // Reads step k; returns the frames read (0 past the end).
    size_t Read(int k) {
        int64_t at = position_;
        if (spread_)
            at = info_.dataOffset +
                 int64_t(uint64_t(k) * info_.frames / uint64_t(steps_)) * info_.blockAlign;
        void* buffer = Packed16() ? static_cast<void*>(samples16_.data()) : bytes_.data();
        const int64_t size = Packed16() ? int64_t(samples16_.size()) * 2 : int64_t(bytes_.size());
        const int64_t got = sfread(info_.handle, buffer, size, at);
        if (got <= 0)
            return 0;
        position_ += got;
        const size_t frames = size_t(got / info_.blockAlign);
        if (!Packed16())
            DecodeFrames(info_, bytes_.data(), frames, values_.data());
        return frames;
    }

    const int16_t* Values16() const { return samples16_.data(); }
    const int32_t* Values32() const { return values_.data(); }

private:
    const SfInfo& info_;
    int steps_ = 1;
    uint32_t framesPerStep_ = 0;
    bool spread_ = false;
    int64_t position_ = 0;
    std::vector<uint8_t> bytes_;
    std::vector<int16_t> samples16_;
    std::vector<int32_t> values_;
};

// Minimum and maximum of each of N channels over interleaved frames (frames >= 1).
template <typename T, int N>
KAVIREL_VECTOR_CLONES void FixedMinMax(const T* v, size_t frames, int32_t* mn, int32_t* mx) {
    constexpr size_t L = size_t(kLanes) * N;
    T lmn[L], lmx[L];
    for (size_t j = 0; j < L; ++j)
        lmn[j] = lmx[j] = v[j % N];
    const size_t total = frames * N;
    size_t i = 0;
    for (; i + L <= total; i += L) {
        const T* block = v + i;
        for (size_t j = 0; j < L; ++j) {
            lmn[j] = block[j] < lmn[j] ? block[j] : lmn[j];
            lmx[j] = block[j] > lmx[j] ? block[j] : lmx[j];
        }
    }
    for (int c = 0; c < N; ++c)
        mn[c] = mx[c] = v[c];
    for (size_t j = 0; j < L; ++j) {
        mn[j % N] = std::min<int32_t>(mn[j % N], lmn[j]);
        mx[j % N] = std::max<int32_t>(mx[j % N], lmx[j]);
    }
    for (; i < total; ++i) {
        mn[i % N] = std::min<int32_t>(mn[i % N], v[i]);
        mx[i % N] = std::max<int32_t>(mx[i % N], v[i]);
    }
}

template <typename T>
void ChannelMinMax(const T* v, size_t frames, int channels, int32_t* mn, int32_t* mx) {
    if (channels == 1)
        return FixedMinMax<T, 1>(v, frames, mn, mx);
    if (channels == 2)
        return FixedMinMax<T, 2>(v, frames, mn, mx);
    for (int c = 0; c < channels; ++c)
        mn[c] = mx[c] = v[c];
    const size_t total = frames * size_t(channels);
    for (size_t i = size_t(channels); i < total; ++i) {
        const int c = int(i % size_t(channels));
        mn[c] = std::min<int32_t>(mn[c], v[i]);
        mx[c] = std::max<int32_t>(mx[c], v[i]);
    }
}

// Sums of squares of 16-bit samples, exact in 64 bits. Two squares of one
// channel (lane j and lane j + L/2 hold the same channel) add up to at most
// 2^31, which fits 32 unsigned bits; only that pair sum is widened.
template <int N>
KAVIREL_VECTOR_CLONES void FixedSquares(const int16_t* v, size_t frames, uint64_t* sums) {
    constexpr size_t L = size_t(kLanes) * N;
    constexpr size_t H = L / 2;
    uint64_t acc[H] = {};
    const size_t total = frames * N;
    size_t i = 0;
    for (; i + L <= total; i += L) {
        const int16_t* block = v + i;
        for (size_t j = 0; j < H; ++j) {
            const int32_t a = block[j], b = block[j + H];
            acc[j] += uint32_t(a * a) + uint32_t(b * b);
        }
    }
    for (; i < total; ++i)
        sums[i % N] += uint32_t(int32_t(v[i]) * int32_t(v[i]));
    for (size_t j = 0; j < H; ++j)
        sums[j % N] += acc[j];
}

void ChannelSquares(const int16_t* v, size_t frames, int channels, long double* sums) {
    std::vector<uint64_t> exact(size_t(channels), 0);
    if (channels == 1) {
        FixedSquares<1>(v, frames, exact.data());
    } else if (channels == 2) {
        FixedSquares<2>(v, frames, exact.data());
    } else {
        const size_t total = frames * size_t(channels);
        for (size_t i = 0; i < total; ++i)
            exact[i % size_t(channels)] += uint32_t(int32_t(v[i]) * int32_t(v[i]));
    }
    for (int c = 0; c < channels; ++c)
        sums[c] = static_cast<long double>(exact[size_t(c)]);
}

// Wider samples are summed in extended precision.
void ChannelSquares(const int32_t* v, size_t frames, int channels, long double* sums) {
    std::fill(sums, sums + channels, 0.0L);
    const size_t total = frames * size_t(channels);
    for (size_t i = 0; i < total; ++i) {
        const long double x = v[i];
        sums[i % size_t(channels)] += x * x;
    }
}

// Shows "<what> n%" whenever the percentage grows.
class Progress {
public:
    Progress(DesktopServices& desktop, const char* format) : desktop_(desktop), format_(format) {}
    void Show(int percent) {
        if (percent <= last_)
            return;
        last_ = percent;
        char text[64];
        std::snprintf(text, sizeof text, format_, percent);
        desktop_.SetInfoText(text);
    }

private:
    DesktopServices& desktop_;
    const char* format_;
    int last_ = 0;
};

bool SupportedWidth(const SfInfo& info, DesktopServices& desktop) {
    if (info.bytesPerSample >= 1 && info.bytesPerSample <= 4 && info.blockAlign > 0 &&
        info.channels > 0)
        return true;
    desktop.ShowMessage("File format not supported", MessageIcon::None);
    return false;
}

} // namespace

void PrepareWav(const SfInfo& info, float* envelope, int A, DesktopServices& desktop) {
    if (!SupportedWidth(info, desktop) || A < 2)
        return;
    const int columns = A / 2;
    const int channels = info.channels;
    const bool minFirst = info.bytesPerSample == 1;
    BlockReader reader(info);
    reader.Plan(columns);
    Progress progress(desktop, "Prepare Wav %d%%");
    std::vector<int32_t> mn(static_cast<size_t>(channels)), mx(mn);
    for (int k = 0; k < columns; ++k) {
        progress.Show(int((200LL * k) / A));
        const size_t frames = reader.Read(k);
        if (frames == 0) {
            std::fill(mn.begin(), mn.end(), 0);
            std::fill(mx.begin(), mx.end(), 0);
        } else if (reader.Packed16()) {
            ChannelMinMax(reader.Values16(), frames, channels, mn.data(), mx.data());
        } else {
            ChannelMinMax(reader.Values32(), frames, channels, mn.data(), mx.data());
        }
        for (int c = 0; c < channels; ++c) {
            float* pair = envelope + size_t(c) * size_t(A) + 2 * size_t(k);
            pair[0] = float(minFirst ? mn[size_t(c)] : mx[size_t(c)]);
            pair[1] = float(minFirst ? mx[size_t(c)] : mn[size_t(c)]);
        }
    }
}

void PrepareRms(const SfInfo& info, float* levels, int G, DesktopServices& desktop) {
    if (!SupportedWidth(info, desktop) || G < 1)
        return;
    const int channels = info.channels;
    BlockReader reader(info);
    reader.Plan(G);
    Progress progress(desktop, "Prepare Rms %d%%");
    std::vector<long double> sums(static_cast<size_t>(channels));
    for (int k = 0; k < G; ++k) {
        progress.Show(int((100LL * k) / G));
        const size_t frames = reader.Read(k);
        if (frames == 0)
            std::fill(sums.begin(), sums.end(), 0.0L);
        else if (reader.Packed16())
            ChannelSquares(reader.Values16(), frames, channels, sums.data());
        else
            ChannelSquares(reader.Values32(), frames, channels, sums.data());
        for (int c = 0; c < channels; ++c) {
            const long double s = sums[size_t(c)];
            levels[size_t(c) * size_t(G) + size_t(k)] =
                s > 0.0L ? float(10.0L * std::log10(s / static_cast<long double>(frames))) : 0.0f;
        }
    }
}

bool BuildOverview(SfInfo& info, DesktopServices& desktop, bool* fromCache) {
    const int W = ScreenWidth();
    if (W < 1 || info.channels < 1)
        return false;
    const int C = 4 * W;
    std::vector<float> overview;
    try {
        overview.assign(size_t(C) * size_t(info.channels), 0.0f);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const bool loaded = LoadOverview(info, overview, C);
    if (fromCache)
        *fromCache = loaded;
    if (!loaded) {
        WaitCursor wait(desktop);
        PrepareWav(info, overview.data(), 2 * W, desktop);
        PrepareRms(info, overview.data() + size_t(info.channels) * size_t(2 * W), 2 * W, desktop);
        SaveOverview(info, overview, C);
    }
    info.overview = std::move(overview);
    info.task = SfTask{};
    return true;
}
