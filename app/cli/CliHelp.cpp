#include "Commands.h"

#include <iterator>

namespace {

const CliCommand kCommands[] = {
    {"info", "info FILE [--format F] [--raw RATE,CHANNELS,BPS,OFFSET,LSB|MSB]",
     "Recognises FILE as Kavirel does when opening it and prints its description:\n"
     "file name, format, rate, channels, bytes per sample, length, data offset,\n"
     "frames, block align and format flags.",
     RunInfo},
    {"overview", "overview FILE [--screen-width W] [--format F] [--raw ...]",
     "Prints the whole-file overview of the head window, read from or written to\n"
     "the .sfv cache beside FILE: a line \"# channels=N width=W method=M\n"
     "source=cache|computed\", then 4 x W values per channel. With --format csv or\n"
     "json: channel, column, time_s, min, max, level_db.",
     RunOverview},
    {"note", "note FREQ [--ref HZ] [--notation N]",
     "Names the nearest note of FREQ Hz with its deviation in cents (Bb4-0.014Cent).\n"
     "--ref is the pitch of A, --notation 1 writes German note names.",
     RunNote},
    {"time", "time TEXT --rate SR",
     "Reads TEXT as the task dialog does and prints the frames, the compact and\n"
     "the clock time text, separated by tabs.",
     RunTime},
    {"play", "play FILE [--start T] [--end T] [--loop] [--seconds S] [--verbose] [--raw ...]",
     "Plays the range through the device of the Play options; --loop repeats it\n"
     "until --seconds have passed or Ctrl+C (--seconds 0, the default, sets no\n"
     "limit); --verbose prints every playback\n"
     "notification as \"code<TAB>position in seconds\".",
     RunPlay},
    {"play", "play --list-devices", "Prints the device list of the Play options dialog.", RunPlay},
    {"spectrum",
     "spectrum FILE --start T [--end T] [--channel C] [--lfft N] [--lwdw N] [--shift N]\n"
     "    [--window I] [--linear] [--method M] [--cepfreq HZ] [--level lsb|dbfs]\n"
     "    [--average db|power] [--screen-width W] [--format F] [--raw ...]",
     "Computes the spectrum a spectrum window shows, at an instant or averaged over\n"
     "the range: one line per bin, \"bin<TAB>frequency in Hz<TAB>level\", in dB unless\n"
     "--linear, with the cepstrally smoothed level as a fourth column for --method 1.\n"
     "--level dbfs gives levels re digital full scale (a full-scale sine on a bin\n"
     "reads 0 dBFS); --average power averages the powers of the frames, not their dB.",
     RunSpectrum},
    {"peaks",
     "peaks FILE --start T [--end T] [spectrum options] [--count N] [--min-db D]\n"
     "    [--ref HZ] [--notation N] [--format F]",
     "Prints the peaks of that spectrum that Ctrl+Right visits in its window, rising\n"
     "in frequency: \"frequency in Hz<TAB>level<TAB>note\", the frequency refined by\n"
     "the parabola through the peak bin and its neighbours. Peaks lie above the\n"
     "lowest level the window draws, or above --min-db D (in the unit of the\n"
     "levels); --count N prints the first N only. Notes are named for --ref and\n"
     "--notation, by default those of the settings.",
     RunPeaks},
    {"envelope",
     "envelope FILE --start T --end T [--channel C] [--screen-width W] [--format F]\n"
     "    [--raw ...]",
     "Prints the display envelope of a waveform window on the range: a line\n"
     "\"# count=N lower=L upper=U\", then N values. With --format csv or json:\n"
     "index, time_s, min, max (or value where the samples are shown).",
     RunEnvelope},
    {"sonagram",
     "sonagram FILE --start T --end T [--channel C] [--lfft N] [--lwdw N] [--window I]\n"
     "    [--range R] [--fmax HZ] [--level lsb|dbfs] [--map NAME] [--axis lin|log|bark|note]\n"
     "    [--frames column|hop] [--hop N] [--screen-width W] [--cells] [--png OUT]\n"
     "    [--format F] [--raw ...]",
     "Computes a sonagram: the lines dBMax, Floor, Fmax, W, H, LevelMin, LevelMax\n"
     "(name<TAB>value), then the level curve as \"index<TAB>dB\"; --cells adds the H\n"
     "rows of W grey indices, --png writes the grey image. With --level dbfs, dBMax\n"
     "and Floor are re digital full scale and the level curve is the RMS of each\n"
     "frame's samples in dBFS. --map chooses the colour map of --png (grey, viridis,\n"
     "magma, inferno, cividis, grey-reversed; the settings' by default), --axis the\n"
     "frequency axis whose rows --cells and --png show (row 0 at the top), --frames\n"
     "hop analyses a frame every --hop frames (a quarter of Lwdw by default), each\n"
     "column the loudest of its frames. With --format csv or json: the level curve\n"
     "as index, time_s, level_db (--cells goes with tsv only).",
     RunSonagram},
    {"pitch",
     "pitch FILE [--start T] [--end T] [--channel C] [--floor HZ] [--ceiling HZ] [--step S]\n"
     "    [--format F] [--raw ...]",
     "Tracks the fundamental frequency of voiced sound over the range (the whole\n"
     "file by default) and prints one line per analysis frame, \"time<TAB>F0\": the\n"
     "frame's centre in seconds from the start of the file (6 decimals) and its F0\n"
     "in Hz (3 decimals), 0 where the frame is unvoiced. --floor and --ceiling\n"
     "bound the pitches sought (75 and 600 Hz); frames last 3 / floor seconds and\n"
     "lie --step seconds apart (0.75 / floor).",
     RunPitch},
};

const char* const kNotes =
    "Times (--start, --end, time): frames, or a time as typed in Kavirel's task\n"
    "dialog, such as 1m30s, 2.5s, 1h or 500f, read at the file's rate.\n"
    "--format tsv|csv|json: tsv (the default) prints as described; csv adds a\n"
    "header line naming the columns with their units (the window export's) and\n"
    "writes one row per line with a '.' decimal point; json writes one object\n"
    "{\"file\", \"params\", \"columns\", \"rows\"} (info: one object of its fields).\n"
    "--raw RATE,CHANNELS,BPS,OFFSET,LSB|MSB gives the format of a file without a\n"
    "header. Parameters not given come from the Kavirel settings\n"
    "(~/.config/TOLQ/Kavirel.conf).\n"
    "Exit status: 0 success, 1 file refused or nothing computed, 2 the file needs\n"
    "--raw, 64 wrong command line.\n";

void PrintCommand(std::FILE* out, const CliCommand& command) {
    std::fprintf(out, "  kavirel-cli %s\n", command.synopsis);
}

} // namespace

const CliCommand* CliCommands(size_t* count) {
    *count = std::size(kCommands);
    return kCommands;
}

const CliCommand* FindCommand(const std::string& name) {
    for (const CliCommand& command : kCommands)
        if (name == command.name)
            return &command;
    return nullptr;
}

void PrintHelp(std::FILE* out, const CliCommand* command) {
    if (!command) {
        std::fprintf(out, "usage: kavirel-cli COMMAND ARGUMENTS...\n"
                          "       kavirel-cli [COMMAND] --help | -h\n"
                          "       kavirel-cli --version\n\n"
                          "Runs the analyses of Kavirel on sound files, without a display.\n\n"
                          "Commands:\n");
        for (const CliCommand& c : kCommands)
            PrintCommand(out, c);
        std::fprintf(out, "\n%s", kNotes);
        return;
    }
    std::fprintf(out, "usage:\n");
    for (const CliCommand& c : kCommands)
        if (std::string(c.name) == command->name)
            PrintCommand(out, c);
    for (const CliCommand& c : kCommands)
        if (std::string(c.name) == command->name)
            std::fprintf(out, "\n%s\n", c.summary);
    std::fprintf(out, "\n%s", kNotes);
}
