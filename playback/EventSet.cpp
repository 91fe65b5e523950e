#include "playback/EventSet.h"

EventSet::EventSet(std::initializer_list<EventKind> kinds)
    : kinds_(kinds), signals_(kinds.size(), 0) {}

void EventSet::Set(int event) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        unsigned& count = signals_.at(size_t(event));
        count = kinds_[size_t(event)] == EventKind::Counting ? count + 1 : 1;
    }
    changed_.notify_all();
}

void EventSet::Reset(int event) {
    std::lock_guard<std::mutex> lock(mutex_);
    signals_.at(size_t(event)) = 0;
}

int EventSet::TakeFirst(std::initializer_list<int> order) {
    for (int event : order) {
        unsigned& count = signals_.at(size_t(event));
        if (count > 0) {
            --count;
            return event;
        }
    }
    return kTimeout;
}

int EventSet::WaitAny(std::initializer_list<int> order, std::chrono::milliseconds timeout) {
    // A deadline rather than a relative wait, so that spurious wake-ups do
    // not stretch the interval of the position reports.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        const int event = TakeFirst(order);
        if (event != kTimeout)
            return event;
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout)
            return TakeFirst(order);
    }
}
