// The result arrays of a spectrum and the way they are shared.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// A result array of a spectrum. The item that computes it and every zoomed
// item that shows it hold it together, so the values live until the last of
// them is deleted: whatever order the project tree deletes items in, a zoomed
// item can never be left reading freed memory.
using FloatArray = std::shared_ptr<std::vector<float>>;

// Sets values to count zeros. False, with values empty, when there is no
// memory for them: the analyses then stop quietly instead of the program
// ending.
bool ResizeFloats(std::vector<float>& values, std::size_t count);

// A new array of count zeros, or null when there is no memory for it.
FloatArray NewFloatArray(std::size_t count);
