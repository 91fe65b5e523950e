#include "spectrum/PitchTracker.h"

#include "soundfile/SfInfo.h"
#include "spectrum/ChannelStream.h"
#include "spectrum/PitchCandidates.h"
#include "spectrum/PitchPath.h"
#include "spectrum/SampleExtent.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

// Where the frames lie in a run of samples: as many as fit, a step apart, and
// the samples left over split equally before the first and after the last,
// so that the frames sit in the middle of the run.
struct FrameGrid {
    size_t count = 0; // samples in the run
    size_t windowLength = 0;
    size_t frames = 0;
    double step = 0.0;   // samples between frames
    double margin = 0.0; // samples before the first frame

    size_t First(size_t frame) const {
        const size_t first = size_t(std::lround(margin + double(frame) * step));
        return std::min(first, count - windowLength);
    }
};

// The parameters as they apply at rate; nothing when no pitch can be sought,
// or a frame would not fit in any file.
std::optional<PitchParams> UsableParams(const PitchParams& params, double rate) {
    PitchParams used = params;
    used.ceiling = std::min(params.ceiling, rate / 2.0);
    used.timeStep = std::max(PitchTimeStep(params), 1.0 / rate);
    if (!(rate > 0.0 && used.floor > 0.0 && used.ceiling > used.floor &&
          3.0 * rate / used.floor <= double(std::numeric_limits<uint32_t>::max())))
        return std::nullopt;
    return used;
}

FrameGrid GridOf(size_t count, double rate, const PitchParams& used) {
    FrameGrid grid;
    grid.count = count;
    grid.windowLength = size_t(std::lround(3.0 * rate / used.floor));
    grid.step = used.timeStep * rate;
    if (count < grid.windowLength)
        return grid;
    grid.frames = size_t(double(count - grid.windowLength) / grid.step) + 1;
    grid.margin = (double(count - grid.windowLength) - double(grid.frames - 1) * grid.step) / 2.0;
    return grid;
}

// The candidates of every frame, the strength of the unvoiced ones once the
// whole sound has been seen, then the best path. valuesAt(first) gives the
// frame from sample first on, asked with first rising, or null when they
// cannot be had; soundPeak() comes after the last frame, empty on failure.
template <typename ValuesAt, typename SoundPeak>
PitchContour TrackFrames(const FrameGrid& grid, double rate, const PitchParams& used,
                         ValuesAt valuesAt, SoundPeak soundPeak) {
    FramePitchCandidates finder(int(grid.windowLength), rate, used);
    PitchLattice lattice;
    lattice.candidates.reserve(grid.frames * size_t(std::max(1, used.maxCandidates)));
    lattice.firsts.reserve(grid.frames);
    std::vector<double> peaks(grid.frames);
    PitchContour contour;
    contour.times.reserve(grid.frames);
    std::vector<PitchCandidate> candidates;
    for (size_t f = 0; f < grid.frames; ++f) {
        const size_t first = grid.First(f);
        const float* values = valuesAt(first);
        if (!values)
            return {};
        peaks[f] = finder.Find(values, candidates);
        lattice.AddFrame(candidates);
        contour.times.push_back((double(first) + double(grid.windowLength) / 2.0) / rate);
    }
    const std::optional<double> globalPeak = soundPeak();
    if (!globalPeak)
        return {};
    for (size_t f = 0; f < grid.frames; ++f)
        lattice.candidates[lattice.firsts[f]].strength =
            UnvoicedStrength(peaks[f], *globalPeak, used);
    contour.f0 =
        BestPitchPath(lattice, used.octaveJumpCost, used.voicedUnvoicedCost, used.timeStep);
    return contour;
}

} // namespace

double PitchTimeStep(const PitchParams& params) {
    return params.timeStep > 0.0 ? params.timeStep : 0.75 / params.floor;
}

PitchContour TrackPitch(const float* samples, size_t count, double rate,
                        const PitchParams& params) {
    const std::optional<PitchParams> used = UsableParams(params, rate);
    if (!used)
        return {};
    const FrameGrid grid = GridOf(count, rate, *used);
    if (grid.frames == 0)
        return {};
    return TrackFrames(
        grid, rate, *used, [&](size_t first) { return samples + first; },
        [&]() -> std::optional<double> {
            SampleExtent extent;
            extent.Add(samples, count);
            return extent.Peak();
        });
}

PitchContour TrackFilePitch(const SfInfo& info, uint32_t start, uint32_t end, int channel,
                            const PitchParams& params) {
    end = std::min(end, info.frames);
    const std::optional<PitchParams> used = UsableParams(params, info.rate);
    if (!used || start >= end || channel < 0 || channel >= info.channels)
        return {};
    const FrameGrid grid = GridOf(end - start, info.rate, *used);
    if (grid.frames == 0)
        return {};
    ChannelStream stream(info, start, end, channel);
    PitchContour contour = TrackFrames(
        grid, info.rate, *used,
        [&](size_t first) { return stream.Values(first, grid.windowLength); },
        [&]() -> std::optional<double> {
            if (!stream.Finish())
                return std::nullopt;
            return stream.Extent().Peak();
        });
    const double offset = double(start) / info.rate;
    for (double& t : contour.times)
        t += offset;
    return contour;
}
