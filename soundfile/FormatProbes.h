// Recognition of the sound-file headers the program reads: RIFF WAVE, Sun/NeXT
// AU and AIFF. Each probe fills the format fields of SfInfo from the header of
// the open file and says whether it recognised it.
#pragma once

struct SfInfo;
class DesktopServices;

bool ProbeWav(SfInfo& info);
// Tells the user about AU encodings it cannot read; the AU header's rate,
// channels and data offset are then left for the raw-format dialog.
bool ProbeAu(SfInfo& info, DesktopServices& desktop);
bool ProbeAiff(SfInfo& info);
