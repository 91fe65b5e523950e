// The drawing arithmetic of the spectrum pane: which bins and levels a drawing
// shows, where curve, cursor, harmonic marks and selection box go, and how the
// cursor moves over the bins. Pixels only; the pane turns them into drawing.
#pragma once

#include "drawing/FrequencyAxis.h"
#include "drawing/ScaleMath.h"
#include "soundfile/SfFftParam.h"

#include <cstdint>
#include <optional>
#include <vector>

// The bins i0 .. i1 - 1 that a drawing shows; count = i1 - i0 is at least 1.
struct BinRange {
    int i0 = 0;
    int i1 = 1;
    int count = 1;
};

// The levels at the bottom (lo) and top (hi) edge of the plot.
struct LevelRange {
    float lo = 0.0f;
    float hi = 0.0f;
};

// What one drawing of the spectrum pane settled: the plot rectangle, the bins
// and the levels. The pane keeps it for the mouse and the keys until the next
// drawing.
struct SpectrumGeometry {
    PlotRect plot{28, 4, 28, 4};
    BinRange bins;
    LevelRange levels;
    double rate = 0.0; // frames per second of the item's file
    // The frequency axis: linear (stated) unless XScale asks for Log or Bark;
    // binHz the width of a bin.
    FreqAxisKind xAxis = FreqAxisKind::Linear;
    double binHz = 0.0;
};

// The axis of a non-linear drawing over its bins, from i0 (a log axis from
// one bin and 20 Hz) to i1 bins.
FrequencyAxis SpectrumAxis(const SpectrumGeometry& g);

// Bins of the frequency range: the whole band when xScale has Auto, else
// Fmin .. Fmax of p, cut at half the sample rate and widened to one bin at
// least. Stores the range snapped to the bins in p.Fmin and p.Fmax.
BinRange SpectrumBins(SfFftParam& p, uint32_t xScale, double rate);

// Levels of the drawing over bins. With Auto in yScale, the extremes of the
// shown bins (a flat curve widened by 0.99 and 1.01), stored truncated in
// p.Floor and p.Range; with a Floor of its own, Floor .. Floor + Range; with
// Floor 0, the shown bins are lowered once, in the stored spectrum, so that
// their maximum is 0, and Floor becomes -Range for every later drawing.
LevelRange SpectrumLevels(SfFftParam& p, uint32_t yScale, const BinRange& bins);

// Steps 2 and 3 of a drawing on plot: SpectrumBins, then SpectrumLevels.
SpectrumGeometry LayOutSpectrum(SfFftParam& p, uint32_t xScale, uint32_t yScale, double rate,
                                const PlotRect& plot);

// Points of the shown bins of values (the spectrum or its smoothed curve);
// empty when values does not hold them all.
std::vector<PlotPoint> SpectrumCurve(const std::vector<float>& values, const SpectrumGeometry& g);

// x pixel of the cursor line at bin; at or left of the plot's left edge no
// line is drawn.
int SpectrumCursorX(const SpectrumGeometry& g, int bin);

// Where a click without Ctrl puts the cursor.
struct CursorPlace {
    int bin;
    int x;
};
// The bin under (x, y) and the x of its cursor line; none outside the plot.
std::optional<CursorPlace> PlaceSpectrumCursor(const SpectrumGeometry& g, int x, int y);

// The corner at which a box starts when the button goes down at (x, y): the
// point itself inside the plot, else the plot's upper-left corner.
PlotPoint BoxAnchor(const SpectrumGeometry& g, int x, int y);

// x pixels of the harmonic marks of f0 (f0, 2 f0, ... below Fmax), first
// harmonic first; none when f0 is not positive.
std::vector<int> HarmonicMarkXs(const SfFftParam& p, const SpectrumGeometry& g, double f0);

// Stores the box dragged from corner a to corner b, cut to the plot, as
// frequencies and levels in p, and sets kFftBoxDefined (a box of no size too).
// Levels come from the levels drawn, so a box drawn from them again lands on
// the dragged pixels whatever Floor and Range hold.
void StoreSpectrumBox(SfFftParam& p, const SpectrumGeometry& g, PlotPoint a, PlotPoint b);

// The pixel rectangle of the box stored in p, for drawing it.
PlotRect SpectrumBoxPixels(const SfFftParam& p, const SpectrumGeometry& g);

// The first bin below (direction < 0) or above (direction > 0) bin c, within
// the shown bins and not at their edges, that lies above threshold and above
// both neighbours; none when there is no such bin.
std::optional<int> FindSpectrumPeak(const std::vector<float>& spectrum, const BinRange& bins, int c,
                                    int direction, float threshold);

// Offset in bins, from -0.5 to 0.5, of the vertex of the parabola through bins
// i - 1, i and i + 1; 0 unless bin i is a peak with a bin on either side.
double ParabolicOffset(const std::vector<float>& spectrum, int i);

// Frequency in Hz of the cursor at p.view.cursorBin, refined by the parabolic
// offset in peak mode.
double SpectrumCursorFrequency(const SfFftParam& p, double rate, bool peakMode);

// The cursor keys of the spectrum pane.
enum class SpectrumKey { Left, Right, Home, End, Up, Down, PeakLeft, PeakRight, Harmonics };

struct SpectrumCursor {
    int bin = 0;
    int markerY = 0; // height of the harmonic marks
    bool peakMode = false;
    bool harmonics = false;
};

// The cursor after key. A peak search looks for bins above the lowest level
// drawn: that is Floor for a fixed dB scale, and for linear magnitudes (whose
// Floor counts in dB) the bottom of what the user sees.
SpectrumCursor StepSpectrumCursor(const SpectrumCursor& from, SpectrumKey key,
                                  const std::vector<float>& spectrum, const SpectrumGeometry& g);
