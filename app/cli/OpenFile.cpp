#include "OpenFile.h"

#include "CliDesktop.h"
#include "Commands.h"
#include "soundfile/AnalysisThreads.h"
#include "soundfile/Decoder.h"
#include "soundfile/OpenHead.h"
#include "soundfile/Overview.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfInfo.h"

#include <cstdio>
#include <cstring>
#include <string>

int UsageError(const CliArgs& args, const char* command) {
    if (!args.Ok())
        std::fprintf(stderr, "kavirel-cli: %s\n", args.Error().c_str());
    size_t count = 0;
    const CliCommand* commands = CliCommands(&count);
    for (size_t i = 0; i < count; ++i)
        if (std::strcmp(commands[i].name, command) == 0)
            std::fprintf(stderr, "usage: kavirel-cli %s\n", commands[i].synopsis);
    return kExitUsage;
}

bool ScreenWidthOption(CliArgs& args, int& width) {
    const long given = args.Int("screen-width", 1024);
    if (given < 1 || given > kMaxOverviewWidth) {
        args.Fail("--screen-width must lie between 1 and " + std::to_string(kMaxOverviewWidth));
        return false;
    }
    width = int(given);
    return args.Ok();
}

int OpenSoundFile(CliArgs& args, SfInfo& info) {
    CliDesktop desktop(args.Raw());
    if (!args.Ok())
        return kExitUsage;
    info.path = args.Words()[0];
    QtSettingsStore store;
    SetDecodedCacheBudget(DecodedCacheBudgetSetting(store));
    SetAnalysisThreads(AnalysisThreadsSetting(store));
    switch (OpenAndRecognise(info, desktop)) {
    case OpenOutcome::Opened:
        return kExitOk;
    case OpenOutcome::Cancelled:
        // A header whose samples cannot be read has said so already; one
        // message is enough.
        if (desktop.Shown() > 0)
            return kExitNeedsRaw;
        std::fprintf(stderr,
                     "%s has no header that kavirel-cli knows: give its format with "
                     "--raw RATE,CHANNELS,BPS,OFFSET,LSB|MSB\n",
                     info.path.c_str());
        return kExitNeedsRaw;
    case OpenOutcome::Refused:
        break;
    }
    return kExitRefused;
}
