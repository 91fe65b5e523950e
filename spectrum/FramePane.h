// The arithmetic and texts of the spectrum window's frame pane, which shows
// the analysed frame (an item at an instant) or the min/max envelope of the
// task (an item over a range) and measures periods on it.
#pragma once

#include "drawing/ScaleMath.h"
#include "soundfile/SfFftParam.h"
#include "soundfile/SfInfo.h"

#include <string>

// How the pane names notes: the pitch of A in Hz and the notation (0 US, 1
// German), those of the spectrum pane above it.
struct FrameNoteNames {
    double referenceHz;
    int notation;
};

// True for an item at a single instant, whose samples are its frame; p.start
// and p.end as the spectrum pane's initial update sets them from the task.
bool IsInstant(const SfFftParam& p);

// Number of values drawn: for an instant at most 2 x screen width and Lfft,
// for a range 2 x screen width, and never more than samples holds.
int FrameDrawCount(const SfFftParam& p, int screenWidth);

// Number of values the cursor moves over: Lfft, or fewer when samples holds
// fewer (the envelope of a range, or of a long frame).
int FrameCursorCount(const SfFftParam& p);

// The largest absolute value of the first drawCount samples; 1 for a silent
// frame so that it draws as a flat line at mid-height.
float FrameAmplitude(const SfFftParam& p, int drawCount);

// The top of the percent axis: amplitude as a percentage of the full scale of
// samples of bytesPerSample bytes.
double PercentTop(float amplitude, int bytesPerSample);

// x pixel of the cursor line at index of count values on plot.
int FrameCursorX(const PlotRect& plot, int count, int index);

// The index under a click at x on plot, within count values; -1 outside plot.
int FrameIndexAt(const PlotRect& plot, int count, int x, int y);

// x pixel of the playback cursor at t seconds for a range item.
int FramePlaybackX(const PlotRect& plot, const SfFftParam& p, double rate, double t);

// The keys of the frame pane that move the cursor or set the mode or mark.
enum class FrameKey { End, Home, PreviousCrossing, NextCrossing, Left, Right, Fundamental, Mark };

// The cursor of a frame pane. mode 1 shows the fundamental frequency, mode 2
// measures between zero crossings, mode 0 between samples. mark is the one
// program-wide mark index of all frame panes; the caller keeps it and passes
// it in and out.
struct FrameCursor {
    int index = 0;
    int mode = 0;
    int mark = 0;
};

// The cursor after key over the first count values of samples.
FrameCursor StepFrameCursor(const FrameCursor& from, FrameKey key, const float* samples, int count);

// What the info text box shows after a click at index.
std::string FrameClickText(const SfInfo& info, const SfFftParam& p, int index);

// What the info text box shows after a key: the fundamental frequency (mode
// 1), the period from the mark to the cursor (other modes) or, for a range,
// the time of the cursor.
std::string FrameKeyText(const SfInfo& info, const SfFftParam& p, const FrameCursor& cursor,
                         const FrameNoteNames& names);
