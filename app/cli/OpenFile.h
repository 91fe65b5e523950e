// Opening a sound file from the command line as the program would.
#pragma once

#include "CliArgs.h"

#include <cstdint>

class CSfHead;
struct SfInfo;

// Recognises args.Words()[0] into info. Returns kExitOk, or the exit code
// after telling the user why not.
int OpenSoundFile(CliArgs& args, SfInfo& info);

// Where a range without --end ends.
enum class TaskEnd {
    AtStart,   // an instant at --start
    AtFileEnd, // the rest of the file
};

// Opens the file and sets the head's task from --start (0 when not given),
// --end and --channel (0), as a selection in the head window would. Returns
// kExitOk or the exit code after telling why not.
int OpenTask(CliArgs& args, CSfHead& head, TaskEnd defaultEnd);

// --level lsb|dbfs (dB re one least significant bit, or re full scale) and
// --average db|power (the mean of the dB values, or the dB of the mean power);
// what is not given stays as the settings have it.
int32_t LevelReferenceOption(CliArgs& args, int32_t settingsValue);
int32_t AverageOption(CliArgs& args, int32_t settingsValue);

// Reads --screen-width (default 1024), the width the analyses are sized by;
// false when it is out of range.
bool ScreenWidthOption(CliArgs& args, int& width);

// Prints why the command line is wrong and the usage of command; returns
// kExitUsage.
int UsageError(const CliArgs& args, const char* command);
