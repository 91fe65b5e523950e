// The off-screen images the analysis windows render their static plots into,
// once per size, before cursors and selections are inverted over them.
#pragma once

#include "drawing/ScaleMath.h"

#include <QImage>

class QPainter;
class QRect;
class QWidget;

// A blank plot image for window: its size in the window's own coordinates at
// the device pixel ratio of the screen it shows on, so that a painter on it
// draws in the window's coordinates while lines, text and sonagram cells get
// every pixel a HiDPI screen has.
QImage PlotCanvas(const QWidget& window);

// Whether canvas is still the plot image the window needs: made for its
// present size on a screen of its present pixel ratio.
bool CanvasFits(const QImage& canvas, const QWidget& window);

// Copies the part dirty (window coordinates) of canvas onto the window's
// painter pixel for pixel, at any pixel ratio, fractional ones included.
void DrawCanvas(QPainter& painter, const QImage& canvas, const QRect& dirty);

// Starts a fresh plot image for window: makes canvas its blank canvas, begins
// painter on it with the window's text pen and draws the background and
// outline of plot. Returns whether plot has room inside its outline for
// scales and curves.
bool BeginPlotImage(QImage& canvas, QPainter& painter, const QWidget& window, const PlotRect& plot);
