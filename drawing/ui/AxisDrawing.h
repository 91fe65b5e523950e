// The framed axes of printed plots: a frame with dpi-scaled ticks on all four
// sides, labels in "Arial" point fonts, dotted grid lines, a title above and
// a banner line below. Sizes follow the painter's device, so a printout looks
// like the screen.
#pragma once

#include "drawing/ScaleMath.h"

#include <QString>

class QPainter;

// The banner line under every framed plot.
inline constexpr char kPlotBanner[] = "Kavirel " KAVIREL_VERSION " - tolq sound analysis";

// Draws the frame around rect with the title above it, x ticks along its top
// and bottom edges for [xmin, xmax], a label under every major step (a compact
// time when timeLabels is set, else the value followed by unit), a dotted
// vertical grid line at each label when gridLines is set, and the banner
// below. Texts are drawn in the painter's pen colour. A range without extent
// gets the frame, title and banner only.
void DrawFramedXAxis(QPainter& painter, const PlotRect& rect, float xmin, float xmax,
                     const QString& unit, const QString& title, bool gridLines, bool timeLabels);

// Draws y ticks along the left and right edges of rect for [ymin, ymax], two
// intervals per inch, labels left of the frame (the first at 0 when ymin is
// exactly 0), dotted horizontal grid lines at the labels when gridLines is
// set, and the title stacked vertically left of the labels.
void DrawYAxis(QPainter& painter, const PlotRect& rect, float ymin, float ymax, bool gridLines,
               const QString& title);

// Draws title one character per line with the painter's font, the stack
// centred between rect's top and bottom. Each character is centred on the
// middle of rect when centred is set, else on a column left of labelLeft, the
// left end of the leftmost axis label, by one and a half of the title's
// widest character.
void DrawVerticalTitle(QPainter& painter, const PlotRect& rect, int labelLeft, const QString& title,
                       bool centred);
