#include "soundfile/Overview.h"

#include "soundfile/ChannelStats.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/OverviewCache.h"
#include "soundfile/OverviewPass.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

// Reads the frames of one column (or level block) in bounded pieces and folds
// them into per-channel statistics.
class StepReader {
public:
    StepReader(const SfInfo& info, int steps)
        : info_(info), steps_(uint64_t(steps)),
          stats_(CodingOf(info), info.channels, info.blockAlign) {
        // A file with fewer frames than steps would give empty steps; each step
        // then shows the one frame nearest to its place in the file, so short
        // sounds still draw.
        framesPerStep_ = uint64_t(info.frames) / steps_;
        spread_ = framesPerStep_ == 0;
        const int64_t pieceFrames = std::max<int64_t>(1, kOverviewPieceBytes / info.blockAlign);
        const int64_t bufferFrames =
            std::min<int64_t>(pieceFrames, std::max<uint64_t>(framesPerStep_, 1));
        bytes_.resize(size_t(bufferFrames * info.blockAlign));
    }

    // The statistics of step k; a step cut short by the end of the file holds
    // the frames there are.
    const ChannelStats& Read(int k) {
        stats_.Reset();
        uint64_t first = uint64_t(k) * framesPerStep_;
        uint64_t count = framesPerStep_;
        if (spread_) {
            first = uint64_t(k) * info_.frames / steps_;
            count = 1;
        }
        int64_t at = info_.dataOffset + int64_t(first) * info_.blockAlign;
        while (count > 0) {
            const int64_t want =
                std::min<int64_t>(int64_t(count), int64_t(bytes_.size()) / info_.blockAlign);
            const int64_t got = sfread(info_.handle, bytes_.data(), want * info_.blockAlign, at);
            const int64_t frames = got > 0 ? got / info_.blockAlign : 0;
            stats_.Add(bytes_.data(), size_t(frames));
            if (frames < want)
                break;
            at += got;
            count -= uint64_t(frames);
        }
        return stats_;
    }

private:
    const SfInfo& info_;
    uint64_t steps_;
    uint64_t framesPerStep_ = 0;
    bool spread_ = false;
    std::vector<uint8_t> bytes_;
    ChannelStats stats_;
};

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

// Levels lie between one quantisation step in the longest block (2^32 frames)
// and a full-scale 32-bit square wave.
constexpr double kLowestLevel = -96.4;
constexpr double kHighestLevel = 186.7;

// An envelope pair: (minimum, maximum) for 1-byte samples, (maximum, minimum)
// for wider ones.
void ColumnPair(const SfInfo& info, int32_t mn, int32_t mx, float pair[2]) {
    const bool minFirst = info.bytesPerSample == 1;
    pair[0] = float(minFirst ? mn : mx);
    pair[1] = float(minFirst ? mx : mn);
}

void ColumnPair(const SfInfo& info, const ChannelStats& stats, int c, float pair[2]) {
    ColumnPair(info, stats.Min(c), stats.Max(c), pair);
}

// Mean square in dB; digital silence is 0, not minus infinity.
float LevelOf(long double squares, uint64_t frames) {
    return squares > 0.0L ? float(10.0L * std::log10(squares / static_cast<long double>(frames)))
                          : 0.0f;
}

float LevelOf(const ChannelStats& stats, int c) {
    return LevelOf(stats.Squares(c), stats.Frames());
}

void StoreColumn(const SfInfo& info, const ChannelStats& stats, float* envelope, int A, int k) {
    for (int c = 0; c < info.channels; ++c)
        ColumnPair(info, stats, c, envelope + size_t(c) * size_t(A) + 2 * size_t(k));
}

void StoreLevel(const SfInfo& info, const ChannelStats& stats, float* levels, int G, int k) {
    for (int c = 0; c < info.channels; ++c)
        levels[size_t(c) * size_t(G) + size_t(k)] = LevelOf(stats, c);
}

bool Readable(const SfInfo& info) {
    return info.bytesPerSample >= 1 && info.bytesPerSample <= 4 && info.blockAlign > 0 &&
           info.channels > 0;
}

bool SupportedWidth(const SfInfo& info, DesktopServices& desktop) {
    if (Readable(info))
        return true;
    desktop.ShowMessage("File format not supported", MessageIcon::None);
    return false;
}

// Stores what the pass gave: the envelope while the pass ran, then each level
// block, with the progress the separate passes showed.
void StoreSums(const SfInfo& info, const OverviewSums& sums, float* overview, int W,
               DesktopServices& desktop) {
    const int A = 2 * W, G = 2 * W;
    const size_t channels = size_t(info.channels);
    for (int k = 0; k < W; ++k)
        for (size_t c = 0; c < channels; ++c) {
            const size_t at = size_t(k) * channels + c;
            const bool empty = sums.columnFrames[size_t(k)] == 0;
            ColumnPair(info, empty ? 0 : sums.min[at], empty ? 0 : sums.max[at],
                       overview + c * size_t(A) + 2 * size_t(k));
        }
    float* levels = overview + channels * size_t(A);
    Progress progress(desktop, "Prepare Rms %d%%");
    for (int k = 0; k < G; ++k) {
        progress.Show(int((100LL * k) / G));
        for (size_t c = 0; c < channels; ++c)
            levels[c * size_t(G) + size_t(k)] =
                LevelOf(sums.squares[size_t(k) * channels + c], sums.blockFrames[size_t(k)]);
    }
}

} // namespace

void PrepareWav(const SfInfo& info, float* envelope, int A, DesktopServices& desktop) {
    if (!SupportedWidth(info, desktop) || A < 2)
        return;
    const int columns = A / 2;
    StepReader reader(info, columns);
    Progress progress(desktop, "Prepare Wav %d%%");
    for (int k = 0; k < columns; ++k) {
        progress.Show(int((200LL * k) / A));
        StoreColumn(info, reader.Read(k), envelope, A, k);
    }
}

