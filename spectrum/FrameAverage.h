// The mean spectrum of the frames of a range, computed on every analysis
// thread with the sums of one thread.
#pragma once

#include <cstdint>
#include <functional>

class FrameEnvelope;
struct SfInfo;

struct FrameAverageTask {
    const SfInfo* info = nullptr;
    int channel = 0;
    uint64_t start = 0; // the first frame's position
    uint64_t end = 0;   // no frame starts at or after it
    int shift = 1;
    const float* window = nullptr; // n values
    int n = 0;                     // the frame length, a transform length
    bool decibels = false;         // levels in dB, else magnitudes
    bool powerMean = false;        // in dB: the dB of the mean power, not the mean of the dBs
    // When given, progress may set it to end the work after the frames read
    // so far (the user cancelled); the spectrum is then incomplete.
    const bool* stop = nullptr;
};

// The mean over the frames at start, start + shift, ... before end of their
// levels as converted, so in dB the mean of the dB values, or with powerMean
// the dB of the mean power, into spectrum[0 .. n/2). Every frame read also
// goes to envelope, in order, so the envelope needs no second pass over the
// file. progress(k, expected) is called on the calling thread, in order, for
// every k = 0, 15, 30, ... of the frames: for frame 0 before any is read, for
// the others while the frames up to them are read. After a stop the frames
// under way are finished and nothing more is read. False when there is no
// memory for the work.
//
// Groups of frames are read and transformed on every thread and summed in
// order as they come: every bin so adds the same values in the same order as
// a single thread would, and the result does not depend on the number of
// threads.
bool AverageFrames(const FrameAverageTask& task, float* spectrum, FrameEnvelope& envelope,
                   const std::function<void(uint64_t frame, uint64_t expected)>& progress);
