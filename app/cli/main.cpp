// kavirel-cli: the analyses of Kavirel on the command line, without a display.
#include "CliArgs.h"
#include "Commands.h"

#include <cstdio>
#include <cstring>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: kavirel-cli COMMAND ...\n"
                         "  info FILE [--raw RATE,CHANNELS,BPS,OFFSET,LSB|MSB]\n"
                         "  overview FILE [--screen-width W] [--raw ...]\n"
                         "  note FREQ [--ref HZ] [--notation N]\n"
                         "  time TEXT --rate SR\n");
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const char* command = argv[1];
    if (std::strcmp(command, "info") == 0)
        return RunInfo(argc, argv);
    if (std::strcmp(command, "overview") == 0)
        return RunOverview(argc, argv);
    if (std::strcmp(command, "note") == 0)
        return RunNote(argc, argv);
    if (std::strcmp(command, "time") == 0)
        return RunTime(argc, argv);
    return Usage();
}
