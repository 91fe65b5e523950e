#include "ModuleSound.h"

#include "ModuleDesktop.h"
#include "sonagram/CSfSon.h"
#include "sonagram/ComputeSonagram.h"
#include "soundfile/AnalysisLimits.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/MemoryStore.h"
#include "soundfile/OpenHead.h"
#include "soundfile/Overview.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SampleAccess.h"
#include "spectrum/CSfFft.h"
#include "spectrum/LevelReference.h"
#include "spectrum/SpectrumDisplay.h"
#include "spectrum/TaskSpectrum.h"
#include "waveform/CSfWav.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int64_t kLargestFrame = std::numeric_limits<uint32_t>::max();

void Require(bool good, const std::string& message) {
    if (!good)
        throw std::invalid_argument(message);
}

int32_t Bounded(const std::optional<int32_t>& given, int32_t def, int64_t low, int64_t high,
                const std::string& name) {
    if (!given)
        return def;
    Require(*given >= low && *given <= high,
            name + " must lie between " + std::to_string(low) + " and " + std::to_string(high));
    return *given;
}

void RequireScreenWidth(int width) {
    Require(width >= 1 && width <= kMaxOverviewWidth,
            "screen_width must lie between 1 and " + std::to_string(kMaxOverviewWidth));
}

// What the user is told when the computation has not said it itself.
[[noreturn]] void Refuse(const ModuleDesktop& desktop, const std::string& fallback) {
    throw AnalysisError(desktop.Messages().empty() ? fallback : desktop.Messages());
}

// Sets the head's task as a selection in the head window would.
void SetHeadTask(CSfHead& head, const SoundTask& task) {
    SfTask& t = head.Info().task;
    t.start = task.start;
    t.end = task.end;
    t.channel = task.channel;
}

} // namespace

ModuleSound::ModuleSound(const std::string& path, std::optional<RawFormat> raw, bool userSettings)
    : userSettings_(userSettings) {
    SfInfo& info = head_.Info();
    info.path = path;
    ModuleDesktop desktop(raw);
    switch (OpenAndRecognise(info, desktop)) {
    case OpenOutcome::Opened:
        return;
    case OpenOutcome::Cancelled:
        Refuse(desktop, path + " has no header that Kavirel knows: give its format as raw=(RATE, "
                               "CHANNELS, BPS, OFFSET, \"LSB\" or \"MSB\")");
    case OpenOutcome::Refused:
        break;
    }
    Refuse(desktop, path + " cannot be read as sound");
}

double ModuleSound::FullScale() const {
    return ::FullScale(Info());
}

std::unique_ptr<SettingsStore> ModuleSound::Settings() const {
    if (userSettings_)
        return std::make_unique<QtSettingsStore>();
    return std::make_unique<MemoryStore>();
}

SoundTask ModuleSound::Task(uint32_t start, uint32_t end, int64_t channel) const {
    const SfInfo& info = Info();
    const std::string last = std::to_string(info.frames);
    Require(start <= info.frames, "start must not lie beyond the end of the file, frame " + last);
    Require(end <= info.frames, "end must not lie beyond the end of the file, frame " + last);
    Require(channel >= 0 && channel < info.channels,
            "channel must lie between 0 and " + std::to_string(info.channels - 1));
    Require(start <= end, "start must not lie after end");
    return {start, end, int32_t(channel)};
}

OverviewResult ModuleSound::Overview(int width) {
    RequireScreenWidth(width);
    std::lock_guard<std::mutex> lock(mutex_);
    ModuleDesktop desktop;
    OverviewResult result;
    if (!BuildOverview(head_.Info(), desktop, width, &result.fromCache))
        Refuse(desktop, Info().path + ": the overview cannot be built");
    result.values = head_.Info().overview;
    return result;
}

SpectrumResult ModuleSound::Spectrum(const SpectrumRequest& request) {
    return ComputeSpectrum(request);
}

std::vector<SpectrumPeak> ModuleSound::Peaks(const SpectrumRequest& request, int count) {
    std::vector<SpectrumPeak> peaks;
    double binWidth = 0.0;
    const SpectrumResult result = ComputeSpectrum(
        request, [&](const std::vector<float>& levels, const BinRange& bins, float floor) {
            binWidth = double(Info().rate) / double(levels.size() * 2);
            peaks = ListSpectrumPeaks(levels, bins, floor, binWidth, count);
        });
    for (SpectrumPeak& peak : peaks)
        peak.level = result.levels[size_t(peak.bin)];
    return peaks;
}

