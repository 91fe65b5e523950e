// Recognition of the sound-file headers the program reads itself: RIFF WAVE
// (with RF64 and BW64 for files beyond 4 GiB), Sun/NeXT AU, AIFF and AIFF-C.
// Each probe fills the format fields of SfInfo from the header of the open
// file and says what it found.
#pragma once

#include <string>

struct SfInfo;

enum class ProbeOutcome {
    NotThisFormat, // the header is not of this kind; the next probe may try
    Recognised,    // the format fields describe the samples
    Refused,       // a header of this kind with values that cannot be read; see problem
    Compressed,    // a header of this kind whose samples need a decoder; problem, if
                   // any, is what to tell the user when no decoder reads them
};

struct ProbeResult {
    ProbeOutcome outcome = ProbeOutcome::NotThisFormat;
    std::string problem;
};

ProbeResult ProbeWav(SfInfo& info);
// An AU header's rate, channels and data offset stay in info when its
// encoding is not read, for the raw-format dialog to start from.
ProbeResult ProbeAu(SfInfo& info);
ProbeResult ProbeAiff(SfInfo& info);
