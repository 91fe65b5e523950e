// pitch: the fundamental frequency of a range of a file, frame by frame.
#include "CliArgs.h"
#include "Commands.h"
#include "OpenFile.h"
#include "OutputFormat.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"
#include "spectrum/PitchTracker.h"
#include "spectrum/SpectrumTable.h"

#include <cstdio>

namespace {

// The tracker's parameters from --floor, --ceiling and --step; the defaults of
// PitchParams for those not given. False after a message in args.
bool ReadPitchParams(CliArgs& args, PitchParams& params) {
    params.floor = args.Real("floor", params.floor);
    params.ceiling = args.Real("ceiling", params.ceiling);
    params.timeStep = args.Real("step", PitchTimeStep(params));
    if (!args.Ok())
        return false;
    if (!(params.floor > 0.0))
        args.Fail("--floor must be above 0");
    else if (!(params.ceiling > params.floor))
        args.Fail("--ceiling must lie above --floor");
    else if (!(params.timeStep > 0.0))
        args.Fail("--step must be above 0");
    return args.Ok();
}

} // namespace

int RunPitch(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {},
                 {"start", "end", "channel", "floor", "ceiling", "step", "raw", "format"});
    PitchParams params;
    TableFormat format = TableFormat::Tsv;
    if (!args.Ok() || args.Words().size() != 1 || !ReadPitchParams(args, params) ||
        !FormatOption(args, format))
        return UsageError(args, "pitch");
    CSfHead head;
    const int code = OpenTask(args, head, TaskEnd::AtFileEnd);
    if (code == kExitUsage)
        return UsageError(args, "pitch");
    if (code != kExitOk)
        return code;
    const SfInfo& info = head.Info();
    const PitchContour contour =
        TrackFilePitch(info, info.task.start, info.task.end, info.task.channel, params);
    if (contour.times.empty()) {
        std::fprintf(stderr, "The range is shorter than one analysis frame of %.6f s\n",
                     3.0 / params.floor);
        return kExitRefused;
    }
    // Microseconds and millihertz: finer than any frame can tell.
    PrintTable(PitchTable(info, contour), format);
    return kExitOk;
}
