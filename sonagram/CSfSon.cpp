#include "sonagram/CSfSon.h"

#include "drawing/TimeText.h"

#include <string>

namespace {

std::string TimeOfFrame(uint32_t frame, int32_t rate) {
    return FormatSeconds(static_cast<double>(frame) / rate, 0);
}

} // namespace

std::unique_ptr<CSfSon> CSfSon::Create(CSfBase& parent, const FftSettings& sonSettings) {
    CSfHead* head = parent.GetHead();
    if (!head)
        return nullptr;
    SfTask task;
    parent.GetTask(task);
    return std::unique_ptr<CSfSon>(new CSfSon(*head, task, sonSettings));
}

CSfSon::CSfSon(CSfHead& head, const SfTask& task, const FftSettings& sonSettings)
    : head_(&head), param_(sonSettings) {
    range_.start = task.start;
    range_.end = task.end;
    range_.length = task.end > task.start ? task.end - task.start : 0;
    range_.channel = task.channel;
    param_.start = task.start;
    param_.end = task.start;
    param_.channel = task.channel;

    const int32_t rate = head.Info().rate;
    SetName("SON: " + std::to_string(range_.channel) + ", " + TimeOfFrame(range_.start, rate) +
            "_" + TimeOfFrame(range_.end, rate) + " " + std::to_string(param_.Lfft));
}

SfTask& CSfSon::GetTask(SfTask& task) const {
    task.start = param_.start;
    task.end = param_.end;
    task.channel = param_.channel;
    task.flags = param_.view.viewFlags;
    return task;
}
