// What the playback tests share: a settings store in memory, a window that
// records the notifications it gets, sound files opened from bytes, and
// waiting for the player to fall idle.
#pragma once

#include "playback/CSfPlay.h"
#include "playback/PlayNotifySink.h"
#include "soundfile/MemoryStore.h"
#include "soundfile/SettingsStore.h"
#include "soundfile/SfInfo.h"
#include "support/TestFiles.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct Notification {
    int code;
    PlayPoint point; // the record as the window read it on arrival
};

class RecordingWindow : public PlayNotifySink {
public:
    void PostPlayNotify(int code, const PlayNotify* notify) override;

    std::vector<Notification> All();
    // The codes in order, the position reports between events left out.
    std::vector<int> Codes();
    bool WaitFor(int code, std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Notification> all_;
};

// An opened sound file, closed with the object.
class OpenedSound {
public:
    OpenedSound(const TempDir& dir, const std::string& name, const Bytes& file);
    ~OpenedSound();
    OpenedSound(const OpenedSound&) = delete;
    OpenedSound& operator=(const OpenedSound&) = delete;
    const SfInfo& Info() const { return info_; }
    // The sample bytes of frames start .. end as stored.
    Bytes Frames(uint32_t start, uint32_t end) const;

private:
    SfInfo info_;
    Bytes file_;
};

bool WaitIdle(const CSfPlay& player, std::chrono::milliseconds timeout);

// Deterministic sample values spread over the range of the width.
std::vector<int32_t> TestSignal(size_t count, int bytesPerSample, uint32_t seed);

Bytes Joined(const std::vector<std::vector<uint8_t>>& blocks);
