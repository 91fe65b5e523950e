// The waveform item: one channel of a range of a head's file, the envelope its
// window draws, and the window's cursor and block kept in its task words.
#pragma once

#include "soundfile/SfItems.h"
#include "waveform/WavEnvelope.h"

class DesktopServices;

// The task words while the window is open: start and end hold the block,
// channel the channel, word 6 (playCursor) the cursor x pixel, words 8 and 9
// the cursor frame and the cursor's index into the envelope, flags the
// window's edit flags (0x001 shown, 0x010 and 0x020 the active block edge,
// 0x080 block changed, 0x100 cursor moved). Until the window first shows,
// start and end are the source's task.
class CSfWav : public CSfBase {
public:
    // Takes the head and the task of source: the head window's selection, or
    // the block (else the cursor) of a waveform window. source must belong to
    // a head.
    explicit CSfWav(CSfBase& source);

    CSfHead* GetHead() override { return head_; }
    // Writes start, end, channel and flags; leaves the other words alone.
    SfTask& GetTask(SfTask& task) const override;
    int GetKind() const override { return kKindWav; }

    const WavRange& Range() const { return range_; }
    const WavEnvelope& Envelope() const { return envelope_; }
    SfTask& Task() { return task_; }
    const SfTask& Task() const { return task_; }

    // Computes the envelope for a screen screenWidth pixels wide, with the wait
    // cursor shown. Run when the window first shows.
    void BuildEnvelope(DesktopServices& desktop, int screenWidth);

private:
    CSfHead* head_;
    SfTask task_;
    WavRange range_;
    WavEnvelope envelope_;
};
