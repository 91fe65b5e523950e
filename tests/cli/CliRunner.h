// Running the real kavirel-cli from a test: its exit code, standard output and
// standard error.
#pragma once

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

// s in single quotes, safe for the shell.
std::string Quote(const std::string& s);

// Runs "environment program args..." through the shell; standard error
// passes through a file in scratchDir.
Result RunProgram(const std::string& program, const std::string& environment,
                  const std::vector<std::string>& args, const std::string& scratchDir);

// RunProgram of kavirel-cli.
Result RunCli(const std::string& environment, const std::vector<std::string>& args,
              const std::string& scratchDir);

// The lines of text, without their line breaks.
std::vector<std::string> Lines(const std::string& text);

// The tab-separated fields of line.
std::vector<std::string> Fields(const std::string& line);

// Command-line tests with a scratch folder, a scratch configuration home and
// numbered 16-bit WAV files made in the folder.
class CliFiles : public ::testing::Test {
protected:
    // A new file f<n>.wav of the values, interleaved over channels.
    std::string Wav(const std::vector<int32_t>& values, uint32_t rate, uint16_t channels = 1) {
        WavSpec layout;
        layout.rate = rate;
        layout.channels = channels;
        return dir.Write("f" + std::to_string(++files) + ".wav",
                         MakeWav(layout, PcmBytes(values, 2)));
    }

    TempDir dir;
    TempDir config;
    int files = 0;
};
