// The sound card through PortAudio: the default output as device -1, then
// every PortAudio device that can play. ALSA and JACK are kept from writing
// their probing noise to the user's terminal.
#pragma once

#include "playback/OutputDevice.h"

#include <string>
#include <vector>

class PortAudioOutput : public OutputService {
public:
    PortAudioOutput();
    ~PortAudioOutput() override;
    PortAudioOutput(const PortAudioOutput&) = delete;
    PortAudioOutput& operator=(const PortAudioOutput&) = delete;

    int DeviceCount() override;
    bool Capabilities(int id, OutputCaps& caps) override;
    // Opens the device with a callback stream; blocks count as done once the
    // sound card has played their last frame, not when they were handed over,
    // so that positions follow what is heard and stopping after the last block
    // does not cut off its end.
    std::unique_ptr<OutputDevice> Open(int id, const PcmFormat& format, OutputCallbacks callbacks,
                                       int* error) override;
    std::string ErrorText(int error) override;

private:
    int PortAudioIndex(int id) const;

    bool initialised_ = false;
    std::vector<int> outputs_; // PortAudio indices of the devices that play
    std::string hostErrorText_;
};
