// One name for one file, whatever the spelling of its path.
#pragma once

#include <string>

// The canonical form of a path, by which two spellings of one file are
// recognised as the same file; the path itself when it cannot be resolved.
std::string CanonicalSoundPath(const std::string& path);
