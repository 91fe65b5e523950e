// The one pass over a file's frames that its overview is made of: the extremes
// of every envelope column and the square sums of every level block, each
// frame read once, ranges of the file on the analysis threads.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct SfInfo;

// The most bytes read at once: a column or level block of a long file at a
// narrow width is read in pieces of this size, so memory stays the same
// whatever the file. The square sums of wide samples depend on where a level
// block's pieces begin; every reader of level blocks cuts them alike.
inline constexpr int64_t kOverviewPieceBytes = 1 << 20;

// What the pass gives, channel by channel within each column or block.
struct OverviewSums {
    std::vector<int32_t> min, max;      // columns x channels
    std::vector<uint64_t> columnFrames; // fewer than a column's share where the file ends early
    std::vector<long double> squares;   // blocks x channels
    std::vector<uint64_t> blockFrames;
};

// The pass over a file of at least 2 x columns frames (1 to 4 bytes a sample):
// column k holds frames k x F/columns on, level block k frames k x F/(2 x columns)
// on, F/columns and F/(2 x columns) frames each (integer quotients), so frames
// past the last column are in none. The sums come out the same on any number
// of threads. progress(done, total) tells the frames read so far, on the
// calling thread only.
OverviewSums ScanOverview(const SfInfo& info, int columns,
                          const std::function<void(uint64_t, uint64_t)>& progress);
