#include "playback/VirtualOutput.h"

#include <thread>

struct VirtualOutput::State {
    std::mutex mutex;
    std::condition_variable changed;
    int openError = 0;
    int closeError = 0;
    std::chrono::microseconds pace{0};

    bool open = false;
    int generation = 0; // which Open the state describes
    PcmFormat format;
    OutputCallbacks callbacks;
    std::vector<std::vector<uint8_t>> blocks;
    std::deque<size_t> pending; // bytes of each block not yet finished
    int64_t framesDone = 0;
    int opens = 0;
    int resets = 0;
    int closes = 0;

    // Finishes the oldest block and reports it outside the lock, as a sound
    // card driver reports from its own thread.
    bool Complete() {
        std::function<void()> done;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!open || pending.empty())
                return false;
            framesDone += int64_t(pending.front() / size_t(format.blockAlign));
            pending.pop_front();
            done = callbacks.blockDone;
        }
        changed.notify_all();
        done();
        return true;
    }
};

class VirtualOutput::Device : public OutputDevice {
public:
    Device(std::shared_ptr<State> state, int generation, std::chrono::microseconds pace)
        : state_(std::move(state)), generation_(generation) {
        if (pace.count() > 0)
            pacer_ = std::thread(&Device::Pace, this, pace);
    }
    // A device dropped without a successful Close (its close failed) reports
    // nothing more: its callbacks point into a player that may be gone.
    ~Device() override {
        StopPacer();
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            if (state_->generation == generation_) {
                state_->open = false;
                state_->callbacks = OutputCallbacks{};
            }
        }
        state_->changed.notify_all();
    }

    int Queue(const uint8_t* data, size_t bytes) override {
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            state_->blocks.emplace_back(data, data + bytes);
            state_->pending.push_back(bytes);
        }
        state_->changed.notify_all();
        return 0;
    }

    int Reset() override {
        size_t finished;
        std::function<void()> done;
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            finished = state_->pending.size();
            state_->pending.clear();
            state_->framesDone = 0;
            ++state_->resets;
            done = state_->callbacks.blockDone;
        }
        for (size_t i = 0; i < finished; ++i)
            done();
        return 0;
    }

    int Close() override {
        std::function<void()> closed;
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            if (state_->closeError != 0)
                return state_->closeError;
        }
        StopPacer();
        {
            std::lock_guard<std::mutex> lock(state_->mutex);
            state_->open = false;
            ++state_->closes;
            closed = state_->callbacks.closed;
            state_->callbacks = OutputCallbacks{};
        }
        state_->changed.notify_all();
        closed();
        return 0;
    }

    int64_t Position() override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->framesDone;
    }

private:
    void Pace(std::chrono::microseconds perBlock) {
        std::unique_lock<std::mutex> lock(stopMutex_);
        while (!stopped_) {
            if (stopWake_.wait_for(lock, perBlock, [this] { return stopped_; }))
                break;
            lock.unlock();
            state_->Complete();
            lock.lock();
        }
    }

    void StopPacer() {
        {
            std::lock_guard<std::mutex> lock(stopMutex_);
            stopped_ = true;
        }
        stopWake_.notify_all();
        if (pacer_.joinable())
            pacer_.join();
    }

    std::shared_ptr<State> state_;
    int generation_;
    std::mutex stopMutex_;
    std::condition_variable stopWake_;
    bool stopped_ = false;
    std::thread pacer_;
};

VirtualOutput::VirtualOutput(int deviceCount, int maxChannels)
    : deviceCount_(deviceCount), maxChannels_(maxChannels), state_(std::make_shared<State>()) {}

VirtualOutput::~VirtualOutput() = default;

int VirtualOutput::DeviceCount() {
    return deviceCount_;
}

bool VirtualOutput::Capabilities(int id, OutputCaps& caps) {
    if (id < kDefaultDevice || id >= deviceCount_ || deviceCount_ == 0)
        return false;
    caps.name = id == kDefaultDevice ? "Virtual default" : "Virtual " + std::to_string(id);
    caps.channels = maxChannels_;
    return true;
}

std::unique_ptr<OutputDevice> VirtualOutput::Open(int id, const PcmFormat& format,
                                                  OutputCallbacks callbacks, int* error) {
    OutputCaps caps;
    int generation;
    std::chrono::microseconds pace;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        *error = state_->openError;
        if (*error == 0 && !Capabilities(id, caps))
            *error = 2;
        if (*error != 0)
            return nullptr;
        state_->open = true;
        state_->format = format;
        state_->callbacks = std::move(callbacks);
        state_->blocks.clear();
        state_->pending.clear();
        state_->framesDone = 0;
        ++state_->opens;
        generation = ++state_->generation;
        pace = state_->pace;
    }
    return std::make_unique<Device>(state_, generation, pace);
}

std::string VirtualOutput::ErrorText(int error) {
    return "virtual device error " + std::to_string(error);
}

void VirtualOutput::SetOpenError(int error) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->openError = error;
}

void VirtualOutput::SetCloseError(int error) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->closeError = error;
}

void VirtualOutput::SetPace(std::chrono::microseconds perBlock) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->pace = perBlock;
}

bool VirtualOutput::CompleteNext() {
    return state_->Complete();
}

bool VirtualOutput::WaitQueued(size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout,
                                    [this, count] { return state_->blocks.size() >= count; });
}

bool VirtualOutput::WaitClosed(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [this] { return !state_->open; });
}

PcmFormat VirtualOutput::Format() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->format;
}

std::vector<std::vector<uint8_t>> VirtualOutput::Blocks() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->blocks;
}

size_t VirtualOutput::PendingBlocks() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->pending.size();
}

bool VirtualOutput::IsOpen() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->open;
}

int VirtualOutput::Opens() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->opens;
}

int VirtualOutput::Resets() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->resets;
}

int VirtualOutput::Closes() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->closes;
}
