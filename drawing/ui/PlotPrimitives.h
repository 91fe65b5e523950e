// The pixel-exact marks every plot is built from: axis-parallel strokes, dots,
// texts placed by the top of their line, and the fonts and label texts of the
// axes.
#pragma once

#include "drawing/ScaleMath.h"

#include <QColor>
#include <QFont>
#include <QPen>
#include <QRect>
#include <QString>
#include <vector>

class QPaintDevice;
class QPalette;
class QPainter;

// Restores the painter's pen, font and modes when a drawing operation ends, so
// that no state of one operation leaks into the caller's next drawing.
class SavedPainter {
public:
    explicit SavedPainter(QPainter& painter);
    ~SavedPainter();
    SavedPainter(const SavedPainter&) = delete;
    SavedPainter& operator=(const SavedPainter&) = delete;

private:
    QPainter& painter_;
};

// Colour and width of a stroke in device pixels.
struct StrokePen {
    QColor color;
    int width;
};

// Strokes are filled rectangles, not painter lines: a tick then covers exactly
// the pixels it should on every device, whatever a rasteriser does with line
// ends. A stroke runs from its first end toward its second, which it does not
// cover, so that consecutive strokes meet without overlapping; it is
// pen.width pixels thick, centred on its line.
void VerticalStroke(QPainter& painter, const StrokePen& pen, int x, int from, int to);
void HorizontalStroke(QPainter& painter, const StrokePen& pen, int y, int from, int to);
// A square of pen.width pixels centred on (x, y).
void Dot(QPainter& painter, const StrokePen& pen, int x, int y);

// The colour of every curve of sound (overviews, waveforms, spectra, levels)
// on a plot filled with the palette's base colour: dark blue on a light plot,
// a light blue where a dark theme makes the plot dark.
QColor CurveColour(const QPalette& palette);

// The plot's pixels as a Qt rectangle (right and bottom exclusive).
QRect ToQRect(const PlotRect& rect);

// One polyline through points in colour, clipped to clip.
void DrawCurve(QPainter& painter, const std::vector<PlotPoint>& points, const QColor& colour,
               const PlotRect& clip);
// The same with a pen of its own, as printed curves need one sized for the
// printer's resolution.
void DrawCurve(QPainter& painter, const std::vector<PlotPoint>& points, const QPen& pen,
               const PlotRect& clip);

// Draws text in the painter's pen colour with the top of its line at top.
void DrawTextAt(QPainter& painter, int x, int top, const QString& text);

// The margin left of a plot is narrow: rather than lose the first digits or
// the minus sign of a label at the window's edge, the labels' font shrinks
// pixel by pixel until the widest of labels fits in room, though never below
// the smallest size still legible on a screen (7 pixels).
QFont FontFitting(QFont font, const QPaintDevice& device, const std::vector<QString>& labels,
                  int room);

// The "Arial" font of the framed axes in points, so that it keeps its size on
// a printer; a sans-serif font stands in where Arial is missing.
QFont PointFont(int points);

// The label of an x-axis value: a compact time text, or the value with its unit.
QString XAxisLabel(float value, const QString& unit, bool timeLabels);

// The value in "%g" form, with a decimal point in every locale.
QString GeneralNumber(float value);
