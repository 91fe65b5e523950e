// The plain scales of the analysis windows: ticks and labels outside a plot
// that has no frame of its own, in the desktop's interface font and colours.
#pragma once

#include "drawing/ScaleMath.h"

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;
class QPaintDevice;

// A time or frequency scale under a plot.
struct XScale {
    QPainter& painter;
    PlotRect rect;
    float xmin;
    float xmax;
    QString unit;
    bool gridLines;
    // Compact time texts instead of the value followed by unit.
    bool timeLabels;
};

// A level scale left of a plot.
struct YScale {
    QPainter& painter;
    PlotRect rect;
    float ymin;
    float ymax;
    // A printf conversion of one double, such as "%g".
    const char* format;
    bool gridLines;
};

// The scale of a curve laid over a plot that has a scale of its own: it stands
// inside the plot's right edge, in the curve's colour.
struct InnerYScale {
    QPainter& painter;
    PlotRect rect;
    float ymin;
    float ymax;
    const char* format;
    QColor colour;
};

// The windows keep 15 pixel rows under a plot, and the labels start 2 rows
// down: a 13-row line, that of the classic 8-point interface font. The scales
// use the desktop's interface font; where its line is taller, as on many Linux
// desktops, it is shrunk to whole pixels until the line fits, so that no label
// loses its lower rows.
constexpr int kScaleLabelLine = 13;
QFont ScaleFont(const QPaintDevice& device);

// Draws ticks under the bottom edge, labels centred under the major steps
// (about two label widths apart) and, with gridLines, grey dotted lines up
// through the plot at the labels.
void DrawXScale(const XScale& scale);

// Draws ticks left of the left edge, labels at every second step right-aligned
// left of them and, with gridLines, grey dotted lines across the plot at the
// labels.
void DrawYScale(const YScale& scale);

// Draws ticks leftward from the right edge and labels at every second step
// left of them, each on the plot's base colour so that it reads over an
// image; the steps are those DrawYScale would choose for the same plot.
void DrawInnerRightYScale(const InnerYScale& scale);
