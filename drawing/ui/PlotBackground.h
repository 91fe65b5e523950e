// The background every analysis window draws before its plot.
#pragma once

#include "drawing/ScaleMath.h"

class QPainter;
class QWidget;

// Fills the window's client area in its menu colour and the plot rectangle in
// its window colour, and outlines the rectangle with the painter's pen. The
// rectangle's pixels are left .. right - 1 and top .. bottom - 1; the scales
// put their ticks just outside them.
void DrawPlotBackground(QPainter& painter, const QWidget& window, const PlotRect& rect);
