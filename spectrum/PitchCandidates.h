// The pitch candidates of one frame of sound, steps 3.1 to 3.10 of Boersma's
// autocorrelation method (see PitchTracker.h): the frame's autocorrelation,
// corrected for the window, and its strongest maxima in the pitch range.
#pragma once

#include "spectrum/WorkArray.h"

#include <vector>

struct PitchParams;

struct PitchCandidate {
    double frequency = 0.0; // Hz; 0 for the unvoiced candidate
    double strength = 0.0;  // the higher, the likelier
};

// The strength of the unvoiced candidate of a frame whose peak is localPeak in
// a sound whose peak is globalPeak: above the voicing threshold, and the more
// so the quieter the frame is against the silence threshold.
double UnvoicedStrength(double localPeak, double globalPeak, const PitchParams& params);

// Finds the candidates of frames of a fixed length. The transform plans are
// shared through TolqFft, so any number of these may run on separate threads;
// one object is for one thread.
class FramePitchCandidates {
public:
    // Frames of windowLength samples at rate, for pitches between floor and
    // ceiling (ceiling at most rate / 2).
    FramePitchCandidates(int windowLength, double rate, const PitchParams& params);

    // Replaces out with the candidates of frame[0 .. windowLength - 1]: the
    // unvoiced candidate first, its strength left at 0 until the peak of the
    // whole sound is known (see UnvoicedStrength), then up to maxCandidates - 1
    // maxima of the correlation, strongest first. Returns the frame's peak,
    // its largest distance from its mean.
    double Find(const float* frame, std::vector<PitchCandidate>& out);

private:
    // Fills correlation_ from the windowed frame in buffer_[0 ..
    // windowLength_ - 1]; false for a frame with no energy.
    bool Correlate();
    void AddMaxima(std::vector<PitchCandidate>& out) const;

    int windowLength_;
    int fftLength_;
    double rate_;
    int minLag_;
    int maxLag_;
    double floor_;
    int maxCandidates_;
    double voicingThreshold_;
    double octaveCost_;
    std::vector<float> window_;
    // The inverse of the window's own correlation, normalised to 1 at lag 0.
    std::vector<double> windowCorrection_;
    WorkArray work_;
    float* buffer_; // fftLength_ values, the frame and then its correlation; null without memory
    std::vector<double> correlation_; // normalised and corrected, lags 0 .. maxLag_ + 1
};
