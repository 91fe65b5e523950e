#include "soundfile/CanonicalPath.h"

#include <cstdlib>

std::string CanonicalSoundPath(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string canonical(resolved);
    std::free(resolved);
    return canonical;
}