std::optional<SpectrumPeak> ModuleSound::HighestPeak(const SpectrumRequest& request) {
    std::optional<SpectrumPeak> peak;
    const SpectrumResult result = ComputeSpectrum(
        request, [&](const std::vector<float>& levels, const BinRange& bins, float floor) {
            peak = HighestSpectrumPeak(levels, bins, floor,
                                       double(Info().rate) / double(levels.size() * 2));
        });
    if (peak)
        peak->level = result.levels[size_t(peak->bin)];
    return peak;
}

SpectrumResult ModuleSound::ComputeSpectrum(const SpectrumRequest& request,
                                            const ShownSpectrum& shown) {
    RequireScreenWidth(request.screenWidth);
    const auto store = Settings();
    CSfSettings settings(*store);
    FftSettings& fft = settings.Fft();
    if (request.lfft) {
        Require(IsOfferedFftLength(*request.lfft),
                "lfft must be a power of two from 16 to 1048576");
        fft.Lfft = *request.lfft;
    }
    fft.Lwdw = Bounded(request.lwdw, fft.Lwdw, 1, 1048576, "lwdw");
    fft.Shift = Bounded(request.shift, fft.Shift, 1, kLargestFrame / 2, "shift");
    fft.IWin = Bounded(request.window, fft.IWin, kFirstWindow, kLastWindow, "window");
    settings.SetMethod(Bounded(request.method, settings.Method(), 0, 2, "method"));
    fft.LevelRef = Bounded(request.level, fft.LevelRef, kLevelRefLsb, kLevelRefFullScale, "level");
    fft.Average = Bounded(request.average, fft.Average, kAverageDecibels, kAveragePower, "average");
    if (request.cepFreq) {
        Require(*request.cepFreq >= kLowestCepFreq && *request.cepFreq <= kHighestFrequency,
                "cepfreq must lie between 1 and 1000000 Hz");
        fft.CepFreq = *request.cepFreq;
    }
    if (request.linear)
        settings.SetYScale(settings.YScale() & ~uint32_t{kScaleLog});

    std::lock_guard<std::mutex> lock(mutex_);
    SetHeadTask(head_, request.task);
    CSfFft item(head_, settings);
    ModuleDesktop desktop;
    switch (ComputeTaskSpectrum(item, desktop, request.screenWidth)) {
    case SpectrumOutcome::Computed:
        break;
    case SpectrumOutcome::PastFileEnd:
        Refuse(desktop, "FFT-Length exceeds the File-Length");
    case SpectrumOutcome::BadParameters:
        Refuse(desktop, "The FFT length must be a power of two and the shift above 0");
    case SpectrumOutcome::OutOfMemory:
        Refuse(desktop, "There is not enough memory for this spectrum");
    case SpectrumOutcome::Cancelled:
        Refuse(desktop, "The spectrum was stopped");
    }
    SfFftParam& p = item.Param();
    SpectrumResult result;
    result.binWidthHz = double(Info().rate) / p.Lfft;
    result.decibels = (item.YScale() & kScaleLog) != 0;
    result.levelRef = p.LevelRef;
    result.levels = *p.results.spectrum;
    if (p.results.smoothed)
        result.smoothed = *p.results.smoothed;
    if (shown) {
        const SpectrumGeometry g = LayOutSpectrum(p, item.XScale(), item.YScale(),
                                                  double(Info().rate), SpectrumGeometry{}.plot);
        shown(*p.results.spectrum, g.bins, g.levels.lo);
    }
    return result;
}

