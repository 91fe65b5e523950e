// spectrum and envelope: the spectrum window's computation and the waveform
// window's envelope for a task given on the command line.
#include "CliArgs.h"
#include "CliDesktop.h"
#include "Commands.h"
#include "OpenFile.h"
#include "soundfile/AnalysisLimits.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"
#include "spectrum/CSfFft.h"
#include "spectrum/TaskSpectrum.h"
#include "waveform/CSfWav.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

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

// The transform lengths the parameter pages offer.
bool IsOfferedLength(long n) {
    return n >= 16 && n <= 1048576 && (n & (n - 1)) == 0;
}

} // namespace

int RunSpectrum(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {"linear"},
                 {"start", "end", "channel", "lfft", "lwdw", "shift", "window", "method", "cepfreq",
                  "level", "average", "screen-width", "raw"});
    int width = 0;
    if (!args.Ok() || args.Words().size() != 1 || !args.Has("start") ||
        !ScreenWidthOption(args, width))
        return UsageError(args, "spectrum");

    // What is not given comes from the settings, as for a new spectrum item.
    QtSettingsStore store;
    CSfSettings settings(store);
    FftSettings& fft = settings.Fft();
    fft.Lfft = int32_t(args.Int("lfft", fft.Lfft));
    if (args.Ok() && !IsOfferedLength(fft.Lfft))
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

    CSfHead head;
    const int code = OpenTask(args, head, TaskEnd::AtStart);
    if (code == kExitUsage)
        return UsageError(args, "spectrum");
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
    const SfFftParam& p = item.Param();
    const double binWidth = double(head.Info().rate) / p.Lfft;
    for (size_t i = 0; i < p.results.spectrum->size(); ++i) {
        std::printf("%zu\t%.9g\t%.9g", i, double(i) * binWidth, double((*p.results.spectrum)[i]));
        if (p.results.smoothed)
            std::printf("\t%.9g", double((*p.results.smoothed)[i]));
        std::printf("\n");
    }
    return kExitOk;
}

int RunEnvelope(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {}, {"start", "end", "channel", "screen-width", "raw"});
    int width = 0;
    if (!args.Ok() || args.Words().size() != 1 || !args.Has("start") || !args.Has("end") ||
        !ScreenWidthOption(args, width))
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
    std::printf("# count=%zu lower=%.9g upper=%.9g\n", envelope.values.size(),
                double(envelope.lower), double(envelope.upper));
    for (float v : envelope.values)
        std::printf("%.9g\n", double(v));
    return kExitOk;
}
