#include "playback/PortAudioOutput.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <portaudio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>

namespace {

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
void QuietJack(const char*) {}

// PortAudio probes every ALSA card and asks for a JACK server; both libraries
// write their failures to standard error, dozens of lines on a machine
// without a sound card. JACK comes in only through PortAudio, so its
// functions are looked up rather than linked.
void SilenceProbingNoise() {
    snd_lib_error_set_handler(&QuietAlsa);
    using SetJackHandler = void (*)(void (*)(const char*));
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
        if (void* symbol = ::dlsym(RTLD_DEFAULT, name))
            reinterpret_cast<SetJackHandler>(symbol)(&QuietJack);
    }
}

// Standard error leads to /dev/null while the object lives.
class StderrSilenced {
public:
    StderrSilenced() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~StderrSilenced() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    StderrSilenced(const StderrSilenced&) = delete;
    StderrSilenced& operator=(const StderrSilenced&) = delete;

private:
    int saved_ = -1;
};

PaSampleFormat SampleFormatOf(const PcmFormat& format) {
    if (format.formatTag == kPcmFloat)
        return format.bitsPerSample == 32 ? paFloat32 : 0;
    switch (format.bitsPerSample) {
    case 8:
        return paUInt8;
    case 16:
        return paInt16;
    case 24:
        return paInt24;
    case 32:
        return paInt32;
    default:
        return 0;
    }
}

// One opened PortAudio stream. The audio callback copies queued blocks into
// the stream and reports blocks done; the player's worker queues, resets and
// closes. The lock is held only to move frames and counters, never while
// PortAudio or the player is called.
class PortAudioDevice : public OutputDevice {
public:
    PortAudioDevice(const PcmFormat& format, OutputCallbacks callbacks)
        : callbacks_(std::move(callbacks)), rate_(format.framesPerSecond),
          stride_(size_t(format.blockAlign)),
          frameBytes_(size_t(format.channels) * size_t(format.bitsPerSample / 8)),
          silence_(format.bitsPerSample == 8 ? 0x80 : 0x00) {}

    ~PortAudioDevice() override {
        if (stream_) {
            Pa_AbortStream(stream_);
            Pa_CloseStream(stream_);
        }
    }

    PaError OpenStream(PaDeviceIndex index, const PcmFormat& format) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        PaStreamParameters out{};
        out.device = index;
        out.channelCount = format.channels;
        out.sampleFormat = SampleFormatOf(format);
        // The roomy latency: the ring of blocks keeps the card fed, and a
        // busy machine should not make the sound stutter.
        out.suggestedLatency = info ? info->defaultHighOutputLatency : 0.1;
        if (out.sampleFormat == 0)
            return paSampleFormatNotSupported;
        // Priming from the callback lets the first block go out at once
        // instead of after a buffer of silence.
        const PaError error = Pa_OpenStream(
            &stream_, nullptr, &out, format.framesPerSecond, paFramesPerBufferUnspecified,
            paPrimeOutputBuffersUsingStreamCallback, &PortAudioDevice::Callback, this);
        if (error != paNoError) {
            stream_ = nullptr;
            return error;
        }
        const PaStreamInfo* streamInfo = Pa_GetStreamInfo(stream_);
        fallbackLatency_ = streamInfo ? streamInfo->outputLatency : out.suggestedLatency;
        return paNoError;
    }

    int Queue(const uint8_t* data, size_t bytes) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            blocks_.push_back(Block{data, bytes / stride_});
        }
        // The stream runs from the first block on, so that playback starts
        // with sound rather than with the silence of an empty queue.
        if (!started_) {
            const PaError error = Pa_StartStream(stream_);
            if (error != paNoError)
                return error;
            started_ = true;
        }
        return paNoError;
    }

    int Reset() override {
        // Aborting waits for a running callback, so no block is touched
        // any more once the player hears about them.
        if (started_)
            Pa_AbortStream(stream_);
        started_ = false;
        size_t finished;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished = blocks_.size();
            blocks_.clear();
            written_ = 0;
            streamFrames_ = 0;
            dataDone_ = 0;
            anchored_ = false;
            played_ = 0;
        }
        for (size_t i = 0; i < finished; ++i)
            callbacks_.blockDone();
        return paNoError;
    }

    int Close() override {
        if (started_)
            Pa_AbortStream(stream_);
        started_ = false;
        const PaError error = Pa_CloseStream(stream_);
        if (error != paNoError)
            return error;
        stream_ = nullptr;
        callbacks_.closed();
        return paNoError;
    }

    int64_t Position() override {
        std::lock_guard<std::mutex> lock(mutex_);
        const int64_t played = PlayedFrames(std::chrono::steady_clock::now());
        int64_t position = dataDone_;
        if (!blocks_.empty() && blocks_.front().streamStart >= 0) {
            const Block& front = blocks_.front();
            position += std::clamp<int64_t>(played - front.streamStart, 0, int64_t(front.copied));
        }
        return position;
    }

