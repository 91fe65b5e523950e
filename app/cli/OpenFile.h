// Opening a sound file from the command line as the program would.
#pragma once

#include "CliArgs.h"

struct SfInfo;

// Recognises args.Words()[0] into info. Returns kExitOk, or the exit code
// after telling the user why not.
int OpenSoundFile(CliArgs& args, SfInfo& info);

// Reads --screen-width (default 1024), the width the analyses are sized by;
// false when it is out of range.
bool ScreenWidthOption(CliArgs& args, int& width);

// Prints why the command line is wrong and the usage of command; returns
// kExitUsage.
int UsageError(const CliArgs& args, const char* command);
