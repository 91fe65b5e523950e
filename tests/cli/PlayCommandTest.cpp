// kavirel-cli play where no audio server answers: the device list, the
// refusal, the command line, and a terminal free of probing noise. (Real
// sound goes through the playback end-to-end tests.)
#include "cli/CliRunner.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace {

class PlayCli : public ::testing::Test {
protected:
    // No audio server is reachable, and the settings name a device beyond
    // any machine's: nothing ever sounds, whatever cards the machine has.
    Result Run(const std::vector<std::string>& args) {
        std::filesystem::create_directories(dir.Path() + "/TOLQ");
        std::ofstream(dir.Path() + "/TOLQ/Kavirel.conf") << "[Play]\nDeviceID=999\n";
        const std::string pulse = dir.Write(
            "client.conf", Bytes{'a', 'u', 't', 'o', 's', 'p', 'a', 'w', 'n', '=', 'n', 'o', '\n'});
        // In the sanitizer build the leak check runs with the suppressions of
        // the test environment, which pass over what ALSA's plugins keep. The
        // plugins are built without frame pointers: only the full unwinder
        // follows their allocations back to the ALSA frames the suppression
        // names.
        std::vector<std::string> playArgs{"play"};
        playArgs.insert(playArgs.end(), args.begin(), args.end());
        return RunCli("LSAN_OPTIONS=\"$LSAN_OPTIONS:fast_unwind_on_malloc=0\" XDG_CONFIG_HOME=" +
                          Quote(dir.Path()) + " PULSE_CLIENTCONFIG=" + Quote(pulse) +
                          " PULSE_SERVER=" + Quote("unix:" + dir.Path() + "/none"),
                      playArgs, dir.Path());
    }

    std::string Sound() {
        WavSpec layout;
        return dir.Write("tone.wav", MakeWav(layout, Bytes(2 * 4410, 0)));
    }

    TempDir dir;
};

TEST_F(PlayCli, ListsTheDevicesAsTheOptionsDialogDoes) {
    const Result r = Run({"--list-devices"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    // Without any device the one entry says so; else the default comes first,
    // then every device.
    if (r.out != "no device driver installed\n") {
        EXPECT_GE(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
        EXPECT_EQ(r.out.find("no device driver installed"), std::string::npos);
    }
}

TEST_F(PlayCli, WithoutTheChosenDeviceNothingPlaysAndTheUserIsTold) {
    const std::string path = Sound();
    const Result r = Run({path, "--verbose"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err == path + " cannot be played: no device driver installed\n" ||
                r.err == path + " cannot be played: output device 999 does not exist\n")
        << r.err;
}

TEST_F(PlayCli, RangesAndDurationsOutsideTheFileAreUsageErrors) {
    const std::string path = Sound();
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {path, path},
                                                 {path, "--start", "10", "--end", "5"},
                                                 {path, "--end", "4411"},
                                                 {path, "--start", "-1"},
                                                 {path, "--seconds", "-1"},
                                                 {path, "--seconds", "soon"},
                                                 {"--list-devices", path},
                                                 {"--list-devices", "--loop"},
                                                 {path, "--start", "1s", "--end", "0.5s"},
                                                 {path, "--start", "abc"},
                                                 // 255 frames of 2 bytes: too short a loop
                                                 {path, "--end", "255", "--loop"}}) {
        const Result r = Run(args);
        EXPECT_EQ(r.code, 64) << testing::PrintToString(args);
        EXPECT_NE(r.err.find("usage: kavirel-cli play FILE"), std::string::npos) << r.err;
    }
    const Result missing = Run({dir.Path() + "/none.wav"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("cannot be opened"), std::string::npos);
}

} // namespace
