// The sonagram image as a PNG file, as the sonagram window shows it before
// stretching.
#pragma once

#include "sonagram/SonagramCells.h"

#include <cstdint>
#include <string>

// Writes the W x H image of cells in the colours of map to path, through a temporary file
// renamed into place, never over the sound file named by source. False, with
// the reason in problem, when cells hold no image or the file cannot be
// written.
bool WriteSonagramPng(const SonagramCells& cells, int32_t map, const std::string& path,
                      const std::string& source, std::string& problem);
