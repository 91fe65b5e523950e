// The spectrum item: one channel of a head's file at an instant or averaged
// over a range, with its analysis parameters and result arrays. The spectrum
// window computes the arrays when it opens (ComputeTaskSpectrum).
#pragma once

#include "soundfile/FftScale.h"
#include "soundfile/SfFftParam.h"
#include "soundfile/SfItems.h"

#include <cstdint>

class CSfSettings;

// The analysed task in frames of the head's file.
struct FftTask {
    uint32_t start = 0;
    uint32_t end = 0; // equal to start for a single instant
    int32_t channel = 0;
};

// The methods of a spectrum item.
enum FftMethod : int32_t {
    kMethodStandard = 0,
    kMethodCepSmooth = 1, // a cepstrally smoothed curve as well
    kMethodMasking = 2,
};

class CSfFft : public CSfBase {
public:
    // Takes the head and the task of parent and the "Fft" defaults of
    // settings. Under a spectrum whose view holds a selection box the new item
    // zooms into the box: it shows its parent's arrays within the box's
    // frequencies and levels, with both axes fixed, and computes nothing.
    // parent must belong to a head.
    CSfFft(CSfBase& parent, const CSfSettings& settings);

    CSfHead* GetHead() override { return head_; }
    // Start, end and channel of the parameters, then the view's flags and
    // selection box in words 10 to 14, so that an item inserted under this one
    // takes the same task and can zoom into the box.
    SfTask& GetTask(SfTask& task) const override;
    int GetKind() const override { return kKindFft; }

    const FftTask& Task() const { return task_; }
    SfFftParam& Param() { return param_; }
    const SfFftParam& Param() const { return param_; }
    uint32_t XScale() const { return xScale_; }
    uint32_t YScale() const { return yScale_; }
    int32_t Method() const { return method_; }

private:
    CSfHead* head_;
    FftTask task_;
    SfFftParam param_;
    uint32_t xScale_;
    uint32_t yScale_;
    int32_t method_;
};
