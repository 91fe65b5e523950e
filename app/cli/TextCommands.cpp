#include "CliArgs.h"
#include "Commands.h"
#include "OpenFile.h"
#include "drawing/NoteText.h"
#include "drawing/TimeText.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/QtSettingsStore.h"

#include <cstdio>
#include <cstdlib>

int RunNote(int argc, char** argv) {
    const char* usage = "note FREQ [--ref HZ] [--notation N]";
    CliArgs args(argc, argv, 2, {}, {"ref", "notation"});
    if (!args.Ok() || args.Words().size() != 1)
        return UsageError(args, usage);
    QtSettingsStore store;
    const CSfSettings settings(store);
    const double ref = args.Real("ref", settings.Btf());
    const long notation = args.Int("notation", settings.Btn());
    char* end = nullptr;
    const std::string text = args.Words()[0];
    const double f = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        args.Fail("FREQ must be a number, not \"" + text + "\"");
    if (!args.Ok())
        return UsageError(args, usage);
    std::printf("%s\n", NoteText(f, ref, int(notation)).c_str());
    return kExitOk;
}

int RunTime(int argc, char** argv) {
    const char* usage = "time TEXT --rate SR";
    CliArgs args(argc, argv, 2, {}, {"rate"});
    if (!args.Ok() || args.Words().size() != 1 || !args.Has("rate"))
        return UsageError(args, usage);
    const double rate = args.Real("rate", 0.0);
    if (args.Ok() && !(rate > 0.0))
        args.Fail("--rate must be above 0");
    if (!args.Ok())
        return UsageError(args, usage);
    const float sr = float(rate);
    const int32_t frames = ParseTimeText(args.Words()[0], sr);
    std::printf("%d\t%s\t%s\n", frames, FormatFrames(frames, sr, 0).c_str(),
                FormatFrames(frames, sr, 1).c_str());
    return kExitOk;
}