SonagramResult ModuleSound::Sonagram(const SonagramRequest& request) {
    RequireScreenWidth(request.screenWidth);
    const auto store = Settings();
    const CSfSettings settings(*store);
    FftSettings son = settings.Son();
    if (request.lfft) {
        Require(IsOfferedFftLength(*request.lfft),
                "lfft must be a power of two from 16 to 1048576");
        son.Lfft = *request.lfft;
    }
    if (request.lwdw) {
        Require(*request.lwdw >= 1, "lwdw must be above 0");
        son.Lwdw = *request.lwdw;
    }
    son.IWin = Bounded(request.window, son.IWin, kFirstWindow, kLastWindow, "window");
    if (request.range) {
        Require(*request.range >= 1, "range must be above 0");
        son.Range = *request.range;
    }
    if (request.fmax) {
        Require(*request.fmax >= 0.0, "fmax must not be negative");
        son.Fmax = float(*request.fmax);
    }
    son.LevelRef = Bounded(request.level, son.LevelRef, kLevelRefLsb, kLevelRefFullScale, "level");
    // As when the settings are loaded: the window fills at most the frame.
    son.Lwdw = std::min(son.Lwdw, son.Lfft);

    std::lock_guard<std::mutex> lock(mutex_);
    SetHeadTask(head_, request.task);
    const auto item = CSfSon::Create(head_, son);
    ModuleDesktop desktop;
    SonagramCells cells;
    switch (ComputeSonagram(*item, cells, desktop, request.screenWidth)) {
    case SonagramOutcome::Computed:
    case SonagramOutcome::NoCells:
        break;
    case SonagramOutcome::EmptyRange:
        Refuse(desktop, "You have to define a task!");
    case SonagramOutcome::BadFftLength:
        Refuse(desktop, "The FFT length must be a power of two");
    case SonagramOutcome::TooLarge:
        Refuse(desktop, "The sonagram would take more memory than it may");
    case SonagramOutcome::OutOfMemory:
        Refuse(desktop, "There is not enough memory for this sonagram");
    case SonagramOutcome::Cancelled:
        Refuse(desktop, "The sonagram was stopped");
    }
    const SfFftParam& p = item->Param();
    const SonLevels& levels = item->Levels();
    SonagramResult result;
    result.width = cells.width;
    result.height = cells.height;
    result.cells = std::move(cells.index);
    result.levels = levels.values;
    result.dBMax = p.results.dBMax;
    result.floor = p.Floor;
    result.fmax = p.Fmax;
    result.levelMin = levels.minimum;
    result.levelMax = levels.maximum;
    return result;
}

EnvelopeResult ModuleSound::Envelope(const SoundTask& task, int screenWidth) {
    RequireScreenWidth(screenWidth);
    std::lock_guard<std::mutex> lock(mutex_);
    SetHeadTask(head_, task);
    CSfWav item(head_);
    // The program opens no waveform window on no frames.
    if (item.Range().length == 0)
        throw AnalysisError("You have to define a task!");
    ModuleDesktop desktop;
    item.BuildEnvelope(desktop, screenWidth);
    const WavEnvelope& envelope = item.Envelope();
    return {envelope.values, envelope.lower, envelope.upper};
}

PitchContour ModuleSound::Pitch(const PitchRequest& request) {
    PitchParams params;
    params.floor = request.floor.value_or(params.floor);
    params.ceiling = request.ceiling.value_or(params.ceiling);
    params.timeStep = request.step.value_or(PitchTimeStep(params));
    Require(params.floor > 0.0, "floor must be above 0");
    Require(params.ceiling > params.floor, "ceiling must lie above floor");
    Require(params.timeStep > 0.0, "step must be above 0");
    // The tracker reads through its own calls and keeps no state in the head.
    const SoundTask& t = request.task;
    PitchContour contour = TrackFilePitch(Info(), t.start, t.end, t.channel, params);
    if (contour.times.empty()) {
        char text[96];
        std::snprintf(text, sizeof text, "The range is shorter than one analysis frame of %.6f s",
                      3.0 / params.floor);
        throw AnalysisError(text);
    }
    return contour;
}

std::vector<float> ModuleSound::Samples(const SoundTask& task) {
    std::vector<float> values(task.end - task.start);
    const uint32_t read =
        ReadSamples(Info(), values.data(), uint32_t(values.size()), task.start, task.channel);
    if (read != values.size())
        throw AnalysisError(Info().path + ": the samples cannot be read");
    return values;
}

FileLevels ModuleSound::Levels() {
    const SfInfo& info = Info();
    constexpr uint32_t kBlock = 1 << 16;
    std::vector<float> block(kBlock);
    double peak = 0.0;
    long double squares = 0.0L;
    for (int channel = 0; channel < info.channels; ++channel) {
        for (uint32_t start = 0; start < info.frames; start += kBlock) {
            const uint32_t count = std::min(kBlock, info.frames - start);
            if (ReadSamples(info, block.data(), count, start, channel) != count)
                throw AnalysisError(info.path + ": the samples cannot be read");
            for (uint32_t i = 0; i < count; ++i) {
                const double v = block[i];
                peak = std::max(peak, std::fabs(v));
                squares += v * v;
            }
        }
    }
    const double samples = double(info.frames) * double(info.channels);
    const double meanSquare = samples > 0.0 ? double(squares) / samples : 0.0;
    constexpr double kSilence = -std::numeric_limits<double>::infinity();
    FileLevels levels;
    levels.peakDbfs = peak > 0.0 ? 20.0 * std::log10(peak / ::FullScale(info)) : kSilence;
    levels.rmsDbfs =
        meanSquare > 0.0 ? 10.0 * std::log10(meanSquare) - LevelFullScaleDb(info) : kSilence;
    return levels;
}
