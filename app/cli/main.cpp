// kavirel-cli: the analyses of Kavirel on the command line, without a display.
#include "CliArgs.h"
#include "Commands.h"
#include "soundfile/QtSettingsStore.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool Asks(int argc, char** argv, int first, const char* a, const char* b = nullptr) {
    for (int i = first; i < argc; ++i)
        if (std::strcmp(argv[i], a) == 0 || (b && std::strcmp(argv[i], b) == 0))
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const CliCommand* command = argc >= 2 ? FindCommand(argv[1]) : nullptr;
    // Help and version win over everything else on the line, as with any
    // other tool: "kavirel-cli spectrum --help" needs no file.
    if (Asks(argc, argv, 1, "--help", "-h")) {
        PrintHelp(stdout, command);
        return kExitOk;
    }
    if (Asks(argc, argv, 1, "--version")) {
        std::printf("kavirel-cli %s\n", KAVIREL_VERSION);
        return kExitOk;
    }
    if (!command) {
        if (argc >= 2)
            std::fprintf(stderr, "kavirel-cli: unknown command \"%s\"\n", argv[1]);
        PrintHelp(stderr, nullptr);
        return kExitUsage;
    }
    if (const std::string problem = SettingsFileProblem(); !problem.empty())
        std::fprintf(stderr, "kavirel-cli: %s\n", problem.c_str());
    return command->run(argc, argv);
}
