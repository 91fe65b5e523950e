// kavirel-cli play: a range of a sound file through the output device the
// "Play" settings name, as the program plays it.
#include "CliDesktop.h"
#include "Commands.h"
#include "OpenFile.h"
#include "playback/CSfPlay.h"
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

const char* const kUsage =
    "play FILE [--start F] [--end F] [--loop] [--seconds S] [--list-devices] "
    "[--verbose] [--raw RATE,CHANNELS,BPS,OFFSET,LSB|MSB]";

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

} // namespace

int RunPlay(int argc, char** argv) {
    CliArgs args(argc, argv, 2, {"loop", "list-devices", "verbose"},
                 {"start", "end", "seconds", "raw"});
    const bool listOnly = args.Has("list-devices") && args.Words().empty();
    if (!args.Ok() || (!listOnly && args.Words().size() != 1))
        return UsageError(args, kUsage);

    // The command line is checked before the devices are probed, which takes
    // a while.
    OpenedFile file;
    if (!listOnly) {
        const int code = OpenSoundFile(args, file.info);
        if (code == kExitUsage)
            return UsageError(args, kUsage);
        if (code != kExitOk)
            return code;
    }
    const SfInfo& info = file.info;
    const long start = args.Int("start", 0);
    const long end = args.Int("end", long(info.frames));
    const double seconds = args.Real("seconds", 0.0);
    if (args.Ok() && !listOnly && (start < 0 || end < start || end > long(info.frames)))
        args.Fail("--start and --end must satisfy 0 <= start <= end <= " +
                  std::to_string(info.frames));
    if (args.Ok() && seconds < 0.0)
        args.Fail("--seconds must not be negative");
    if (!args.Ok())
        return UsageError(args, kUsage);

    QtSettingsStore store;
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
    switch (player.PlayRange(info, uint32_t(start), uint32_t(end), window, {}, args.Has("loop"))) {
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