private:
    struct Block {
        const uint8_t* data;
        size_t frames;
        size_t copied = 0;        // frames handed to PortAudio
        int64_t streamStart = -1; // stream frame of its first frame
        int64_t streamEnd = -1;   // stream frame after its last frame
    };

    static int Callback(const void*, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags, void* self) {
        size_t done =
            static_cast<PortAudioDevice*>(self)->Fill(static_cast<uint8_t*>(output), frames, *time);
        while (done-- > 0)
            static_cast<PortAudioDevice*>(self)->callbacks_.blockDone();
        return paContinue;
    }

    // Fills one buffer of the stream; returns how many blocks have now been played.
    size_t Fill(uint8_t* out, unsigned long frames, const PaStreamCallbackTimeInfo& time) {
        const auto now = std::chrono::steady_clock::now();
        std::lock_guard<std::mutex> lock(mutex_);
        // How long until this buffer is heard. Where the host reports no
        // usable time, the latency the stream was opened with stands in.
        double latency = time.outputBufferDacTime - time.currentTime;
        if (!(latency >= 0.0 && latency < 10.0))
            latency = fallbackLatency_;
        anchor_ = Anchor{streamFrames_, int64_t(frames), now, latency};
        anchored_ = true;

        size_t left = frames;
        while (written_ < blocks_.size() && left > 0) {
            Block& block = blocks_[written_];
            const int64_t at = streamFrames_ + int64_t(frames - left);
            if (block.streamStart < 0)
                block.streamStart = at;
            const size_t n = std::min(left, block.frames - block.copied);
            CopyFrames(block.data + block.copied * stride_, n, out);
            out += n * frameBytes_;
            block.copied += n;
            left -= n;
            if (block.copied == block.frames) {
                block.streamEnd = at + int64_t(n);
                ++written_;
            }
        }
        // Zero-length blocks are finished as soon as they are reached.
        while (written_ < blocks_.size() && blocks_[written_].frames == 0) {
            blocks_[written_].streamStart = blocks_[written_].streamEnd =
                streamFrames_ + int64_t(frames - left);
            ++written_;
        }
        std::memset(out, silence_, left * frameBytes_);
        streamFrames_ += int64_t(frames);

        const int64_t played = PlayedFrames(now);
        size_t done = 0;
        while (written_ > 0 && blocks_.front().streamEnd <= played) {
            dataDone_ += int64_t(blocks_.front().frames);
            blocks_.pop_front();
            --written_;
            ++done;
        }
        return done;
    }

    // Frames padded beyond their samples (a block align larger than the
    // channels need) lose the padding on the way to the card.
    void CopyFrames(const uint8_t* from, size_t frames, uint8_t* to) const {
        if (stride_ == frameBytes_) {
            std::memcpy(to, from, frames * frameBytes_);
            return;
        }
        for (size_t i = 0; i < frames; ++i)
            std::memcpy(to + i * frameBytes_, from + i * stride_, frameBytes_);
    }

    // Stream frames the card has played by now: the frames handed over before
    // the last callback, less what was still to be heard then, plus the time
    // since. A card asks again before it has played one more buffer, so a card
    // that stalls (an audio server waking late) is not taken to play on.
    int64_t PlayedFrames(std::chrono::steady_clock::time_point now) {
        if (!anchored_)
            return 0;
        const double since = std::chrono::duration<double>(now - anchor_.at).count();
        const int64_t heard =
            anchor_.streamFrames - int64_t(std::lround(anchor_.latency * double(rate_)));
        const int64_t estimate = heard + int64_t(since * double(rate_));
        const int64_t most = std::min(heard + anchor_.frames, streamFrames_);
        played_ = std::max(played_, std::min(estimate, most));
        return played_;
    }

    struct Anchor {
        int64_t streamFrames = 0; // handed over before the callback
        int64_t frames = 0;       // asked for by the callback
        std::chrono::steady_clock::time_point at;
        double latency = 0.0;
    };

    OutputCallbacks callbacks_;
    const int rate_;
    const size_t stride_;     // bytes per frame as queued
    const size_t frameBytes_; // bytes per frame as PortAudio takes them
    const uint8_t silence_;
    PaStream* stream_ = nullptr;
    double fallbackLatency_ = 0.0;
    bool started_ = false; // touched by the player's worker only

    std::mutex mutex_;
    std::deque<Block> blocks_; // queued and not yet played
    size_t written_ = 0;       // blocks_[0 .. written_) are wholly handed to PortAudio
    int64_t streamFrames_ = 0; // frames handed to PortAudio, silence included
    int64_t dataDone_ = 0;     // frames of the blocks reported done
    Anchor anchor_;
    bool anchored_ = false;
    int64_t played_ = 0; // never goes back
};

} // namespace

