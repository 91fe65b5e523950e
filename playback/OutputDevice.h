// The audio output service the player plays through: a list of devices, and
// an opened device that plays queued blocks in order and reports each block
// it has finished. PortAudioOutput drives the sound card; VirtualOutput stands
// in for it in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

enum PcmFormatTag : int {
    kPcmInteger = 1, // integer samples; 8-bit ones unsigned, wider ones signed little-endian
    kPcmFloat = 3,   // 32-bit IEEE float samples, little-endian
};

// The sample layout a device is opened with.
struct PcmFormat {
    int formatTag = kPcmInteger;
    int channels = 0;
    int framesPerSecond = 0;
    int avgBytesPerSecond = 0;
    int blockAlign = 0; // bytes per frame; more than channels x bits / 8 when frames are padded
    int bitsPerSample = 0;
};

struct OutputCaps {
    std::string name;
    int channels = 0; // the most channels the device plays
};

// Called by the device on a thread of its own: they must return at once.
struct OutputCallbacks {
    std::function<void()> blockDone; // once per queued block, in queue order
    std::function<void()> closed;    // once, when Close succeeded
};

class OutputDevice {
public:
    virtual ~OutputDevice() = default;

    // Plays bytes (whole frames; a trailing part of a frame is ignored) after
    // the blocks already queued. The memory must stay untouched until the
    // block is reported done. Returns 0 or an error code of the service.
    virtual int Queue(const uint8_t* data, size_t bytes) = 0;
    // Stops at once and reports every queued block done; the position starts
    // again at 0.
    virtual int Reset() = 0;
    // Closes the device and reports it closed. Nothing is queued any more.
    virtual int Close() = 0;
    // Frames played since opening or the last Reset.
    virtual int64_t Position() = 0;
};

class OutputService {
public:
    static constexpr int kDefaultDevice = -1; // whatever the system plays through

    virtual ~OutputService() = default;

    virtual int DeviceCount() = 0;
    // Device id kDefaultDevice or 0 .. DeviceCount() - 1; false when the id
    // names no device.
    virtual bool Capabilities(int id, OutputCaps& caps) = 0;
    // Null with *error set when the device cannot be opened with format.
    virtual std::unique_ptr<OutputDevice> Open(int id, const PcmFormat& format,
                                               OutputCallbacks callbacks, int* error) = 0;
    // The service's own words for an error code.
    virtual std::string ErrorText(int error) = 0;
};
