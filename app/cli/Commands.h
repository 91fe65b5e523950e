// The subcommands of kavirel-cli, their usage and their help texts.
#pragma once

#include <cstdio>
#include <string>

int RunInfo(int argc, char** argv);
int RunOverview(int argc, char** argv);
int RunNote(int argc, char** argv);
int RunTime(int argc, char** argv);
int RunPlay(int argc, char** argv);
int RunSpectrum(int argc, char** argv);
int RunPeaks(int argc, char** argv);
int RunEnvelope(int argc, char** argv);
int RunSonagram(int argc, char** argv);
int RunPitch(int argc, char** argv);

struct CliCommand {
    const char* name;
    const char* synopsis;              // the command line after "kavirel-cli"
    const char* summary;               // what it prints, for --help
    int (*run)(int argc, char** argv); // returns the process exit code
};

// Every command, in the order the help lists them.
const CliCommand* CliCommands(size_t* count);
// The command called name, or null.
const CliCommand* FindCommand(const std::string& name);

// The help of the whole program, or of one command when command is not null.
void PrintHelp(std::FILE* out, const CliCommand* command);
