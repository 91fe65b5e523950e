// The texts of the spectrum pane: the measurement in the info text box, the
// data-log line of key W and the information box of Show Info. Numbers are
// written with a decimal point whatever the process locale.
#pragma once

#include "soundfile/SfFftParam.h"
#include "soundfile/SfInfo.h"

#include <cstdint>
#include <string>

// What the info text box shows for the cursor at p.view.cursorBin: the shortened
// path, the time of the task start and the bin with its frequency (refined in
// peak mode), level ("dB" when yScale has Log) and note name.
std::string SpectrumInfoText(const SfInfo& info, const SfFftParam& p, uint32_t yScale,
                             bool peakMode, double referenceHz, int notation);

// The data-log line of key W: path as stored, channel, task start and end in
// seconds, Lfft, window type, cursor frequency (refined in peak mode) and the
// level at the cursor; in dBFS mode a last column "dBFS" names the unit.
std::string SpectrumLogLine(const SfInfo& info, const SfFftParam& p, bool peakMode);

// The text of Show Info: the file, the item's range and its analysis
// parameters with the extremes of the whole spectrum.
std::string SpectrumShowInfoText(const SfInfo& info, const SfFftParam& p);
