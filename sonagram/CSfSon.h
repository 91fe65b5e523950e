// The sonagram item: one channel of a range of a head's file, analysed column
// by column into an image of FFT levels with a level curve below it.
#pragma once

#include "sonagram/SonRecords.h"
#include "soundfile/SfFftParam.h"
#include "soundfile/SfItems.h"

#include <memory>

class CSfSon : public CSfBase {
public:
    // A new item for the task of parent, with a snapshot of the sonagram
    // settings. Null when parent belongs to no head, as such an item would
    // have no file to analyse.
    static std::unique_ptr<CSfSon> Create(CSfBase& parent, const FftSettings& sonSettings);

    CSfHead* GetHead() override { return head_; }
    // The selection of the sonagram window (the range start until the window
    // sets one), the channel and the window's flags: an item inserted from a
    // sonagram window analyses that window's selection.
    SfTask& GetTask(SfTask& task) const override;
    int GetKind() const override { return kKindSon; }

    const SonRange& Range() const { return range_; }
    SfFftParam& Param() { return param_; }
    const SfFftParam& Param() const { return param_; }
    SonLevels& Levels() { return levels_; }
    const SonLevels& Levels() const { return levels_; }

private:
    CSfSon(CSfHead& head, const SfTask& task, const FftSettings& sonSettings);

    // The head outlives the item: removing a head removes every item below it.
    CSfHead* head_;
    SonRange range_;
    SfFftParam param_;
    SonLevels levels_;
};
