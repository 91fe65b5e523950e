// The nearest note of the equal-tempered scale to a measured frequency, with
// its deviation in cents.
#pragma once

#include <string>

// Note name, octave and cent deviation of f relative to the reference pitch a
// of the note A, such as "A4+0Cent" or "Bb4-12Cent". Notation 0 names the
// notes the US way (B flat is "Bb", reference A in octave 4); any other
// notation the German way ("B" and "H", reference A in octave 1). Empty for a
// frequency or reference that is not a positive finite number, and for
// frequencies so low that the octave would not be positive.
std::string NoteText(double f, double a, int notation);
