// The percent-of-full-scale amplitude axis left of a waveform plot: a zero
// line across the plot and symmetric labels above and below it.
#pragma once

#include "drawing/ScaleMath.h"

class QPaintDevice;
class QPainter;

// The label step in percent for an axis that spans -peakPercent ..
// peakPercent at pixelsPerPercent, with labels textHeight pixels high: a
// power-of-two fraction or multiple of 100 %, chosen so that neighbouring
// labels stay at least two text lines apart. 0 when there is nothing to
// label (no peak, no height, no text height).
double AmplitudeStep(double peakPercent, double pixelsPerPercent, int textHeight);

// Draws the zero line across rect (pixels left .. right - 1, top .. bottom - 1)
// at its middle, labelled "0%", and for every step up to peakPercent a tick 5
// pixels out from the left edge above and below the zero line, each with its
// percentage right-aligned 6 pixels left of the edge. The labels use the
// scales' font, made smaller where the widest would not fit between the
// device's left edge and the plot. A peak that is not above 0 (silence, or
// nothing to draw) gives the zero line alone.
void DrawAmplitudeAxis(QPainter& painter, const PlotRect& rect, double peakPercent);

// The left edge a plot like rect needs on device so that every label of its
// axis fits whole left of it, in a font made smaller as DrawAmplitudeAxis
// makes it: rect.left when they fit there, further right when even the
// smallest labels are wider (the small percentages of a quiet frame).
int AmplitudeAxisLeft(const QPaintDevice& device, const PlotRect& rect, double peakPercent);
