#include "CliArgs.h"
#include "CliDesktop.h"
#include "Commands.h"
#include "OpenFile.h"
#include "OutputFormat.h"
#include "SonagramPng.h"
#include "sonagram/CSfSon.h"
#include "sonagram/ColourMaps.h"
#include "sonagram/ComputeSonagram.h"
#include "sonagram/SonagramTable.h"
#include "soundfile/AnalysisLimits.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfItems.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>

namespace {

int32_t Int32(CliArgs& args, const std::string& name, int32_t def) {
    const long value = args.Int(name, def);
    if (value < INT32_MIN || value > INT32_MAX) {
        args.Fail("--" + name + " is out of range");
        return def;
    }
    return int32_t(value);
}

// The sonagram settings of a new item with what the command line gives
// instead; values the options sheet would not accept are refused.
FftSettings SonParameters(CliArgs& args) {
    QtSettingsStore store;
    const CSfSettings settings(store);
    FftSettings son = settings.Son();
    son.Lfft = Int32(args, "lfft", son.Lfft);
    son.Lwdw = Int32(args, "lwdw", son.Lwdw);
    son.IWin = Int32(args, "window", son.IWin);
    if (args.Ok() && (son.IWin < kFirstWindow || son.IWin > kLastWindow))
        args.Fail("--window must lie between 0 and 5");
    son.Range = Int32(args, "range", son.Range);
    son.Fmax = float(args.Real("fmax", son.Fmax));
    son.LevelRef = LevelReferenceOption(args, son.LevelRef);
    if (args.Has("map")) {
        if (const std::optional<int32_t> map = ColourMapOfName(args.Text("map")))
            son.ColourMap = *map;
        else
            args.Fail("--map must be grey, viridis, magma, inferno, cividis or grey-reversed");
    }
    if (args.Has("axis")) {
        const std::string axis = args.Text("axis");
        if (axis == "lin")
            son.FreqAxis = kAxisLinear;
        else if (axis == "log")
            son.FreqAxis = kAxisLog;
        else if (axis == "bark")
            son.FreqAxis = kAxisBark;
        else if (axis == "note")
            son.FreqAxis = kAxisNote;
        else
            args.Fail("--axis must be lin, log, bark or note");
    }
    if (args.Has("frames")) {
        const std::string frames = args.Text("frames");
        if (frames == "column")
            son.Frames = kFramesPerColumn;
        else if (frames == "hop")
            son.Frames = kFramesEveryHop;
        else
            args.Fail("--frames must be column or hop");
    }
    son.Hop = Int32(args, "hop", son.Hop);
    if (son.Hop < 0)
        args.Fail("--hop must not be negative");
    if (!IsOfferedFftLength(son.Lfft))
        args.Fail("--lfft must be a power of two from 16 to 1048576");
    if (son.Lwdw < 1)
        args.Fail("--lwdw must be above 0");
    // As when the settings are loaded: the window fills at most the frame.
    if (son.Lwdw > son.Lfft)
        son.Lwdw = son.Lfft;
    if (son.Range < 1)
        args.Fail("--range must be above 0");
    if (son.Fmax < 0.0f)
        args.Fail("--fmax must not be negative");
    return son;
}

// The task as the head window would hold it, checked against the file.
bool SetTask(CliArgs& args, CSfHead& head, int32_t channel) {
    SfInfo& info = head.Info();
    const float rate = float(info.rate);
    const uint32_t start = args.Position("start", 0, rate, info.frames);
    const uint32_t end = args.Position("end", 0, rate, info.frames);
    if (channel < 0 || channel >= info.channels)
        args.Fail("--channel must lie between 0 and " + std::to_string(info.channels - 1));
    if (args.Ok() && start > end)
        args.Fail("--start must not lie after --end");
    SfTask& task = info.task;
    task.start = start;
    task.end = end;
    task.channel = channel;
    return args.Ok();
}

void PrintResult(const CSfSon& son, const SonagramCells& cells, bool withCells) {
    const SfFftParam& p = son.Param();
    const SonLevels& levels = son.Levels();
    std::printf(
        "dBMax\t%.9g\nFloor\t%d\nFmax\t%.9g\nW\t%d\nH\t%d\nLevelMin\t%.9g\nLevelMax\t%.9g\n",
        double(p.results.dBMax), p.Floor, double(p.Fmax), cells.width, cells.height,
        double(levels.minimum), double(levels.maximum));
    for (size_t i = 0; i < levels.values.size(); ++i)
        std::printf("%zu\t%.9g\n", i, double(levels.values[i]));
    if (!withCells || cells.index.empty())
        return;
    for (int y = 0; y < cells.height; ++y) {
        for (int x = 0; x < cells.width; ++x)
            std::printf(x == 0 ? "%d" : " %d", cells.At(x, y));
        std::printf("\n");
    }
}

// What the user is told when nothing was computed, where the computation
// has not said it itself.
const char* RefusalText(SonagramOutcome outcome) {
    switch (outcome) {
    case SonagramOutcome::EmptyRange:
        return "You have to define a task!";
    case SonagramOutcome::BadFftLength:
        return "The FFT length must be a power of two";
    case SonagramOutcome::OutOfMemory:
        return "There is not enough memory for this sonagram";
    default:
        return nullptr;
    }
}

} // namespace

int RunSonagram(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {"cells"},
                 {"start", "end", "channel", "lfft", "lwdw", "window", "range", "fmax", "level",
                  "screen-width", "png", "raw", "map", "axis", "frames", "hop", "format"});
    int width = 0;
    TableFormat format = TableFormat::Tsv;
    if (!args.Ok() || args.Words().size() != 1 || !args.Has("start") || !args.Has("end") ||
        !ScreenWidthOption(args, width) || !FormatOption(args, format))
        return UsageError(args, "sonagram");
    if (format != TableFormat::Tsv && args.Has("cells")) {
        args.Fail("--cells prints grey indices, in the tab-separated form only");
        return UsageError(args, "sonagram");
    }
    const int32_t channel = Int32(args, "channel", 0);
    const FftSettings parameters = SonParameters(args);
    if (!args.Ok())
        return UsageError(args, "sonagram");

    CSfHead head;
    const int code = OpenSoundFile(args, head.Info());
    if (code == kExitUsage)
        return UsageError(args, "sonagram");
    if (code != kExitOk)
        return code;
    if (!SetTask(args, head, channel))
        return UsageError(args, "sonagram");

    const auto son = CSfSon::Create(head, parameters);
    CliDesktop desktop(std::nullopt);
    SonagramCells cells;
    const SonagramOutcome outcome = ComputeSonagram(*son, cells, desktop, width);
    if (outcome != SonagramOutcome::Computed && outcome != SonagramOutcome::NoCells) {
        if (const char* text = RefusalText(outcome))
            std::fprintf(stderr, "%s\n", text);
        return kExitRefused;
    }
    if (format == TableFormat::Tsv)
        PrintResult(*son, cells, args.Has("cells"));
    else
        PrintTable(SonagramLevelTable(head.Info(), *son), format);
    if (!args.Has("png"))
        return kExitOk;
    const std::string png = args.Text("png");
    if (cells.index.empty()) {
        std::fprintf(stderr, "The sonagram has %d x %d cells: %s is not written\n", cells.width,
                     cells.height, png.c_str());
        return kExitRefused;
    }
    std::string problem;
    if (!WriteSonagramPng(cells, son->Param().ColourMap, png, head.Info().path, problem)) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return kExitRefused;
    }
    return kExitOk;
}
