// kavirel-cli play: a range of a sound file through the output device the
// "Play" settings name, as the program plays it.
#include "CliDesktop.h"
#include "Commands.h"
#include "OpenFile.h"
#include "playback/CSfPlay.h"
#include "playback/PlayReader.h"
#include "playback/PlaySettings.h"
#include "playback/PortAudioOutput.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace {

std::atomic<bool> interrupted{false};

void Interrupt(int) {
    interrupted = true;
}

// Prints each notification as "code<TAB>position" on standard output.
class PrintingWindow : public PlayNotifySink {
public:
    void PostPlayNotify(int code, const PlayNotify* notify) override {
        const PlayPoint point = notify->Read();
        std::lock_guard<std::mutex> lock(mutex_);
        std::printf("%d\t%.6f\n", code, point.position);
        std::fflush(stdout);
    }

private:
    std::mutex mutex_;
};

struct OpenedFile {
    SfInfo info;
    ~OpenedFile() { sfclose(info.handle); }
};

// Whether the player would play this range in a loop: it refuses blocks
// too short for the device to keep up with.
bool LoopPlays(const SfInfo& info, uint32_t start, uint32_t end, SettingsStore& store) {
    const PlaySettings settings = LoadPlaySettings(store);
    PlayReader reader;
    reader.blockAlign = info.blockAlign;
    reader.bytesPerSample = info.bytesPerSample;
    reader.loop = true;
    reader.widen8 = info.bytesPerSample == 1 && settings.EightBitSigned != 0;
    reader.startOffset = int64_t(start) * info.blockAlign;
    reader.endOffset = int64_t(end) * info.blockAlign;
    return PlayBlockBytes(reader, settings.BlockLength) > 0;
}

} // namespace

int RunPlay(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {"loop", "list-devices", "verbose"},
                 {"start", "end", "seconds", "raw"});
    const bool listOnly = args.Has("list-devices");
    if (args.Ok() && listOnly) {
        for (const char* option : {"start", "end", "loop", "seconds", "verbose", "raw"})
            if (args.Has(option))
                args.Fail(std::string("--list-devices plays nothing: give it no --") + option);
        if (!args.Words().empty())
            args.Fail("--list-devices plays nothing: give it no FILE");
    }
    if (!args.Ok() || (!listOnly && args.Words().size() != 1))
        return UsageError(args, "play");

    // The command line is checked before the devices are probed, which takes
    // a while.
    QtSettingsStore store;
    OpenedFile file;
    if (!listOnly) {
        const int code = OpenSoundFile(args, file.info);
        if (code == kExitUsage)
            return UsageError(args, "play");
        if (code != kExitOk)
            return code;
    }
    const SfInfo& info = file.info;
    const uint32_t start = args.Position("start", 0, float(info.rate), info.frames);
    const uint32_t end = args.Position("end", info.frames, float(info.rate), info.frames);
    const double seconds = args.Real("seconds", 0.0);
    if (args.Ok() && start > end)
        args.Fail("--start must not lie after --end");
    if (args.Ok() && seconds < 0.0)
        args.Fail("--seconds must not be negative");
    if (args.Ok() && !listOnly && args.Has("loop") && !LoopPlays(info, start, end, store))
        args.Fail("a loop over " + std::to_string(end - start) +
                  " frames is too short to play; give a longer range");
    if (!args.Ok())
        return UsageError(args, "play");

    PortAudioOutput output;
    CliDesktop desktop(std::nullopt);
    CSfPlay player(output, store, desktop);
    if (listOnly) {
        for (const std::string& name : player.DeviceNames())
            std::printf("%s\n", name.c_str());
        return kExitOk;
    }

    std::shared_ptr<PlayNotifySink> window;
    if (args.Has("verbose"))
        window = std::make_shared<PrintingWindow>();
    std::signal(SIGINT, &Interrupt);
    std::signal(SIGTERM, &Interrupt);
    switch (player.PlayRange(info, start, end, window, {}, args.Has("loop"))) {
    case PlayOutcome::Started:
        break;
    case PlayOutcome::NoDevice:
        std::fprintf(stderr, "%s cannot be played: no device driver installed\n",
                     info.path.c_str());
        return kExitRefused;
    case PlayOutcome::UnknownDevice:
        std::fprintf(stderr, "%s cannot be played: output device %d does not exist\n",
                     info.path.c_str(), player.Settings().DeviceID);
        return kExitRefused;
    case PlayOutcome::Refused:
        return kExitRefused;
    case PlayOutcome::NoThread:
        std::fprintf(stderr, "%s cannot be played: the playback thread cannot start\n",
                     info.path.c_str());
        return kExitRefused;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (player.IsPlaying() && !interrupted &&
           (seconds == 0.0 || std::chrono::steady_clock::now() < deadline))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    player.StopPlay();
    return kExitOk;
}
