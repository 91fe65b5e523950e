#include "soundfile/AnalysisThreads.h"

#include "soundfile/SettingsStore.h"

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

} // namespace

int AnalysisThreads() {
    const int wanted = cap.load();
    return wanted > 0 ? wanted : std::max(1, int(std::thread::hardware_concurrency()));
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
    std::vector<std::thread> threads;
    const int wanted = std::min(tasks, AnalysisThreads());
    threads.reserve(size_t(std::max(wanted, 0)));
    for (int t = 0; t < wanted; ++t) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            ++running;
        }
        try {
            threads.emplace_back([&] {
                drain();
                const std::lock_guard<std::mutex> lock(mutex);
                if (--running == 0)
                    finished.notify_one();
            });
        } catch (const std::system_error&) {
            // The threads there are do the work; with none, this thread does.
            const std::lock_guard<std::mutex> lock(mutex);
            --running;
            break;
        }
    }
    if (threads.empty())
        drain();
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!finished.wait_for(lock, kPollInterval, [&] { return running == 0; })) {
            lock.unlock();
            poll();
            lock.lock();
        }
    }
    for (std::thread& thread : threads)
        thread.join();
    poll();
}
