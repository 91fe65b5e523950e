// The cursor and block of a time plot in frames of the file: what every
// analysis reads, and what stays exact while the window changes its size.
// The pixel columns the user set them at follow from an edit, and go back to
// the frames only for what that edit moved.
#pragma once

#include "selection/SelectionEditor.h"
#include "selection/TimePlot.h"

#include <cstdint>

struct FrameSelection {
    uint32_t cursor = 0; // the frame under the cursor line
    uint32_t start = 0;  // the block's first frame
    uint32_t end = 0;    // its end frame; equal to start when there is no block
    int channel = 0;
};

// The cursor line and the block edges at the nearest pixel columns of their
// frames; what the cursor keys count from and the flags stay as they are.
void PixelsOfFrames(const FrameSelection& frames, const TimePlot& plot, Selection& pixels);

// The frames of what the last edit moved: the cursor, with the block closed on
// it, or the block. Frames typed in the task dialog, or set before the window
// changed its size, stay exact.
void FramesOfEdit(const Selection& pixels, const TimePlot& plot, FrameSelection& frames);
