// The scale of a logarithmic, Bark or note frequency axis left of a plot, and
// a unit written in a plot's corner.
#pragma once

#include "drawing/FrequencyAxis.h"
#include "drawing/ScaleMath.h"

#include <QString>

class QPainter;

// Ticks leftward from the left edge at every tick of the axis, labels
// right-aligned left of them where they do not run into the one below, the
// second label of a Bark tick (its Hz) just inside the plot, and, with
// gridLines, grey dotted lines across the plot. The painter's font is used.
void DrawFrequencyTicks(QPainter& painter, const PlotRect& rect, const FrequencyAxis& axis,
                        double referencePitch, int notation, bool gridLines);

// The same under a plot: ticks downward from the bottom edge, labels centred
// under them where they do not run into the one before, "Hz" (or "Bark") at
// the right end.
void DrawFrequencyTicksBelow(QPainter& painter, const PlotRect& rect, const FrequencyAxis& axis,
                             bool gridLines);

// The unit of a scale in the plot's upper left corner, on the plot's base
// colour so that it reads over an image.
void DrawCornerUnit(QPainter& painter, const PlotRect& rect, const QString& unit);
