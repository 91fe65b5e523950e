// spectrum and envelope: the spectrum window's computation and the waveform
// window's envelope for a task given on the command line.
#include "CliArgs.h"
#include "CliDesktop.h"
#include "Commands.h"
#include "OpenFile.h"
#include "OutputFormat.h"
#include "drawing/NoteText.h"
#include "soundfile/AnalysisLimits.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"
#include "spectrum/CSfFft.h"
#include "spectrum/SpectrumDisplay.h"
#include "spectrum/SpectrumPeaks.h"
#include "spectrum/SpectrumTable.h"
#include "spectrum/TaskSpectrum.h"
#include "waveform/CSfWav.h"
#include "waveform/WaveformTable.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr long kLargestFrame = std::numeric_limits<uint32_t>::max();

// An option that must lie between low and high.
long Bounded(CliArgs& args, const std::string& name, long def, long low, long high) {
    const long value = args.Int(name, def);
    if (value < low || value > high) {
        args.Fail("--" + name + " must lie between " + std::to_string(low) + " and " +
                  std::to_string(high));
        return def;
    }
    return value;
}

// The spectrum options every spectrum command reads.
const std::vector<std::string> kSpectrumOptions = {
    "start",  "end",     "channel", "lfft",    "lwdw",         "shift", "window",
    "method", "cepfreq", "level",   "average", "screen-width", "raw",   "format"};

// What a spectrum command does with the computed spectrum; returns the exit
// code, or kExitUsage after a message in args.
using SpectrumOutput = std::function<int(CliArgs&, const CSfHead&, CSfFft&, const CSfSettings&)>;

// Reads the spectrum options (and the command's own, extra), computes the
// spectrum of the task as a new spectrum window would and hands it to output.
int RunSpectrumCommand(int argc, char** argv, const char* command,
                       const std::vector<std::string>& extra, const SpectrumOutput& output) {
    std::vector<std::string> options = kSpectrumOptions;
    options.insert(options.end(), extra.begin(), extra.end());
    CliArgs args(argc, argv, 2, {"linear"}, options);
    int width = 0;
    if (!args.Ok() || args.Words().size() != 1 || !args.Has("start") ||
        !ScreenWidthOption(args, width))
        return UsageError(args, command);

    // What is not given comes from the settings, as for a new spectrum item.
    QtSettingsStore store;
    CSfSettings settings(store);
    FftSettings& fft = settings.Fft();
    fft.Lfft = int32_t(args.Int("lfft", fft.Lfft));
    if (args.Ok() && !IsOfferedFftLength(fft.Lfft))
        args.Fail("--lfft must be a power of two from 16 to 1048576");
    fft.Lwdw = int32_t(Bounded(args, "lwdw", fft.Lwdw, 1, 1048576));
    fft.Shift = int32_t(Bounded(args, "shift", fft.Shift, 1, kLargestFrame / 2));
    fft.IWin = int32_t(Bounded(args, "window", fft.IWin, kFirstWindow, kLastWindow));
    settings.SetMethod(int32_t(Bounded(args, "method", settings.Method(), 0, 2)));
    fft.CepFreq = args.Real("cepfreq", fft.CepFreq);
    if (args.Ok() && !(fft.CepFreq >= kLowestCepFreq && fft.CepFreq <= kHighestFrequency))
        args.Fail("--cepfreq must lie between 1 and 1000000 Hz");
    if (args.Has("linear"))
        settings.SetYScale(settings.YScale() & ~uint32_t{kScaleLog});
    fft.LevelRef = LevelReferenceOption(args, fft.LevelRef);
    fft.Average = AverageOption(args, fft.Average);
    TableFormat format = TableFormat::Tsv;
    if (!args.Ok() || !FormatOption(args, format))
        return UsageError(args, command);

    CSfHead head;
    const int code = OpenTask(args, head, TaskEnd::AtStart);
    if (code == kExitUsage)
        return UsageError(args, command);
    if (code != kExitOk)
        return code;
    CSfFft item(head, settings);
    CliDesktop desktop(std::nullopt);
    switch (ComputeTaskSpectrum(item, desktop, width)) {
    case SpectrumOutcome::Computed:
        break;
    case SpectrumOutcome::PastFileEnd:
        return kExitRefused;
    case SpectrumOutcome::BadParameters:
        std::fprintf(stderr, "The FFT length must be a power of two and the shift above 0\n");
        return kExitRefused;
    case SpectrumOutcome::OutOfMemory:
        std::fprintf(stderr, "There is not enough memory for this spectrum\n");
        return kExitRefused;
    case SpectrumOutcome::Cancelled:
        return kExitRefused;
    }
    const int outcome = output(args, head, item, settings);
    if (outcome == kExitUsage)
        return UsageError(args, command);
    return outcome;
}

