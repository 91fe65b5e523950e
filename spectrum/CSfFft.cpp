#include "spectrum/CSfFft.h"

#include "drawing/TimeText.h"
#include "soundfile/CSfSettings.h"

#include <string>

CSfFft::CSfFft(CSfBase& parent, const CSfSettings& settings)
    : head_(parent.GetHead()), param_(settings.Fft()), xScale_(settings.XScale()),
      yScale_(settings.YScale()), method_(settings.Method()) {
    SfTask range;
    parent.GetTask(range);
    task_ = FftTask{range.start, range.end, range.channel};
    param_.channel = range.channel;
    param_.start = range.start;
    param_.end = range.start;
    param_.view.viewFlags = range.flags;
    param_.results.ownsArrays = true;

    // Only a spectrum has arrays to share, whatever another kind's flags say.
    const auto* spectrumParent = dynamic_cast<const CSfFft*>(&parent);
    if (spectrumParent && (range.flags & kFftBoxDefined)) {
        param_.Fmin = range.boxFreqLow;
        param_.Fmax = range.boxFreqHigh;
        param_.Floor = static_cast<int32_t>(range.boxLevelLow);
        param_.Range = static_cast<int32_t>(range.boxLevelHigh - range.boxLevelLow) + 1;
        xScale_ &= ~uint32_t{kScaleAuto};
        yScale_ &= ~uint32_t{kScaleAuto};
        const SfFftParam& shared = spectrumParent->Param();
        param_.results.ownsArrays = false;
        param_.results.spectrum = shared.results.spectrum;
        param_.results.samples = shared.results.samples;
        param_.results.smoothed = shared.results.smoothed;
        param_.Lfft = shared.Lfft;
        param_.Lwdw = shared.Lwdw;
        param_.CepFreq = shared.CepFreq;
    }

    const double rate = head_->Info().rate;
    std::string times = FormatSeconds(task_.start / rate, 0);
    if (task_.end != task_.start) {
        times += "_" + FormatSeconds(task_.end / rate, 0);
    }
    SetName("FFT: " + std::to_string(task_.channel) + ", " + times + " " +
            std::to_string(param_.Lfft));
}

SfTask& CSfFft::GetTask(SfTask& task) const {
    task.start = param_.start;
    task.end = param_.end;
    task.channel = param_.channel;
    task.flags = param_.view.viewFlags;
    task.boxFreqLow = param_.view.boxFreqLow;
    task.boxFreqHigh = param_.view.boxFreqHigh;
    task.boxLevelLow = param_.view.boxLevelLow;
    task.boxLevelHigh = param_.view.boxLevelHigh;
    return task;
}
