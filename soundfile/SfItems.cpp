#include "soundfile/SfItems.h"

#include "soundfile/TolqDsp.h"

CSfHead::CSfHead() : info_(std::make_unique<SfInfo>()) {}

CSfHead::~CSfHead() {
    CloseFile();
}

void CSfHead::CloseFile() {
    if (info_->handle != -1) {
        sfclose(info_->handle);
        info_->handle = -1;
    }
}

SfTask& CSfHead::GetTask(SfTask& task) const {
    const SfTask& block = info_->task;
    task.start = block.start;
    task.end = block.end;
    task.channel = block.channel;
    task.selectLeft = block.selectLeft;
    task.selectRight = block.selectRight;
    task.flags = 0;
    return task;
}
