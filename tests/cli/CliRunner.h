// Running the real kavirel-cli from a test: its exit code, standard output and
// standard error.
#pragma once

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
