#include "CliArgs.h"
#include "Commands.h"
#include "OpenFile.h"
#include "drawing/NoteText.h"
#include "drawing/StrictTimeText.h"
#include "drawing/TimeText.h"
#include "soundfile/AnalysisLimits.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/QtSettingsStore.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

int RunNote(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {}, {"ref", "notation"});
    if (!args.Ok() || args.Words().size() != 1)
        return UsageError(args, "note");
    QtSettingsStore store;
    const CSfSettings settings(store);
    const double ref = args.Real("ref", settings.Btf());
    const long notation = args.Int("notation", settings.Btn());
    char* end = nullptr;
    const std::string text = args.Words()[0];
    const double f = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(f))
        args.Fail("FREQ must be a number, not \"" + text + "\"");
    else if (!(f > 0.0))
        args.Fail("FREQ must be above 0 Hz");
    else if (f > kHighestFrequency)
        args.Fail("FREQ must not lie above 1000000 Hz");
    else if (args.Ok() && !ValidReferencePitch(ref))
        args.Fail("--ref must lie between 100 and 1000 Hz");
    else if (args.Ok() && !ValidNotation(int32_t(notation)))
        args.Fail("--notation must be 0 (US names) or 1 (German names)");
    if (!args.Ok())
        return UsageError(args, "note");
    const std::string note = NoteText(f, ref, int(notation));
    // Only the lowest octave is left without a name.
    if (note.empty()) {
        args.Fail(text + " Hz lies below the lowest octave that has note names");
        return UsageError(args, "note");
    }
    std::printf("%s\n", note.c_str());
    return kExitOk;
}

int RunTime(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {}, {"rate"});
    if (!args.Ok() || args.Words().size() != 1 || !args.Has("rate"))
        return UsageError(args, "time");
    // A file's rate is a 32-bit whole number; beyond that the frames of a
    // second no longer fit a position.
    const double rate = args.Real("rate", 0.0);
    if (args.Ok() && !(rate > 0.0 && rate <= std::numeric_limits<int32_t>::max()))
        args.Fail("--rate must lie above 0 and at most " +
                  std::to_string(std::numeric_limits<int32_t>::max()));
    if (!args.Ok())
        return UsageError(args, "time");
    const float sr = float(rate);
    const std::string& text = args.Words()[0];
    const std::optional<int64_t> frames = ReadTimeText(text, sr);
    if (!frames)
        args.Fail("TEXT must be frames or a time such as 1m30s, 2.5s or 1h, not \"" + text + "\"");
    else if (*frames < std::numeric_limits<int32_t>::min() ||
             *frames > std::numeric_limits<int32_t>::max())
        args.Fail(text + " lies beyond the 32-bit frame range at this rate");
    if (!args.Ok())
        return UsageError(args, "time");
    const int32_t n = int32_t(*frames);
    std::printf("%d\t%s\t%s\n", n, FormatFrames(n, sr, 0).c_str(), FormatFrames(n, sr, 1).c_str());
    return kExitOk;
}
