#include "soundfile/AnalysisThreads.h"

#include "soundfile/SettingsStore.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

std::atomic<int> cap{0};

// How often the calling thread polls while the workers run.
constexpr std::chrono::milliseconds kPollInterval{20};

// Threads kept after their work is done, to take the next: an analysis that
// runs in many short steps then neither starts threads at every step nor
// allocates every thread's transform buffers anew. A call that finds too few
// idle threads starts more, so calls from several threads at once, or from
// within a task, never wait for one another.
class ThreadCache {
public:
    // Runs job on an idle or a new thread. False when no thread could be
    // started; job is then not run.
    bool Start(std::function<void()> job) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!idle_.empty()) {
            Slot* slot = idle_.back();
            idle_.pop_back();
            slot->job = std::move(job);
            slot->wake.notify_one();
            return true;
        }
        Slot* slot = new Slot;
        slot->job = std::move(job);
        try {
            std::thread([this, slot] { Serve(slot); }).detach();
            return true;
        } catch (const std::system_error&) {
            delete slot;
            return false;
        }
    }

    // A child of fork has none of the parent's threads: the threads listed are
    // forgotten (their slots are left, as the child cannot know them free).
    void PrepareFork() { mutex_.lock(); }
    void ParentForked() { mutex_.unlock(); }
    void ChildForked() {
        idle_.clear();
        mutex_.unlock();
    }

private:
    struct Slot {
        std::condition_variable wake;
        std::function<void()> job;
    };

    void Serve(Slot* slot) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            slot->wake.wait(lock, [slot] { return bool(slot->job); });
            std::function<void()> job = std::move(slot->job);
            slot->job = nullptr;
            lock.unlock();
            job();
            job = nullptr;
            lock.lock();
            idle_.push_back(slot);
        }
    }

    std::mutex mutex_;
    std::vector<Slot*> idle_;
};

// Never destroyed: idle threads wait on it until the process ends.
ThreadCache& Cache() {
    static ThreadCache* const cache = [] {
        auto* made = new ThreadCache;
        pthread_atfork([] { Cache().PrepareFork(); }, [] { Cache().ParentForked(); },
                       [] { Cache().ChildForked(); });
        return made;
    }();
    return *cache;
}

} // namespace

int AnalysisThreads() {
    const int wanted = cap.load();
    // Asked once: the C library reads the count from a file at every call.
    static const int cores = std::max(1, int(std::thread::hardware_concurrency()));
    return wanted > 0 ? wanted : cores;
}

void SetAnalysisThreads(int threads) {
    cap.store(std::max(threads, 0));
}

int AnalysisThreadsSetting(SettingsStore& store) {
    return std::max(store.GetInt("General", "Threads", 0), 0);
}

void RunOnAnalysisThreads(int tasks, const std::function<void(int)>& work,
                          const std::function<void()>& poll) {
    std::atomic<int> next{0};
    const auto drain = [&] {
        for (int task = next++; task < tasks; task = next++)
            work(task);
    };
    std::mutex mutex;
    std::condition_variable finished;
    int running = 0;
    const int wanted = std::min(tasks, AnalysisThreads());
    for (int t = 0; t < wanted; ++t) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            ++running;
        }
        const bool started = Cache().Start([&] {
            drain();
            const std::lock_guard<std::mutex> lock(mutex);
            if (--running == 0)
                finished.notify_one();
        });
        if (!started) {
            // The threads there are do the work; with none, this thread does.
            bool none = false;
            {
                const std::lock_guard<std::mutex> lock(mutex);
                none = --running == 0 && t == 0;
            }
            if (none)
                drain();
            break;
        }
    }
    std::unique_lock<std::mutex> lock(mutex);
    while (!finished.wait_for(lock, kPollInterval, [&] { return running == 0; })) {
        lock.unlock();
        poll();
        lock.lock();
    }
    lock.unlock();
    poll();
}
