// An output service without a sound card: each opened device keeps every
// byte queued to it and finishes blocks when told to, or by itself at a fixed
// pace. Tests play through it to see exactly what the player gives a device
// and when.
#pragma once

#include "playback/OutputDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class VirtualOutput : public OutputService {
public:
    // deviceCount devices of maxChannels channels each, plus the default one.
    explicit VirtualOutput(int deviceCount = 1, int maxChannels = 2);
    ~VirtualOutput() override;

    int DeviceCount() override;
    bool Capabilities(int id, OutputCaps& caps) override;
    std::unique_ptr<OutputDevice> Open(int id, const PcmFormat& format, OutputCallbacks callbacks,
                                       int* error) override;
    std::string ErrorText(int error) override;

    // Behaviour of the devices opened from now on.
    // Open fails with this code; 0 opens.
    void SetOpenError(int error);
    // Close fails with this code and the device stays as it was; 0 closes.
    void SetCloseError(int error);
    // A device finishes one block per interval by itself; zero waits for
    // CompleteNext.
    void SetPace(std::chrono::microseconds perBlock);

    // Finishes the oldest queued block of the open device; false when none is queued.
    bool CompleteNext();
    // Waits until count blocks have been queued since the last Open.
    bool WaitQueued(size_t count, std::chrono::milliseconds timeout);
    // Waits until no device is open.
    bool WaitClosed(std::chrono::milliseconds timeout);

    // What the last opened device was given: its format and each queued block.
    PcmFormat Format();
    std::vector<std::vector<uint8_t>> Blocks();
    size_t PendingBlocks();
    bool IsOpen();
    int Opens();
    int Resets();
    int Closes();

private:
    struct State;
    class Device;

    int deviceCount_;
    int maxChannels_;
    std::shared_ptr<State> state_;
};
