// The numbers of the spectrum window and of the pitch contour as tables: what
// kavirel-cli prints and what the window's export writes, from one place.
#pragma once

#include "drawing/DelimitedTable.h"
#include "soundfile/SfFftParam.h"
#include "spectrum/PitchTracker.h"
#include "spectrum/SpectrumPeaks.h"

#include <cstdint>
#include <vector>

struct SfInfo;

// The name of a level column: "level_db", "level" where yScale has no Log
// bit (linear magnitudes), "level_dbfs" in dB re full scale.
std::string LevelColumnName(uint32_t yScale, int32_t levelRef);

// The spectrum of p, one row per bin: bin, frequency_hz, the level and, for
// the cepstrally smoothed method, smoothed_db; numbers as "%.9g". Empty rows
// when nothing was computed. file and params describe the analysis.
DataTable SpectrumTable(const SfInfo& info, const SfFftParam& p, uint32_t yScale);

// The peaks, one row each: frequency_hz (refined, "%.9g"), the level ("%.9g")
// and note, the note name for referenceHz and notation (empty where the
// frequency lies below the lowest named octave).
DataTable PeaksTable(const SfInfo& info, const SfFftParam& p, uint32_t yScale,
                     const std::vector<SpectrumPeak>& peaks, double referenceHz, int notation);

// The frame pane as drawn at screenWidth: index, time_s (from the start of
// the file) and value, the samples of the frame or, for a range or a frame
// too long for the pane, the min/max envelope values, two to a block whose
// first frame time_s gives.
DataTable FrameTable(const SfInfo& info, const SfFftParam& p, int screenWidth);

// The pitch contour, one row per frame: time_s ("%.6f") and f0_hz ("%.3f").
DataTable PitchTable(const SfInfo& info, const PitchContour& contour);

// The parameters every spectrum table names: task, channel, transform and
// levels.
void AddSpectrumParams(DataTable& table, const SfInfo& info, const SfFftParam& p, uint32_t yScale);
