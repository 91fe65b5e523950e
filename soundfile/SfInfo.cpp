#include "soundfile/SfInfo.h"

#include <cstdio>

const char* FormatName(const SfInfo& info) {
    if (info.flags & kSfRiffWave)
        return "WAVE";
    if (info.flags & kSfBigEndian)
        return "AIFF";
    return "Unknown";
}

std::string FileInfoText(const SfInfo& info) {
    const double seconds = info.rate > 0 ? double(info.frames) / double(info.rate) : 0.0;
    char rest[256];
    std::snprintf(rest, sizeof rest, "\nFmt:\t%s\nSr:\t%ld\nNch:\t%d\nBps:\t%d\nLen:\t%gs",
                  FormatName(info), long(info.rate), info.channels, info.bytesPerSample, seconds);
    return "Filename: " + info.path + rest;
}
