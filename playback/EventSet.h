// A fixed set of events that one thread waits on together, as the playback
// worker waits for a stop request, a start request, a finished block, the
// device closing or a failed close.
#pragma once

#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <mutex>
#include <vector>

enum class EventKind {
    AutoReset, // signalled or not; a wait that returns it clears it
    Counting,  // remembers how often it was signalled; a wait takes one
};

class EventSet {
public:
    static constexpr int kTimeout = -1;

    explicit EventSet(std::initializer_list<EventKind> kinds);
    EventSet(const EventSet&) = delete;
    EventSet& operator=(const EventSet&) = delete;

    // Safe from any thread, including audio callbacks: never waits for a
    // waiter, only for the few instructions another Set or Reset holds the lock.
    void Set(int event);
    void Reset(int event);

    // Waits until one of the events in order is signalled, at most timeout.
    // When several are, the one named first wins. Returns it after taking one
    // signal from it, or kTimeout.
    int WaitAny(std::initializer_list<int> order, std::chrono::milliseconds timeout);

private:
    int TakeFirst(std::initializer_list<int> order);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<EventKind> kinds_;
    std::vector<unsigned> signals_;
};
