// The sonagram computation: one windowed frame per image column (or, in
// every-hop mode, the loudest of the frames every Hop frames that fall into
// it), its level for the level curve and its dB spectrum up to Fmax for the
// cells, in the rows of the chosen frequency axis.
#pragma once

#include "sonagram/SonagramCells.h"
#include "sonagram/SonagramMemory.h"

#include <cstdint>

class CSfSon;
class DesktopServices;

enum class SonagramOutcome {
    Computed,     // cells, dBMax, Floor and the level curve are new
    NoCells,      // W or H is 0: only the level curve (of W columns) is new
    EmptyRange,   // the range holds no frame: nothing computed
    BadFftLength, // Lfft is not a power of two: nothing computed
    TooLarge,     // more than the memory budget: a message, nothing computed
    OutOfMemory,  // an allocation failed: nothing computed
    Cancelled,    // the user stopped it at a progress text: nothing computed
};

// Computes the sonagram of item, once per window: W = screenWidth / 2
// columns, H = the bins from 0 Hz up to Fmax rows. Unless the range is empty
// or Lfft no power of two, first sets the item's Fmin to 0 and lowers its Fmax
// to half the sample rate where above; then fills cells, the level curve with
// its bounds, dBMax and Floor, showing "SON %.2f Proz." every 16 columns and
// the wait cursor. Whatever the outcome does not name as new stays as it was.
SonagramOutcome ComputeSonagram(CSfSon& item, SonagramCells& cells, DesktopServices& desktop,
                                int screenWidth, uint64_t memoryBudget = SonagramMemoryBudget());
