// The command line of kavirel-cli: a subcommand, positional words and
// "--name value" options.
#pragma once

#include "soundfile/DesktopServices.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Exit codes of kavirel-cli.
enum CliExit {
    kExitOk = 0,
    kExitRefused = 1,  // the file cannot be opened or nothing was computed
    kExitNeedsRaw = 2, // the file has no header and no --raw was given
    kExitUsage = 64,   // the command line is wrong
};

class CliArgs {
public:
    // flags: options that take no value; options: those that take one. Any
    // other "--name" makes the arguments fail with its name.
    CliArgs(int argc, char** argv, int first, const std::vector<std::string>& flags,
            const std::vector<std::string>& options);

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    const std::vector<std::string>& Words() const { return words_; }
    bool Has(const std::string& name) const { return options_.count(name) != 0; }
    std::string Text(const std::string& name, const std::string& def = std::string()) const;
    // Numbers must be whole numbers (Int) or decimal numbers (Real); a bad one
    // makes the arguments fail with a message.
    long Int(const std::string& name, long def);
    double Real(const std::string& name, double def);
    // A position in a file of frames frames at rate: a frame number or a time
    // text as the task dialog reads it, from 0 to frames.
    uint32_t Position(const std::string& name, uint32_t def, float rate, uint32_t frames);
    // --raw RATE,CHANNELS,BPS,OFFSET,LSB|MSB
    std::optional<RawFormat> Raw();
    void Fail(const std::string& message);

private:
    std::vector<std::string> words_;
    std::map<std::string, std::string> options_;
    std::string error_;
};
