#include "spectrum/TaskSpectrum.h"

#include "drawing/FloatArrays.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SampleAccess.h"
#include "spectrum/CSfFft.h"
#include "spectrum/CepstralSmooth.h"
#include "spectrum/Decibels.h"
#include "spectrum/FrameAverage.h"
#include "spectrum/LevelReference.h"
#include "spectrum/MagnitudeSpectrum.h"
#include "spectrum/MinMaxEnvelope.h"
#include "spectrum/RadixFft.h"
#include "spectrum/WindowFunction.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <new>
#include <vector>

namespace {

// The spectrum of the frame at start; the frame itself stays in samples.
void FrameSpectrum(const SfInfo& info, const FftTask& task, const float* window, float* spectrum,
                   float* samples, int n, bool decibels) {
    ReadSamples(info, samples, static_cast<uint32_t>(n), task.start, task.channel);
    for (int i = 0; i < n; ++i) {
        spectrum[i] = window[i] * samples[i];
    }
    MagnitudeSpectrum(spectrum, n, decibels);
}

} // namespace

SpectrumOutcome ComputeTaskSpectrum(CSfFft& item, DesktopServices& desktop, int screenWidth) {
    const SfInfo& info = item.GetHead()->Info();
    const FftTask& task = item.Task();
    SfFftParam& param = item.Param();
    if (static_cast<int64_t>(task.start) + param.Lfft > static_cast<int64_t>(info.frames)) {
        desktop.ShowMessage("FFT-Length exceeds the File-Length", MessageIcon::None);
        return SpectrumOutcome::PastFileEnd;
    }
    param.Fmax = std::min(param.Fmax, static_cast<float>(info.rate * 0.5));
    param.Lwdw = std::min(param.Lwdw, param.Lfft);
    const WaitCursor wait(desktop);
    if (!param.results.ownsArrays) {
        return SpectrumOutcome::Computed;
    }
    // The settings never hold such values; a record made by hand could, and
    // would otherwise loop without end or transform garbage.
    if (param.Lfft < 2 || !IsFftLength(param.Lfft) || param.Shift < 1) {
        return SpectrumOutcome::BadParameters;
    }

    FftResults& results = param.results;
    const int n = param.Lfft;
    const auto count = static_cast<std::size_t>(n);
    const bool smoothing = item.Method() == kMethodCepSmooth;
    results.spectrum = NewFloatArray(count);
    results.samples = NewFloatArray(count);
    if (smoothing) {
        results.smoothed = NewFloatArray(count);
    }
    std::vector<float> window;
    if (!results.spectrum || !results.samples || !ResizeFloats(window, count)) {
        return SpectrumOutcome::OutOfMemory;
    }
    MakeWindow(window.data(), n, param.Lwdw, param.IWin);
    const bool decibels = (item.YScale() & kScaleLog) != 0;
    float* spectrum = results.spectrum->data();
    const int envelopeCount = 2 * screenWidth;

    if (static_cast<uint64_t>(task.start) + static_cast<uint64_t>(param.Shift) > task.end) {
        FrameSpectrum(info, task, window.data(), spectrum, results.samples->data(), n, decibels);
        // A frame too long for the pane is shown as its envelope; a range
        // shorter than one hop always keeps the frame itself.
        if (task.start == task.end && n > envelopeCount &&
            FrameEnvelope(info, task.channel, results.samples->data(), envelopeCount, task.start,
                          task.start + static_cast<uint32_t>(n))
                .Finish()) {
            results.samples->resize(static_cast<std::size_t>(envelopeCount));
        }
    } else {
        results.samples = NewFloatArray(static_cast<std::size_t>(envelopeCount));
        if (!results.samples) {
            return SpectrumOutcome::OutOfMemory;
        }
        FrameEnvelope envelope(info, task.channel, results.samples->data(), envelopeCount,
                               task.start, task.end);
        FrameAverageTask average;
        average.info = &info;
        average.channel = task.channel;
        average.start = task.start;
        average.end = task.end;
        average.shift = param.Shift;
        average.window = window.data();
        average.n = n;
        average.decibels = decibels;
        average.powerMean = param.Average == kAveragePower;
        bool stopped = false;
        average.stop = &stopped;
        const auto progress = [&desktop, &stopped](uint64_t frame, uint64_t expected) {
            char text[32];
            const int percent = static_cast<int>(0.5 + 100.0 * frame / expected);
            std::snprintf(text, sizeof text, "FFT %d Proz.", percent);
            stopped = !desktop.ShowStoppableProgress(text, percent);
        };
        const bool averaged = AverageFrames(average, spectrum, envelope, progress);
        desktop.EndStoppableProgress();
        if (stopped) {
            return SpectrumOutcome::Cancelled;
        }
        if (!averaged) {
            return SpectrumOutcome::OutOfMemory;
        }
    }
    results.spectrum->resize(count / 2);
    if (param.LevelRef == kLevelRefFullScale) {
        ApplyLevelReference(spectrum, n / 2, decibels, SpectrumFullScaleDb(info, window.data(), n));
    }

    if (smoothing && results.smoothed) {
        std::copy(results.spectrum->begin(), results.spectrum->end(), results.smoothed->begin());
        CepstralSmooth(results.smoothed->data(), n, info.rate / param.CepFreq);
        results.smoothed->resize(count / 2);
    }
    return SpectrumOutcome::Computed;
}
