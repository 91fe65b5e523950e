#include "waveform/CSfWav.h"

#include "drawing/TimeText.h"
#include "soundfile/DesktopServices.h"

#include <string>

CSfWav::CSfWav(CSfBase& source) : head_(source.GetHead()) {
    source.GetTask(task_);
    range_.start = task_.start;
    range_.end = task_.end;
    // A reversed task holds no frames; it is refused like an empty one
    // rather than wrapping round to four billion frames.
    range_.length = task_.end > task_.start ? task_.end - task_.start : 0;
    range_.channel = task_.channel;
    const double rate = head_->Info().rate;
    SetName("WAV: " + std::to_string(range_.channel) + ", " +
            FormatSeconds(range_.start / rate, 0) + "_" + FormatSeconds(range_.end / rate, 0));
}

SfTask& CSfWav::GetTask(SfTask& task) const {
    task.start = task_.start;
    task.end = task_.end;
    task.channel = task_.channel;
    task.flags = task_.flags;
    return task;
}

void CSfWav::BuildEnvelope(DesktopServices& desktop, int screenWidth) {
    const WaitCursor wait(desktop);
    envelope_ = ::BuildEnvelope(head_->Info(), range_, screenWidth);
}
