#include "spectrum/TaskSpectrum.h"

#include "drawing/FloatArrays.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SampleAccess.h"
#include "spectrum/CSfFft.h"
#include "spectrum/CepstralSmooth.h"
#include "spectrum/DecibelMean.h"
#include "spectrum/Decibels.h"
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

// Progress is shown every this many frames: often enough to see it move,
// rarely enough that repainting the info box costs nothing against the work.
constexpr uint64_t kProgressFrames = 15;

// The spectrum of the frame at start; the frame itself stays in samples.
void FrameSpectrum(const SfInfo& info, const FftTask& task, const float* window, float* spectrum,
                   float* samples, int n, bool decibels) {
    ReadSamples(info, samples, static_cast<uint32_t>(n), task.start, task.channel);
    for (int i = 0; i < n; ++i) {
        spectrum[i] = window[i] * samples[i];
    }
    MagnitudeSpectrum(spectrum, n, decibels);
}

// The mean over the frames at start, start + shift, ... before end of their
// levels as converted, so in dB the mean of the dB values, or with powerMean
// the dB of the mean power; spectrum, the working frame, receives it in its
// first n/2 values. The frames read also feed the envelope of the task, which
// so needs no second pass over the file.
bool AverageSpectrum(const SfInfo& info, const FftTask& task, int shift, const float* window,
                     float* spectrum, int n, bool decibels, bool powerMean, FrameEnvelope& envelope,
                     DesktopServices& desktop) {
    const int half = n / 2;
    const bool meanOfDb = decibels && !powerMean;
    std::vector<float> frame;
    std::vector<float> sum;
    std::vector<double> power;
    DecibelMean levels;
    if (!ResizeFloats(frame, static_cast<std::size_t>(n)) ||
        !(meanOfDb ? levels.Reset(half) : ResizeFloats(sum, static_cast<std::size_t>(half)))) {
        return false;
    }
    if (decibels && powerMean) {
        try {
            power.assign(static_cast<std::size_t>(half), 0.0);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    const uint64_t expected = (task.end - task.start) / static_cast<uint64_t>(shift);
    uint64_t frames = 0;
    // In 64 bits, so that the hop past an end near the largest frame number
    // cannot wrap round to the start of the file.
    for (uint64_t position = task.start; position < task.end; position += shift, ++frames) {
        if (frames % kProgressFrames == 0) {
            char text[32];
            std::snprintf(text, sizeof text, "FFT %d Proz.",
                          static_cast<int>(0.5 + 100.0 * frames / expected));
            desktop.SetInfoText(text);
        }
        ReadSamples(info, frame.data(), static_cast<uint32_t>(n), static_cast<uint32_t>(position),
                    task.channel);
        envelope.Take(position, frame.data(), static_cast<uint32_t>(n));
        for (int i = 0; i < n; ++i) {
            spectrum[i] = frame[i] * window[i];
        }
        MagnitudeSpectrum(spectrum, n, false);
        if (meanOfDb) {
            levels.AddMagnitudes(spectrum);
        } else if (decibels) {
            for (int i = 0; i < half; ++i)
                power[i] += static_cast<double>(spectrum[i]) * spectrum[i];
        } else {
            AddFloats(sum.data(), spectrum, half);
        }
    }
    if (meanOfDb) {
        levels.Mean(spectrum);
    } else if (decibels) {
        for (int i = 0; i < half; ++i)
            spectrum[i] = static_cast<float>(PowerToDb(power[i] / static_cast<double>(frames)));
    } else {
        ScaleFloats(spectrum, sum.data(), half, 1.0 / static_cast<double>(frames));
    }
    return envelope.Finish();
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
        if (!AverageSpectrum(info, task, param.Shift, window.data(), spectrum, n, decibels,
                             param.Average == kAveragePower, envelope, desktop)) {
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
