// The pitch as the analysis windows show it: the frame of a contour nearest a
// time, the pitch around one instant of a file, and the line of the info box.
#pragma once

#include "spectrum/PitchTracker.h"

#include <string>

// The f0 of the frame whose centre lies nearest seconds (the earlier of two
// as near); 0 when the contour has no frames.
double PitchNearest(const PitchContour& contour, double seconds);

// The f0 of the one frame of params centred on frame centre of a channel of
// the file: 3 / floor seconds around it, moved inside the file where it would
// reach beyond either end. 0 when the frame is unvoiced or the file is shorter
// than a frame.
double PitchAround(const SfInfo& info, uint32_t centre, int channel, const PitchParams& params);

// "label=f0Hz, note" with the note named against reference and notation as
// NoteText names it, or "label=unvoiced" for an f0 of 0.
std::string PitchText(const char* label, double f0, double reference, int notation);
