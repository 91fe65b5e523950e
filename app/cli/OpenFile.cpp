#include "OpenFile.h"

#include "CliDesktop.h"
#include "Commands.h"
#include "soundfile/AnalysisThreads.h"
#include "soundfile/Decoder.h"
#include "soundfile/OpenHead.h"
#include "soundfile/Overview.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"

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

namespace {

// The index of the option's word among choices; the settings' value when the
// option is not given.
int32_t Choice(CliArgs& args, const char* name, const char* first, const char* second,
               int32_t settingsValue) {
    if (!args.Has(name))
        return settingsValue;
    const std::string word = args.Text(name);
    if (word == first)
        return 0;
    if (word == second)
        return 1;
    args.Fail(std::string("--") + name + " must be " + first + " or " + second);
    return settingsValue;
}

} // namespace

int32_t LevelReferenceOption(CliArgs& args, int32_t settingsValue) {
    return Choice(args, "level", "lsb", "dbfs", settingsValue);
}

int32_t AverageOption(CliArgs& args, int32_t settingsValue) {
    return Choice(args, "average", "db", "power", settingsValue);
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

int OpenTask(CliArgs& args, CSfHead& head, TaskEnd defaultEnd) {
    const long channel = args.Int("channel", 0);
    if (!args.Ok())
        return kExitUsage;
    SfInfo& info = head.Info();
    const int code = OpenSoundFile(args, info);
    if (code != kExitOk)
        return code;
    const float rate = float(info.rate);
    const uint32_t start = args.Position("start", 0, rate, info.frames);
    const uint32_t end = args.Position("end", defaultEnd == TaskEnd::AtStart ? start : info.frames,
                                       rate, info.frames);
    if (channel < 0 || channel >= info.channels)
        args.Fail("--channel must lie between 0 and " + std::to_string(info.channels - 1));
    else if (args.Ok() && start > end)
        args.Fail("--start must not lie after --end");
    if (!args.Ok())
        return kExitUsage;
    info.task.start = start;
    info.task.end = end;
    info.task.channel = int32_t(channel);
    return kExitOk;
}
