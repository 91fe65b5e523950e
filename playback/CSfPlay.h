// The player: plays a range of frames of an opened sound file through an
// output device, streaming it from the file in a ring of blocks on a worker
// thread, and tells up to two windows where playback stands. One player
// serves the whole program; starting a playback stops the one that runs.
#pragma once

#include "playback/EventSet.h"
#include "playback/OutputDevice.h"
#include "playback/PlayNotify.h"
#include "playback/PlayNotifySink.h"
#include "playback/PlayReader.h"
#include "playback/PlaySettings.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class DesktopServices;
class SettingsStore;
struct SfInfo;

// What became of a request to play.
enum class PlayOutcome {
    Started,
    NoDevice,      // no output device at all: no audio driver or server
    UnknownDevice, // the chosen device does not exist (any more)
    Refused,       // the device cannot play the file; the user has been told why
    NoThread,      // the system would not start the playback thread
};

class CSfPlay {
public:
    // Loads the "Play" settings from store. All three must outlive the player.
    CSfPlay(OutputService& output, SettingsStore& store, DesktopServices& desktop);
    // Stops playback and writes the settings back.
    ~CSfPlay();
    CSfPlay(const CSfPlay&) = delete;
    CSfPlay& operator=(const CSfPlay&) = delete;

    // Plays frames start .. end (end excluded) of the file of info, optionally
    // repeating until stopped, and reports to the windows that still exist.
    // Call from one thread only.
    PlayOutcome PlayRange(const SfInfo& info, uint32_t startFrame, uint32_t endFrame,
                          std::weak_ptr<PlayNotifySink> window1,
                          std::weak_ptr<PlayNotifySink> window2, bool loop);
    // Stops playback and returns when the worker has ended; does nothing when idle.
    void StopPlay();
    // True from a successful PlayRange until the worker has ended by itself
    // or through StopPlay.
    bool IsPlaying() const { return playing_.load(); }

    const PlaySettings& Settings() const { return settings_; }
    // Takes effect with the next PlayRange; values are clamped (ClampPlaySettings).
    void SetSettings(const PlaySettings& settings);
    void LoadPlaySettings();
    void SavePlaySettings();

    // The devices the options dialog offers: entry i stands for device id i - 1,
    // entry 0 for the system's default output. A single "no device driver
    // installed" when the service has no device.
    std::vector<std::string> DeviceNames() const;

    const PlayNotify& Notify() const { return notify_; }

    // A request refused for want of a device or a thread returns quietly,
    // for the caller to tell the user. When on, the player tells the user
    // itself, once for each reason, so that keys that play do not look dead.
    void ExplainRefusals(bool on) { explainRefusals_ = on; }

private:
    PlayOutcome Refusal(PlayOutcome outcome);

    enum Event { kStop, kStart, kDone, kClosed, kError };

    struct Block {
        std::unique_ptr<uint8_t[]> data;
        BlockFill fill;
    };

    void Run();
    bool StartBlocks(std::vector<Block>& ring, size_t blockBytes);
    bool Requeue(Block& block, size_t blockBytes);
    void UpdatePosition();
    // Writes the record, then delivers: the worker's way of notifying.
    void Post(int code);
    void Deliver(int code);

    OutputService& output_;
    SettingsStore& store_;
    DesktopServices& desktop_;
    PlaySettings settings_;

    std::thread thread_;
    std::atomic<bool> playing_{false};
    EventSet events_{EventKind::AutoReset, EventKind::AutoReset, EventKind::Counting,
                     EventKind::AutoReset, EventKind::AutoReset};

    // Written by PlayRange while no worker runs, then owned by the worker.
    std::weak_ptr<PlayNotifySink> window1_;
    std::weak_ptr<PlayNotifySink> window2_;
    std::unique_ptr<OutputDevice> device_;
    PlayReader reader_;
    int32_t fileRate_ = 0;
    double startTime_ = 0.0;
    double endTime_ = 0.0;
    double position_ = 0.0;
    int32_t blockLength_ = 0;
    int32_t blockNumber_ = 0;
    int32_t displayRefresh_ = 0;

    PlayNotify notify_;
    bool explainRefusals_ = false;
    std::vector<std::string> explained_;
};