PortAudioOutput::PortAudioOutput() {
    SilenceProbingNoise();
    {
        // Some ALSA plugins (JACK's among them) print straight to standard
        // error while devices are probed, past every handler.
        StderrSilenced silenced;
        initialised_ = Pa_Initialize() == paNoError;
    }
    if (!initialised_)
        return;
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info && info->maxOutputChannels > 0)
            outputs_.push_back(i);
    }
}

PortAudioOutput::~PortAudioOutput() {
    if (initialised_)
        Pa_Terminate();
}

int PortAudioOutput::PortAudioIndex(int id) const {
    if (!initialised_)
        return paNoDevice;
    if (id == kDefaultDevice)
        return Pa_GetDefaultOutputDevice();
    if (id < 0 || size_t(id) >= outputs_.size())
        return paNoDevice;
    return outputs_[size_t(id)];
}

int PortAudioOutput::DeviceCount() {
    return int(outputs_.size());
}

bool PortAudioOutput::Capabilities(int id, OutputCaps& caps) {
    const int index = PortAudioIndex(id);
    const PaDeviceInfo* info = index == paNoDevice ? nullptr : Pa_GetDeviceInfo(index);
    if (!info)
        return false;
    caps.name = info->name;
    caps.channels = info->maxOutputChannels;
    return true;
}

std::unique_ptr<OutputDevice> PortAudioOutput::Open(int id, const PcmFormat& format,
                                                    OutputCallbacks callbacks, int* error) {
    const int index = PortAudioIndex(id);
    if (index == paNoDevice) {
        *error = paInvalidDevice;
        return nullptr;
    }
    auto device = std::make_unique<PortAudioDevice>(format, std::move(callbacks));
    *error = device->OpenStream(index, format);
    if (*error == paUnanticipatedHostError) {
        const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
        hostErrorText_ = host && host->errorText ? host->errorText : "";
    }
    if (*error != paNoError)
        return nullptr;
    return device;
}

std::string PortAudioOutput::ErrorText(int error) {
    if (error == paUnanticipatedHostError && !hostErrorText_.empty())
        return hostErrorText_;
    return Pa_GetErrorText(PaError(error));
}
