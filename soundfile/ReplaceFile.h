// Writing a whole file so that a failure never leaves half of it: the bytes
// go to a temporary file in the same folder, which replaces the target only
// after every byte was written and flushed.
#pragma once

#include <cstddef>
#include <string>

// Writes size bytes of data as the file path. Refused: a path that exists
// but is not a regular file (a device, a named pipe, a folder), and a path
// naming the same file as keep (the sound file being analysed). A link is
// followed, and the file it names is replaced. An existing file keeps its
// permissions. On failure the target is as it was and problem says why.
bool ReplaceFileContents(const std::string& path, const void* data, size_t size,
                         std::string& problem, const std::string& keep = std::string());
