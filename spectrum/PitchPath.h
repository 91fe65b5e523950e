// The path through the pitch candidates of successive frames that best trades
// their strengths against jumps between them: the last step of Boersma's
// autocorrelation method (see PitchTracker.h), a Viterbi search.
#pragma once

#include "spectrum/PitchCandidates.h"

#include <cstddef>
#include <vector>

// The candidates of every frame, one after the other.
struct PitchLattice {
    std::vector<PitchCandidate> candidates;
    std::vector<std::size_t> firsts; // where each frame's candidates begin

    void AddFrame(const std::vector<PitchCandidate>& frame) {
        firsts.push_back(candidates.size());
        candidates.insert(candidates.end(), frame.begin(), frame.end());
    }
};

// The frequency the best path takes in each frame (0 where it takes an
// unvoiced candidate). The path earns the strengths of its candidates and pays
// octaveJumpCost per octave between voiced neighbours and voicedUnvoicedCost
// per change of voicing; both are costs per 10 ms, scaled to timeStep seconds
// between frames, so that a finer step does not make the path stiffer.
std::vector<double> BestPitchPath(const PitchLattice& lattice, double octaveJumpCost,
                                  double voicedUnvoicedCost, double timeStep);
