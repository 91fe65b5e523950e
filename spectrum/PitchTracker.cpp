#include "spectrum/PitchTracker.h"

#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "spectrum/PitchCandidates.h"
#include "spectrum/PitchPath.h"

#include <algorithm>
#include <cmath>

namespace {

// The largest distance of the sound from its mean, against which each frame's
// own peak tells silence from sound.
double GlobalPeak(const float* samples, size_t count) {
    double sum = 0.0;
    float low = samples[0];
    float high = samples[0];
    for (size_t i = 0; i < count; ++i) {
        sum += samples[i];
        low = std::min(low, samples[i]);
        high = std::max(high, samples[i]);
    }
    const double mean = sum / double(count);
    return std::max(high - mean, mean - low);
}

} // namespace

double PitchTimeStep(const PitchParams& params) {
    return params.timeStep > 0.0 ? params.timeStep : 0.75 / params.floor;
}

PitchContour TrackPitch(const float* samples, size_t count, double rate,
                        const PitchParams& params) {
    PitchContour contour;
    PitchParams used = params;
    used.ceiling = std::min(params.ceiling, rate / 2.0);
    if (!(rate > 0.0 && used.floor > 0.0 && used.ceiling > used.floor))
        return contour;
    const double step = std::max(PitchTimeStep(used), 1.0 / rate) * rate; // in samples
    const size_t windowLength = size_t(std::lround(3.0 * rate / used.floor));
    if (count < windowLength)
        return contour;
    const size_t frames = size_t(double(count - windowLength) / step) + 1;
    // What is left over after the last whole step is split between both ends.
    const double margin = (double(count - windowLength) - double(frames - 1) * step) / 2.0;

    FramePitchCandidates finder(int(windowLength), rate, used);
    const double globalPeak = GlobalPeak(samples, count);
    PitchLattice lattice;
    lattice.candidates.reserve(frames * size_t(std::max(1, used.maxCandidates)));
    lattice.firsts.reserve(frames);
    contour.times.reserve(frames);
    std::vector<PitchCandidate> candidates;
    for (size_t f = 0; f < frames; ++f) {
        const size_t first =
            std::min(size_t(std::lround(margin + double(f) * step)), count - windowLength);
        finder.Find(samples + first, globalPeak, candidates);
        lattice.AddFrame(candidates);
        contour.times.push_back((double(first) + double(windowLength) / 2.0) / rate);
    }
    contour.f0 = BestPitchPath(lattice, used.octaveJumpCost, used.voicedUnvoicedCost, step / rate);
    return contour;
}

PitchContour TrackFilePitch(const SfInfo& info, uint32_t start, uint32_t end, int channel,
                            const PitchParams& params) {
    end = std::min(end, info.frames);
    if (start >= end || channel < 0 || channel >= info.channels)
        return {};
    constexpr uint32_t kBlock = 1u << 16;
    std::vector<float> samples(end - start);
    for (uint32_t done = 0; done < samples.size();) {
        const uint32_t count = std::min<uint32_t>(kBlock, uint32_t(samples.size()) - done);
        if (ReadSamples(info, samples.data() + done, count, start + done, channel) == 0)
            return {};
        done += count;
    }
    PitchContour contour = TrackPitch(samples.data(), samples.size(), info.rate, params);
    const double offset = double(start) / info.rate;
    for (double& t : contour.times)
        t += offset;
    return contour;
}
