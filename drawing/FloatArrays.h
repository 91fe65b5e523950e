// Small operations on the float arrays of the analyses, and the peak search
// behind the jump-to-peak cursor keys of the level curve.
#pragma once

#include <cstdint>

// Searches from start upward (direction > 0) or downward (direction < 0) for
// the first i with values[i - 1] greater than both values[i] and values[i + 1],
// that is the index just after a local maximum. Returns start when there is
// none or direction is 0. Reads only values[0] to values[count - 1].
int FindPeakIndex(const float* values, int count, int start, int direction);

void ZeroFloats(float* values, int count);

// destination[i] += source[i]
void AddFloats(float* destination, const float* source, int count);

// destination[i] = factor x source[i]; destination may be source.
void ScaleFloats(float* destination, const float* source, int count, double factor);

// Sets count 32-bit words to value. Takes untyped memory so that a float array
// can be filled with the bit pattern of a float (0x3F800000 for 1.0) without
// writing floats through a pointer to integers.
void FillWords(void* words, int count, uint32_t value);
