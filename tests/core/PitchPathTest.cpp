// The path through the pitch candidates: a frame in the middle of five whose
// own best candidate differs from its neighbours' is followed only when it is
// better by more than the way there and back costs.
#include "spectrum/PitchPath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Five frames with the same candidates, the middle one with its own.
PitchLattice FiveFrames(const std::vector<PitchCandidate>& outer,
                        const std::vector<PitchCandidate>& middle) {
    PitchLattice lattice;
    for (int f = 0; f < 5; ++f)
        lattice.AddFrame(f == 2 ? middle : outer);
    return lattice;
}

} // namespace

TEST(PitchPath, LeavesTheNeighboursOnlyWhenItPays) {
    const std::vector<PitchCandidate> voiced = {{0.0, 0.45}, {200.0, 0.9}, {100.0, 0.5}};
    const struct {
        const char* name;
        std::vector<PitchCandidate> middle;
        double timeStep; // seconds; costs are per 10 ms
        double expected; // F0 of the middle frame
    } cases[] = {
        // Unvoiced and back costs 2 x 0.14.
        {"unvoiced better by 0.2", {{0.0, 0.7}, {200.0, 0.5}}, 0.01, 200.0},
        {"unvoiced better by 0.4", {{0.0, 0.9}, {200.0, 0.5}}, 0.01, 0.0},
        {"unvoiced better by 0.4, half the step", {{0.0, 0.9}, {200.0, 0.5}}, 0.005, 200.0},
        // An octave down and back costs 2 x 0.35.
        {"octave below better by 0.6", {{0.0, 0.45}, {200.0, 0.3}, {100.0, 0.9}}, 0.01, 200.0},
        {"octave below better by 0.8", {{0.0, 0.45}, {200.0, 0.2}, {100.0, 1.0}}, 0.01, 100.0},
        // A semitone up and back costs only 2 x 0.35 / 12.
        {"semitone above better by 0.1", {{0.0, 0.45}, {200.0, 0.8}, {211.9, 0.9}}, 0.01, 211.9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> path =
            BestPitchPath(FiveFrames(voiced, c.middle), 0.35, 0.14, c.timeStep);
        ASSERT_EQ(path.size(), 5u);
        for (int f = 0; f < 5; ++f)
            EXPECT_EQ(path[f], f == 2 ? c.expected : 200.0) << "frame " << f;
    }
}
