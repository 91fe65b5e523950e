#include "playback/CSfPlay.h"

#include "soundfile/DesktopServices.h"
#include "soundfile/SettingsStore.h"
#include "soundfile/SfInfo.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <new>
#include <system_error>

namespace {

// Loop mode plays the range over and over while the device counts on: a
// position past the end lies as far into the range as it lies past a whole
// number of passes.
double FoldIntoLoop(double position, double start, double end) {
    const double length = end - start;
    if (position <= end || !(length > 0.0))
        return position;
    const double beyond = position - end;
    return start + beyond - std::floor(beyond / length) * length;
}

} // namespace

CSfPlay::CSfPlay(OutputService& output, SettingsStore& store, DesktopServices& desktop)
    : output_(output), store_(store), desktop_(desktop) {
    LoadPlaySettings();
}

CSfPlay::~CSfPlay() {
    StopPlay();
    SavePlaySettings();
}

void CSfPlay::SetSettings(const PlaySettings& settings) {
    settings_ = ClampPlaySettings(settings);
}

void CSfPlay::LoadPlaySettings() {
    settings_ = ::LoadPlaySettings(store_);
}

void CSfPlay::SavePlaySettings() {
    ::SavePlaySettings(store_, settings_);
}

std::vector<std::string> CSfPlay::DeviceNames() const {
    const int count = output_.DeviceCount();
    if (count <= 0)
        return {"no device driver installed"};
    std::vector<std::string> names;
    for (int id = OutputService::kDefaultDevice; id < count; ++id) {
        OutputCaps caps;
        names.push_back(output_.Capabilities(id, caps) ? caps.name : std::string());
    }
    return names;
}

PlayOutcome CSfPlay::PlayRange(const SfInfo& info, uint32_t startFrame, uint32_t endFrame,
                               std::weak_ptr<PlayNotifySink> window1,
                               std::weak_ptr<PlayNotifySink> window2, bool loop) {
    // The record still holds what the old worker last reported, and that worker
    // may write it again meanwhile: only it writes positions, so this thread
    // never reads the position field the worker is updating.
    Deliver(kPlayReplaced);
    StopPlay();

    window1_ = std::move(window1);
    window2_ = std::move(window2);
    reader_.handle = info.handle;
    reader_.blockAlign = info.blockAlign;
    reader_.bytesPerSample = info.bytesPerSample;
    reader_.flags = info.flags;
    reader_.loop = loop;
    reader_.widen8 = info.bytesPerSample == 1 && settings_.EightBitSigned != 0;
    reader_.startOffset = info.dataOffset + int64_t(startFrame) * info.blockAlign;
    reader_.endOffset = info.dataOffset + int64_t(endFrame) * info.blockAlign;
    reader_.readOffset = reader_.startOffset;
    fileRate_ = info.rate;
    startTime_ = double(startFrame) / info.rate;
    endTime_ = double(endFrame) / info.rate;
    position_ = startTime_;
    blockLength_ = settings_.BlockLength;
    blockNumber_ = settings_.BlockNumber;
    displayRefresh_ = settings_.DisplayRefresh;
    // In whole numbers: 44100 x 100 x 0.01 in floating point may truncate to 44099.
    const int32_t playbackRate = int32_t(int64_t(info.rate) * settings_.PlayRatio / 100);

    if (output_.DeviceCount() <= 0)
        return Refusal(PlayOutcome::NoDevice);
    OutputCaps caps;
    if (!output_.Capabilities(settings_.DeviceID, caps))
        return Refusal(PlayOutcome::UnknownDevice);
    if (caps.channels < info.channels) {
        desktop_.ShowMessage("Channels not supported", MessageIcon::Information);
        return PlayOutcome::Refused;
    }

    PcmFormat format;
    format.formatTag = (info.flags & kSfIeeeFloat) ? kPcmFloat : kPcmInteger;
    format.channels = info.channels;
    format.framesPerSecond = playbackRate;
    format.blockAlign = reader_.DeviceBlockAlign();
    format.bitsPerSample = reader_.widen8 ? 16 : 8 * info.bytesPerSample;
    format.avgBytesPerSecond = playbackRate * format.blockAlign;
    OutputCallbacks callbacks;
    callbacks.blockDone = [this] { events_.Set(kDone); };
    callbacks.closed = [this] { events_.Set(kClosed); };
    int error = 0;
    device_ = output_.Open(settings_.DeviceID, format, std::move(callbacks), &error);
    if (!device_) {
        desktop_.ShowMessage(output_.ErrorText(error), MessageIcon::Information);
        return PlayOutcome::Refused;
    }

    events_.Set(kStart);
    for (int event : {kDone, kClosed, kStop, kError})
        events_.Reset(event);
    playing_ = true;
    try {
        thread_ = std::thread(&CSfPlay::Run, this);
    } catch (const std::system_error&) {
        // No thread, no playback: the device goes, the start request with it.
        playing_ = false;
        device_->Close();
        device_.reset();
        events_.Reset(kStart);
        return Refusal(PlayOutcome::NoThread);
    }
    return PlayOutcome::Started;
}

