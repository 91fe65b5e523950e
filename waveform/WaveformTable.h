// The display envelope of a waveform window as a table, for the window's
// export and "kavirel-cli envelope".
#pragma once

#include "drawing/DelimitedTable.h"
#include "waveform/WavEnvelope.h"

struct SfInfo;

// The envelope built for range at screenWidth: where it holds the samples
// themselves, one row per sample (index, time_s, value); else one row per
// (minimum, maximum) pair (index, time_s of the first frame of its block, min,
// max). Times count from the start of the file.
DataTable WaveformTable(const SfInfo& info, const WavRange& range, const WavEnvelope& envelope,
                        int screenWidth);
