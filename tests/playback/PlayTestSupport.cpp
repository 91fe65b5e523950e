#include "PlayTestSupport.h"

#include "soundfile/OpenHead.h"
#include "soundfile/TolqDsp.h"

#include <stdexcept>
#include <thread>

void RecordingWindow::PostPlayNotify(int code, const PlayNotify* notify) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        all_.push_back({code, notify->Read()});
    }
    arrived_.notify_all();
}

std::vector<Notification> RecordingWindow::All() {
    std::lock_guard<std::mutex> lock(mutex_);
    return all_;
}

std::vector<int> RecordingWindow::Codes() {
    std::vector<int> codes;
    for (const Notification& n : All()) {
        if (n.code != kPlayTick)
            codes.push_back(n.code);
    }
    return codes;
}

bool RecordingWindow::WaitFor(int code, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, timeout, [this, code] {
        for (const Notification& n : all_) {
            if (n.code == code)
                return true;
        }
        return false;
    });
}

OpenedSound::OpenedSound(const TempDir& dir, const std::string& name, const Bytes& file)
    : file_(file) {
    info_.path = dir.Write(name, file);
    RecordingDesktop desktop;
    if (OpenAndRecognise(info_, desktop) != OpenOutcome::Opened)
        throw std::runtime_error("test sound not recognised: " + name);
}

OpenedSound::~OpenedSound() {
    sfclose(info_.handle);
}

Bytes OpenedSound::Frames(uint32_t start, uint32_t end) const {
    const auto first = file_.begin() + info_.dataOffset + int64_t(start) * info_.blockAlign;
    return Bytes(first, first + int64_t(end - start) * info_.blockAlign);
}

bool WaitIdle(const CSfPlay& player, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (player.IsPlaying()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::vector<int32_t> TestSignal(size_t count, int bytesPerSample, uint32_t seed) {
    const int64_t half = int64_t(1) << (8 * bytesPerSample - 1);
    std::vector<int32_t> values(count);
    uint32_t state = seed * 2654435761u + 1;
    for (int32_t& v : values) {
        state = state * 1664525u + 1013904223u;
        v = int32_t(int64_t(state) % (2 * half) - half);
    }
    return values;
}

Bytes Joined(const std::vector<std::vector<uint8_t>>& blocks) {
    Bytes all;
    for (const auto& block : blocks)
        all.insert(all.end(), block.begin(), block.end());
    return all;
}