PlayOutcome CSfPlay::Refusal(PlayOutcome outcome) {
    if (!explainRefusals_)
        return outcome;
    std::string reason;
    switch (outcome) {
    case PlayOutcome::NoDevice:
        reason = "Nothing can be played: no device driver installed.";
        break;
    case PlayOutcome::UnknownDevice:
        reason = "Nothing can be played: output device " + std::to_string(settings_.DeviceID) +
                 " does not exist. Choose another in Options > Play.";
        break;
    default:
        reason = "Nothing can be played: the playback thread cannot start.";
        break;
    }
    if (std::find(explained_.begin(), explained_.end(), reason) == explained_.end()) {
        explained_.push_back(reason);
        desktop_.ShowMessage(reason, MessageIcon::Information);
    }
    return outcome;
}

void CSfPlay::StopPlay() {
    if (!thread_.joinable())
        return;
    events_.Set(kStop);
    thread_.join();
}

void CSfPlay::UpdatePosition() {
    // Once the device is closed the last position stands.
    if (!device_)
        return;
    // File time, whatever the play ratio: the cursors stay on the sound that
    // is heard.
    const double position = startTime_ + double(device_->Position()) / fileRate_;
    position_ = reader_.loop ? FoldIntoLoop(position, startTime_, endTime_) : position;
}

void CSfPlay::Post(int code) {
    notify_.Write(reader_.handle, position_);
    Deliver(code);
}

void CSfPlay::Deliver(int code) {
    for (const std::weak_ptr<PlayNotifySink>* window : {&window1_, &window2_}) {
        if (const std::shared_ptr<PlayNotifySink> sink = window->lock())
            sink->PostPlayNotify(code, &notify_);
    }
}

bool CSfPlay::Requeue(Block& block, size_t blockBytes) {
    block.fill = FillBlock(reader_, block.data.get(), blockBytes);
    return device_->Queue(block.data.get(), block.fill.length) == 0;
}

bool CSfPlay::StartBlocks(std::vector<Block>& ring, size_t blockBytes) {
    for (int i = 0; i < blockNumber_; ++i) {
        Block block;
        block.data.reset(new (std::nothrow) uint8_t[blockBytes]);
        if (!block.data)
            break;
        block.fill = FillBlock(reader_, block.data.get(), blockBytes);
        ring.push_back(std::move(block));
        if (!ring.back().fill.more)
            break;
    }
    if (ring.empty())
        return false;
    for (Block& block : ring) {
        UpdatePosition();
        if (device_->Queue(block.data.get(), block.fill.length) != 0)
            return false;
        Post(kPlayQueued);
    }
    UpdatePosition();
    Post(kPlayQueued);
    return true;
}

void CSfPlay::Run() {
    const size_t blockBytes = PlayBlockBytes(reader_, blockLength_);
    std::vector<Block> ring;
    size_t ringIndex = 0;
    bool stopping = false;
    bool running = blockBytes > 0;
    if (!running)
        device_->Close();

    while (running) {
        switch (events_.WaitAny({kStop, kStart, kDone, kClosed, kError},
                                std::chrono::milliseconds(displayRefresh_))) {
        case kStop:
            stopping = true;
            if (!device_) {
                running = false;
                break;
            }
            device_->Reset();
            if (device_->Close() != 0)
                events_.Set(kError);
            device_.reset();
            break;
        case kStart:
            // A stop that came first has closed the device already.
            if (stopping)
                break;
            Post(kPlayStarting);
            if (!StartBlocks(ring, blockBytes))
                events_.Set(kStop);
            break;
        case kDone: {
            UpdatePosition();
            Post(kPlayBlockDone);
            if (stopping)
                break;
            Block& block = ring[ringIndex];
            if (!block.fill.more) {
                stopping = true;
                events_.Set(kStop);
            } else if (Requeue(block, blockBytes)) {
                ringIndex = (ringIndex + 1) % ring.size();
            } else {
                events_.Set(kStop);
            }
            break;
        }
        case kClosed:
            UpdatePosition();
            Post(kPlayClosed);
            running = false;
            break;
        case kError:
            running = false;
            break;
        default:
            UpdatePosition();
            Post(kPlayTick);
            break;
        }
    }
    // The device must let go of the blocks before they are freed.
    device_.reset();
    ring.clear();
    playing_ = false;
}