TableFormat FormatOf(CliArgs& args) {
    TableFormat format = TableFormat::Tsv;
    FormatOption(args, format);
    return format;
}

} // namespace

int RunSpectrum(int argc, char** argv) {
    return RunSpectrumCommand(
        argc, argv, "spectrum", {},
        [](CliArgs& args, const CSfHead& head, CSfFft& item, const CSfSettings&) {
            PrintTable(SpectrumTable(head.Info(), item.Param(), item.YScale()), FormatOf(args));
            return int(kExitOk);
        });
}

int RunPeaks(int argc, char** argv) {
    return RunSpectrumCommand(
        argc, argv, "peaks", {"count", "min-db", "ref", "notation"},
        [](CliArgs& args, const CSfHead& head, CSfFft& item, const CSfSettings& settings) {
            const long count = args.Int("count", 0);
            const double ref = args.Real("ref", settings.Btf());
            const long notation = args.Int("notation", settings.Btn());
            if (args.Ok() && count < 0)
                args.Fail("--count must not be negative");
            if (args.Ok() && !ValidReferencePitch(ref))
                args.Fail("--ref must lie between 100 and 1000 Hz");
            if (args.Ok() && !ValidNotation(int32_t(notation)))
                args.Fail("--notation must be 0 (US names) or 1 (German names)");
            const double minDb = args.Real("min-db", 0.0);
            if (!args.Ok())
                return int(kExitUsage);
            // The bins and levels the window draws; Ctrl+Right looks for
            // peaks above the lowest level drawn unless --min-db says where.
            SfFftParam& p = item.Param();
            const double rate = head.Info().rate;
            const SpectrumGeometry g =
                LayOutSpectrum(p, item.XScale(), item.YScale(), rate, PlotRect{28, 4, 1052, 400});
            const float threshold = args.Has("min-db") ? float(minDb) : g.levels.lo;
            const auto peaks = ListSpectrumPeaks(*p.results.spectrum, g.bins, threshold,
                                                 rate / p.Lfft, int(count));
            const DataTable table =
                PeaksTable(head.Info(), p, item.YScale(), peaks, ref, int(notation));
            PrintTable(table, FormatOf(args));
            return int(kExitOk);
        });
}

int RunEnvelope(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {}, {"start", "end", "channel", "screen-width", "raw", "format"});
    int width = 0;
    TableFormat format = TableFormat::Tsv;
    if (!args.Ok() || args.Words().size() != 1 || !args.Has("start") || !args.Has("end") ||
        !ScreenWidthOption(args, width) || !FormatOption(args, format))
        return UsageError(args, "envelope");
    CSfHead head;
    const int code = OpenTask(args, head, TaskEnd::AtStart);
    if (code == kExitUsage)
        return UsageError(args, "envelope");
    if (code != kExitOk)
        return code;
    CSfWav item(head);
    CliDesktop desktop(std::nullopt);
    // The program refuses to open a waveform window on no frames.
    if (item.Range().length == 0) {
        desktop.ShowMessage("You have to define a task!", MessageIcon::Information);
        return kExitRefused;
    }
    item.BuildEnvelope(desktop, width);
    const WavEnvelope& envelope = item.Envelope();
    if (format != TableFormat::Tsv) {
        PrintTable(WaveformTable(head.Info(), item.Range(), envelope, width), format);
        return kExitOk;
    }
    std::printf("# count=%zu lower=%.9g upper=%.9g\n", envelope.values.size(),
                double(envelope.lower), double(envelope.upper));
    for (float v : envelope.values)
        std::printf("%.9g\n", double(v));
    return kExitOk;
}
