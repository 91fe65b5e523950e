#include "CliDesktop.h"
#include "Commands.h"
#include "OpenFile.h"
#include "soundfile/Overview.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <cstdio>
#include <string>

namespace {

// Closes the file of a command when it ends.
struct OpenedFile {
    SfInfo info;
    ~OpenedFile() { sfclose(info.handle); }
};

} // namespace

int RunInfo(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {}, {"raw"});
    if (!args.Ok() || args.Words().size() != 1)
        return UsageError(args, "info");
    OpenedFile file;
    const int code = OpenSoundFile(args, file.info);
    if (code == kExitUsage)
        return UsageError(args, "info");
    if (code != kExitOk)
        return code;
    const SfInfo& info = file.info;
    std::printf("%s\nDataOffset:\t%lld\nFrames:\t%u\nBlockAlign:\t%d\nFlags:\t%d\n",
                FileInfoText(info).c_str(), static_cast<long long>(info.dataOffset), info.frames,
                info.blockAlign, info.flags);
    if (!info.decodedPath.empty())
        std::printf("Decoded:\t%s\n", info.decodedPath.c_str());
    return kExitOk;
}

int RunOverview(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {}, {"screen-width", "raw"});
    int width = 0;
    if (!args.Ok() || args.Words().size() != 1 || !ScreenWidthOption(args, width))
        return UsageError(args, "overview");
    OpenedFile file;
    const int code = OpenSoundFile(args, file.info);
    if (code == kExitUsage)
        return UsageError(args, "overview");
    if (code != kExitOk)
        return code;
    CliDesktop desktop(std::nullopt);
    bool fromCache = false;
    if (!BuildOverview(file.info, desktop, width, &fromCache)) {
        std::fprintf(stderr, "%s: the overview cannot be built\n", file.info.path.c_str());
        return kExitRefused;
    }
    std::printf("# channels=%d width=%d method=%d source=%s\n", file.info.channels, width,
                file.info.overviewMethod, fromCache ? "cache" : "computed");
    for (float v : file.info.overview)
        std::printf("%.9g\n", double(v));
    return kExitOk;
}
