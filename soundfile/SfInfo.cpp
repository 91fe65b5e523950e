#include "soundfile/SfInfo.h"

#include "drawing/NumberText.h"

#include <string>

const char* FormatName(const SfInfo& info) {
    if (!info.format.empty())
        return info.format.c_str();
    if (info.flags & kSfRiffWave)
        return "WAVE";
    if (info.flags & kSfBigEndian)
        return "AIFF";
    return "Unknown";
}

std::string FileInfoText(const SfInfo& info) {
    const double seconds = info.rate > 0 ? double(info.frames) / double(info.rate) : 0.0;
    return "Filename: " + info.path + "\nFmt:\t" + FormatName(info) + "\nSr:\t" +
           std::to_string(info.rate) + "\nNch:\t" + std::to_string(info.channels) + "\nBps:\t" +
           std::to_string(info.bytesPerSample) + "\nLen:\t" + PrintG(seconds) + "s";
}
