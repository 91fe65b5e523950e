// kavirel-cli: the analyses of Kavirel on the command line, without a display.
#include "CliArgs.h"
#include "Commands.h"

#include <cstdio>
#include <cstring>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: kavirel-cli COMMAND ...\n"
                 "  info FILE [--raw RATE,CHANNELS,BPS,OFFSET,LSB|MSB]\n"
                 "  overview FILE [--screen-width W] [--raw ...]\n"
                 "  note FREQ [--ref HZ] [--notation N]\n"
                 "  time TEXT --rate SR\n"
                 "  play FILE [--start F] [--end F] [--loop] [--seconds S] [--list-devices] "
                 "[--verbose]\n"
                 "  spectrum FILE --start F [--end F] [--channel C] [--lfft N] [--lwdw N] "
                 "[--shift N] [--window I] [--linear] [--method M] [--cepfreq HZ] "
                 "[--screen-width W] [--raw ...]\n"
                 "  envelope FILE --start F --end F [--channel C] [--screen-width W] "
                 "[--raw ...]\n"
                 "  sonagram FILE --start F --end F [--channel C] [--lfft N] [--lwdw N] "
                 "[--window I] [--range R] [--fmax HZ] [--screen-width W] [--cells] "
                 "[--png OUT] [--raw ...]\n");
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
    if (std::strcmp(command, "play") == 0)
        return RunPlay(argc, argv);
    if (std::strcmp(command, "spectrum") == 0)
        return RunSpectrum(argc, argv);
    if (std::strcmp(command, "envelope") == 0)
        return RunEnvelope(argc, argv);
    if (std::strcmp(command, "sonagram") == 0)
        return RunSonagram(argc, argv);
    return Usage();
}
