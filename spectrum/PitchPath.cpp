#include "spectrum/PitchPath.h"

#include <cmath>
#include <limits>

namespace {

struct Step {
    double score = 0.0;  // of the best path ending here
    size_t from = 0;     // the candidate before, in the lattice
    double octave = 0.0; // log2 of the frequency; unused when unvoiced
    bool voiced = false;
};

} // namespace

std::vector<double> BestPitchPath(const PitchLattice& lattice, double octaveJumpCost,
                                  double voicedUnvoicedCost, double timeStep) {
    const size_t frames = lattice.firsts.size();
    std::vector<double> path(frames, 0.0);
    if (frames == 0)
        return path;
    const double perStep = 0.01 / timeStep;
    const double jumpCost = octaveJumpCost * perStep;
    const double switchCost = voicedUnvoicedCost * perStep;
    const auto end = [&](size_t f) {
        return f + 1 < frames ? lattice.firsts[f + 1] : lattice.candidates.size();
    };

    std::vector<Step> steps(lattice.candidates.size());
    for (size_t c = 0; c < steps.size(); ++c) {
        const double frequency = lattice.candidates[c].frequency;
        steps[c].voiced = frequency > 0.0;
        steps[c].octave = steps[c].voiced ? std::log2(frequency) : 0.0;
        steps[c].score = lattice.candidates[c].strength;
    }
    for (size_t f = 1; f < frames; ++f) {
        for (size_t c = lattice.firsts[f]; c < end(f); ++c) {
            Step& to = steps[c];
            double best = -std::numeric_limits<double>::infinity();
            for (size_t p = lattice.firsts[f - 1]; p < lattice.firsts[f]; ++p) {
                const Step& from = steps[p];
                double cost = 0.0;
                if (from.voiced != to.voiced)
                    cost = switchCost;
                else if (to.voiced)
                    cost = jumpCost * std::abs(from.octave - to.octave);
                if (from.score - cost > best) {
                    best = from.score - cost;
                    to.from = p;
                }
            }
            to.score += best;
        }
    }

    size_t c = lattice.firsts[frames - 1];
    for (size_t last = c + 1; last < end(frames - 1); ++last)
        if (steps[last].score > steps[c].score)
            c = last;
    for (size_t f = frames; f-- > 0;) {
        path[f] = lattice.candidates[c].frequency;
        c = steps[c].from;
    }
    return path;
}