void PrepareRms(const SfInfo& info, float* levels, int G, DesktopServices& desktop) {
    if (!SupportedWidth(info, desktop) || G < 1)
        return;
    StepReader reader(info, G);
    Progress progress(desktop, "Prepare Rms %d%%");
    for (int k = 0; k < G; ++k) {
        progress.Show(int((100LL * k) / G));
        StoreLevel(info, reader.Read(k), levels, G, k);
    }
}

void PrepareOverview(const SfInfo& info, float* overview, int W, DesktopServices& desktop) {
    // Files shorter than two frames a column spread frames over the columns
    // and level blocks; they are read frame by frame.
    if (!Readable(info) || W < 1 || uint64_t(info.frames) < 2 * uint64_t(W)) {
        PrepareWav(info, overview, 2 * W, desktop);
        PrepareRms(info, overview + size_t(info.channels) * size_t(2 * W), 2 * W, desktop);
        return;
    }
    Progress progress(desktop, "Prepare Wav %d%%");
    int shown = 0; // the columns whose progress has been shown
    const OverviewSums sums = ScanOverview(info, W, [&](uint64_t done, uint64_t total) {
        const int reached = int(std::min<uint64_t>(uint64_t(W) - 1, done * uint64_t(W) / total));
        for (; shown <= reached; ++shown)
            progress.Show(int((100LL * shown) / W));
    });
    StoreSums(info, sums, overview, W, desktop);
}

bool OverviewAgrees(const SfInfo& info, const float* overview, int W) {
    const int channels = info.channels;
    const int A = 2 * W, G = 2 * W;
    const float* levels = overview + size_t(channels) * size_t(A);
    if (W < 1 || info.bytesPerSample < 1 || info.bytesPerSample > 4 || info.blockAlign < 1)
        return false;

    // Every envelope value is a sample value, every pair in its order, every
    // level between a single step in the longest block and full scale.
    const int bits = 8 * info.bytesPerSample;
    // (A 32-bit maximum rounds up to 2^31 as a float.)
    const double lowest = -std::ldexp(1.0, bits - 1);
    const double highest = double(float(std::ldexp(1.0, bits - 1) - 1.0));
    const bool minFirst = info.bytesPerSample == 1;
    for (size_t i = 0; i < size_t(channels) * size_t(A); i += 2) {
        const double first = overview[i], second = overview[i + 1];
        for (double v : {first, second})
            if (!(v >= lowest && v <= highest) || v != std::trunc(v))
                return false;
        if (minFirst ? first > second : first < second)
            return false;
    }
    for (size_t i = 0; i < size_t(channels) * size_t(G); ++i)
        if (!(levels[i] >= kLowestLevel && levels[i] <= kHighestLevel))
            return false;

    // The first and last column and level block, computed again from the file,
    // must come out exactly as stored. (At a width of 1 the one column is both.)
    StepReader columns(info, W), blocks(info, G);
    const int lastColumn = W - 1, lastBlock = G - 1;
    for (int k : {0, lastColumn}) {
        const ChannelStats& stats = columns.Read(k);
        for (int c = 0; c < channels; ++c) {
            float pair[2];
            ColumnPair(info, stats, c, pair);
            const float* stored = overview + size_t(c) * size_t(A) + 2 * size_t(k);
            if (pair[0] != stored[0] || pair[1] != stored[1])
                return false;
        }
        if (lastColumn == 0)
            break;
    }
    for (int k : {0, lastBlock}) {
        const ChannelStats& stats = blocks.Read(k);
        for (int c = 0; c < channels; ++c)
            if (LevelOf(stats, c) != levels[size_t(c) * size_t(G) + size_t(k)])
                return false;
    }
    return true;
}

bool BuildOverview(SfInfo& info, DesktopServices& desktop, int screenWidth, bool* fromCache) {
    const int W = screenWidth;
    if (info.channels < 1)
        return false;
    if (W < 1 || W > kMaxOverviewWidth) {
        desktop.ShowMessage("An overview " + std::to_string(W) +
                                " pixels wide cannot be drawn: the width must lie between 1 "
                                "and " +
                                std::to_string(kMaxOverviewWidth) + ".",
                            MessageIcon::Stop);
        return false;
    }
    const int C = 4 * W;
    const int64_t values = int64_t(C) * info.channels;
    if (values > kMaxOverviewValues) {
        desktop.ShowMessage(
            "The overview of " + std::to_string(info.channels) + " channels at a screen width of " +
                std::to_string(W) + " pixels would take " +
                std::to_string((values * 4 + (1 << 20) - 1) >> 20) + " MB, more than the " +
                std::to_string(kMaxOverviewValues * 4 >> 20) + " MB an overview may take.",
            MessageIcon::Stop);
        return false;
    }
    std::vector<float> overview;
    try {
        overview.assign(size_t(values), 0.0f);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The file as it was before the overview was computed: a cache carries
    // this state, so a file changed while it is read never keeps the result.
    SfStat sound;
    const bool known = sfstat(info.handle, sound) == 0;
    const bool loaded = known && LoadOverview(info, overview, C, sound);
    if (fromCache)
        *fromCache = loaded;
    if (!loaded) {
        info.overviewMethod = kOverviewWav;
        WaitCursor wait(desktop);
        PrepareOverview(info, overview.data(), W, desktop);
        if (known)
            SaveOverview(info, overview, C, sound);
    }
    info.overview = std::move(overview);
    info.task = SfTask{};
    return true;
}
