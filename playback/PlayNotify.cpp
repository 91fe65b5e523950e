#include "playback/PlayNotify.h"

void PlayNotify::Write(int32_t handle, double position) {
    std::lock_guard<std::mutex> lock(mutex_);
    point_.handle = handle;
    point_.position = position;
}

PlayPoint PlayNotify::Read() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return point_;
}
