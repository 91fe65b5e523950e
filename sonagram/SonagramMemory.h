// How much memory a sonagram takes, and how much it may take.
#pragma once

#include <cstdint>

// Bytes held while a sonagram of width x height cells with frames of lfft
// points is computed and shown: per cell its level as a float, its colour
// index and its image byte; per frame point the working frame, the window and
// the transform's own work arrays; per column its level.
uint64_t SonagramBytes(int width, int height, int lfft);

// The most one sonagram may take: half the physical memory, and never more
// than 4 GiB.
//
// Every cell must be held until the last column is done, because the colour
// scale hangs on the loudest cell of all. Linux grants far more than it has,
// so an oversized sonagram would not fail its allocation but be killed while
// filling it; half the memory leaves the other half to the system and the
// program. 4 GiB still holds an FFT of 1048576 points up to 8 kHz on a
// 3840-pixel screen and the whole band on a 1920-pixel one; a larger image
// would be stretched onto a window showing at most one row in several hundred.
uint64_t SonagramMemoryBudget();
