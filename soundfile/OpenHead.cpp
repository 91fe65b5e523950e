#include "soundfile/OpenHead.h"

#include "drawing/NumberText.h"
#include "drawing/TimeText.h"
#include "soundfile/Decoder.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/FormatProbes.h"
#include "soundfile/Overview.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"
#include "soundfile/TolqDsp.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

// More channels than this are not a recording anybody analyses here, and the
// overview alone would take gigabytes.
constexpr int kMaxChannels = 1024;

bool AskRaw(SfInfo& info, DesktopServices& desktop) {
    RawFormat raw;
    raw.rate = info.rate;
    raw.channels = info.channels;
    raw.bytesPerSample = info.bytesPerSample;
    raw.dataOffset = info.dataOffset;
    raw.msbFirst = (info.flags & kSfBigEndian) != 0;
    if (!desktop.AskRawFormat(info.path, raw))
        return false;
    info.rate = raw.rate;
    info.channels = raw.channels;
    info.bytesPerSample = raw.bytesPerSample;
    info.dataOffset = raw.dataOffset;
    const int64_t blockAlign = int64_t(raw.channels) * int64_t(raw.bytesPerSample);
    info.blockAlign = blockAlign > 0 && blockAlign <= INT_MAX ? int32_t(blockAlign) : 0;
    // The frame count follows from the file size once the values are checked.
    info.frames = UINT32_MAX;
    info.flags = raw.msbFirst ? kSfFormatKnown | kSfBigEndian : kSfFormatKnown;
    return true;
}

// Why a path did not open, in words: a named pipe or a device is not an error
// of the system but a thing that holds no sound file.
std::string OpenFailure(const std::string& path, int reason) {
    // The system sets no error for a name that names nothing at all.
    if (path.empty())
        return "no file name was given";
    struct stat st;
    if (reason == ENODEV && ::stat(path.c_str(), &st) == 0) {
        if (S_ISFIFO(st.st_mode))
            return "it is a named pipe, not a regular file";
        if (S_ISSOCK(st.st_mode))
            return "it is a socket, not a regular file";
        if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
            return "it is a device, not a regular file";
        return "it is not a regular file";
    }
    if (reason == EISDIR)
        return "it is a folder";
    return reason != 0 ? std::strerror(reason) : "the system gave no reason";
}

void Close(SfInfo& info) {
    sfclose(info.handle);
    info.handle = -1;
}

// Frame numbers are 32-bit throughout the analyses.
std::string ReachableText(const SfInfo& info, int64_t held) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "This file holds %lld sample frames; only the first %u (%s s) can be "
                  "analysed and played.",
                  static_cast<long long>(held), info.frames,
                  PrintG(double(info.frames) / double(info.rate)).c_str());
    return text;
}

// Reads a file our probes do not know through its decoded copy, if libsndfile
// reads it: the head keeps the user's path and takes the copy's handle.
DecodeOutcome OpenDecoded(SfInfo& info, DesktopServices& desktop) {
    const DecodeResult decoded = DecodeSoundFile(info, desktop);
    if (decoded.outcome != DecodeOutcome::Decoded) {
        if (decoded.outcome == DecodeOutcome::Failed)
            desktop.ShowMessage(decoded.problem, MessageIcon::Stop);
        return decoded.outcome;
    }
    SfInfo copy;
    copy.path = decoded.wavPath;
    if (!sfopen(copy, 'r')) {
        const int reason = errno;
        desktop.ShowMessage("The decoded copy " + copy.path +
                                " cannot be opened: " + std::strerror(reason) + ".",
                            MessageIcon::Stop);
        return DecodeOutcome::Failed;
    }
    const ProbeResult found = ProbeWav(copy);
    if (found.outcome != ProbeOutcome::Recognised) {
        sfclose(copy.handle);
        desktop.ShowMessage(found.problem.empty()
                                ? "The decoded copy " + copy.path + " cannot be read."
                                : found.problem,
                            MessageIcon::Stop);
        return DecodeOutcome::Failed;
    }
    sfclose(info.handle);
    info.handle = copy.handle;
    info.rate = copy.rate;
    info.dataOffset = copy.dataOffset;
    info.frames = copy.frames;
    info.channels = copy.channels;
    info.bytesPerSample = copy.bytesPerSample;
    info.blockAlign = copy.blockAlign;
    info.flags = copy.flags;
    info.format = decoded.format;
    info.decodedPath = decoded.wavPath;
    return DecodeOutcome::Decoded;
}

} // namespace

