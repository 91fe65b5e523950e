#include "spectrum/PitchCandidates.h"

#include "spectrum/PitchTracker.h"
#include "spectrum/SampleExtent.h"
#include "spectrum/TolqFft.h"
#include "spectrum/WindowFunction.h"

#include <algorithm>
#include <cmath>

namespace {

// The smallest power of two holding the frame and half as much again of
// zeros, so that the circular correlation equals the plain one up to half the
// frame, beyond the longest lag looked at.
int PaddedLength(int windowLength) {
    int n = 4;
    while (n < windowLength + windowLength / 2 + 1)
        n *= 2;
    return n;
}

} // namespace

double UnvoicedStrength(double localPeak, double globalPeak, const PitchParams& params) {
    const double relativePeak = globalPeak > 0.0 ? localPeak / globalPeak : 0.0;
    const double voicing = params.voicingThreshold;
    return voicing +
           std::max(0.0, 2.0 - relativePeak / (params.silenceThreshold / (1.0 + voicing)));
}

FramePitchCandidates::FramePitchCandidates(int windowLength, double rate, const PitchParams& params)
    : windowLength_(windowLength), fftLength_(PaddedLength(windowLength)), rate_(rate),
      minLag_(std::max(2, int(std::ceil(rate / params.ceiling)))),
      maxLag_(std::min(int(std::floor(rate / params.floor)), windowLength / 2 - 1)),
      floor_(params.floor), maxCandidates_(std::max(1, params.maxCandidates)),
      voicingThreshold_(params.voicingThreshold), octaveCost_(params.octaveCost),
      window_(size_t(windowLength)), windowCorrection_(size_t(std::max(0, maxLag_ + 2))),
      buffer_(work_.Get(size_t(fftLength_))), correlation_(windowCorrection_.size()) {
    MakeWindow(window_.data(), windowLength, windowLength, kWindowHanning);
    if (!buffer_ || maxLag_ <= minLag_)
        return;
    std::copy(window_.begin(), window_.end(), buffer_);
    std::fill(buffer_ + windowLength, buffer_ + fftLength_, 0.0f);
    cfautocorr(buffer_, fftLength_);
    for (size_t lag = 0; lag < windowCorrection_.size(); ++lag)
        windowCorrection_[lag] = double(buffer_[0]) / buffer_[lag];
}

bool FramePitchCandidates::Correlate() {
    std::fill(buffer_ + windowLength_, buffer_ + fftLength_, 0.0f);
    cfautocorr(buffer_, fftLength_);
    const double energy = buffer_[0];
    if (!(energy > 0.0))
        return false;
    // Dividing by the window's own correlation undoes the taper the window
    // puts on longer lags (Boersma's equation 9).
    for (int lag = minLag_ - 1; lag <= maxLag_ + 1; ++lag)
        correlation_[size_t(lag)] = buffer_[lag] * windowCorrection_[size_t(lag)] / energy;
    return true;
}

void FramePitchCandidates::AddMaxima(std::vector<PitchCandidate>& out) const {
    const std::vector<double>& r = correlation_;
    // A maximum below half the voicing threshold loses to the unvoiced
    // candidate by more than any path could make up for in a sound worth
    // calling voiced; noise has hundreds of them.
    const double lowest = 0.5 * voicingThreshold_;
    for (size_t lag = size_t(minLag_); lag <= size_t(maxLag_); ++lag) {
        if (!(r[lag] > lowest && r[lag] > r[lag - 1] && r[lag] >= r[lag + 1]))
            continue;
        // The parabola through the three points around the maximum.
        const double slope = 0.5 * (r[lag + 1] - r[lag - 1]);
        const double curvature = 2.0 * r[lag] - r[lag - 1] - r[lag + 1];
        const double shift = curvature > 0.0 ? slope / curvature : 0.0;
        const double period = (double(lag) + shift) / rate_;
        double height = r[lag] + 0.5 * slope * shift;
        // A peak the parabola lifts above 1 is as far from perfect as its
        // inverse.
        if (height > 1.0)
            height = 1.0 / height;
        out.push_back({1.0 / period, height - octaveCost_ * std::log2(floor_ * period)});
    }
}

double FramePitchCandidates::Find(const float* frame, std::vector<PitchCandidate>& out) {
    SampleExtent extent;
    extent.Add(frame, size_t(windowLength_));
    out.clear();
    out.push_back({0.0, 0.0});
    if (!buffer_ || maxLag_ <= minLag_)
        return extent.Peak();
    const float mean = float(extent.Mean());
    for (int t = 0; t < windowLength_; ++t)
        buffer_[t] = (frame[t] - mean) * window_[size_t(t)];
    if (!Correlate())
        return extent.Peak();
    AddMaxima(out);
    const auto byStrength = [](const PitchCandidate& a, const PitchCandidate& b) {
        return a.strength > b.strength;
    };
    const size_t kept = std::min(out.size(), size_t(maxCandidates_));
    std::partial_sort(out.begin() + 1, out.begin() + kept, out.end(), byStrength);
    out.resize(kept);
    return extent.Peak();
}
