// The fundamental frequency of voiced sound over time, by the autocorrelation
// method of P. Boersma, "Accurate short-term analysis of the fundamental
// frequency and the harmonics-to-noise ratio of a sampled sound", IFA
// Proceedings 17 (1993), 97-110: candidates from the window-corrected
// autocorrelation of every frame, then the cheapest path through them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SfInfo;

// What the tracker looks for; the defaults suit speech.
struct PitchParams {
    double floor = 75.0;    // Hz, the lowest pitch; frames hold 3 / floor seconds
    double ceiling = 600.0; // Hz, the highest pitch, at most half the sample rate
    double timeStep = 0.0;  // seconds between frames; 0 (or less) means 0.75 / floor
    int maxCandidates = 15; // per frame, the unvoiced one included
    // A frame whose peak lies below this fraction of the sound's peak leans
    // towards unvoiced.
    double silenceThreshold = 0.03;
    // The correlation a frame needs to count as voiced.
    double voicingThreshold = 0.45;
    double octaveCost = 0.01;         // favours higher candidates, per octave
    double octaveJumpCost = 0.35;     // per octave between neighbouring voiced frames
    double voicedUnvoicedCost = 0.14; // per switch between voiced and unvoiced
};

// One value per analysis frame.
struct PitchContour {
    std::vector<double> times; // seconds, the centre of each frame
    std::vector<double> f0;    // Hz, 0 for an unvoiced frame
};

// The seconds between frames that params asks for.
double PitchTimeStep(const PitchParams& params);

// The pitch of count samples (of any scale) at rate samples per second; times
// count from the first sample, sample i lying at i / rate seconds. Frames of 3 / floor seconds lie
// a time step apart, as many as fit in the sound, and the group of them sits in the middle of the
// sound, leaving equal margins at both ends. A sound shorter than one frame, a floor not above 0 or
// a ceiling not above the floor gives no frames. A ceiling above half the rate is taken as half the
// rate, and a time step below one sample as one sample.
PitchContour TrackPitch(const float* samples, size_t count, double rate, const PitchParams& params);

// TrackPitch of frames start .. end - 1 (end limited to the file) of one
// channel of an opened file, read a block at a time, so that the samples never
// sit in memory whole; times count from the start of the file. No frames when
// the range is empty, the channel does not exist or the samples cannot be
// read.
//
// Both functions may run on any thread, several at once.
PitchContour TrackFilePitch(const SfInfo& info, uint32_t start, uint32_t end, int channel,
                            const PitchParams& params);