std::string CheckFormat(SfInfo& info, int64_t fileSize) {
    const int bps = info.bytesPerSample;
    if (bps < 1 || bps > 4 || ((info.flags & kSfIeeeFloat) && bps != 4))
        return "This data format is not supported!";
    if (info.channels < 1 || info.channels > kMaxChannels)
        return "The channel count of this file is invalid!";
    if (info.rate < 1)
        return "The sample rate of this file is invalid!";
    if (int64_t(info.blockAlign) < int64_t(info.channels) * bps)
        return "The block align of this file is invalid!";
    if (info.dataOffset < 0 || info.dataOffset > fileSize)
        return "The data offset lies beyond the end of the file!";
    // A header may promise more sound than the file holds (a recording cut
    // short, or a size left open by a streaming writer): read what is there.
    const int64_t available = (fileSize - info.dataOffset) / info.blockAlign;
    if (int64_t(info.frames) > available)
        info.frames = uint32_t(available);
    if (info.frames == 0)
        return "The file holds no sample frames!";
    return std::string();
}

OpenOutcome OpenAndRecognise(SfInfo& info, DesktopServices& desktop) {
    info.flags = 0;
    if (!sfopen(info, 'r')) {
        // A path from the command line or the recent-file list may name a
        // file that is gone; the user learns why nothing opened.
        const int reason = errno;
        desktop.ShowMessage("The file " + info.path +
                                " cannot be opened: " + OpenFailure(info.path, reason) + ".",
                            MessageIcon::Stop);
        return OpenOutcome::Refused;
    }
    SfStat st;
    if (sfstat(info.handle, st) == 0 && st.size == 0) {
        // Nothing to recognise and nothing to ask a raw format for.
        desktop.ShowMessage("The file " + info.path + " is empty.", MessageIcon::Stop);
        Close(info);
        return OpenOutcome::Refused;
    }

    ProbeResult found;
    for (ProbeResult (*probe)(SfInfo&) : {ProbeWav, ProbeAu, ProbeAiff}) {
        info.flags = 0;
        found = probe(info);
        if (found.outcome != ProbeOutcome::NotThisFormat)
            break;
    }
    if (found.outcome == ProbeOutcome::Refused) {
        desktop.ShowMessage(found.problem, MessageIcon::Stop);
        Close(info);
        return OpenOutcome::Refused;
    }
    bool recognised = found.outcome == ProbeOutcome::Recognised;
    if (!recognised) {
        // Our own probes come first, so that a headerless file reaches the
        // raw-format dialog as it always did.
        info.flags = 0;
        switch (OpenDecoded(info, desktop)) {
        case DecodeOutcome::Decoded:
            recognised = true;
            break;
        case DecodeOutcome::Cancelled:
            Close(info);
            return OpenOutcome::Cancelled;
        case DecodeOutcome::Failed:
            Close(info);
            return OpenOutcome::Refused;
        case DecodeOutcome::NotDecodable:
            if (!found.problem.empty())
                desktop.ShowMessage(found.problem, MessageIcon::None);
            break;
        }
    }
    if (!recognised && info.bytesPerSample > 2) {
        desktop.ShowMessage("This data format is not supported!", MessageIcon::Stop);
        Close(info);
        return OpenOutcome::Refused;
    }
    const bool raw = !recognised;
    if (raw && !AskRaw(info, desktop)) {
        Close(info);
        return OpenOutcome::Cancelled;
    }

    const int64_t size = sfstat(info.handle, st) == 0 ? st.size : 0;
    const std::string problem = CheckFormat(info, size);
    if (!problem.empty()) {
        desktop.ShowMessage(problem, MessageIcon::Stop);
        Close(info);
        return OpenOutcome::Refused;
    }
    if (raw) {
        const int64_t held = (size - info.dataOffset) / info.blockAlign;
        if (held > int64_t(info.frames))
            desktop.ShowMessage(ReachableText(info, held), MessageIcon::Information);
    }
    return OpenOutcome::Opened;
}

std::unique_ptr<CSfHead> OpenHeadFile(const std::string& path, DesktopServices& desktop,
                                      int screenWidth) {
    auto head = std::make_unique<CSfHead>();
    SfInfo& info = head->Info();
    info.path = path;
    if (OpenAndRecognise(info, desktop) != OpenOutcome::Opened ||
        !BuildOverview(info, desktop, screenWidth))
        return nullptr;
    head->SetName(ShortPathText(path, 25));
    return head;
}
