// The sonagram's cells as an 8-bit image over the palette of a colour map,
// and the colour bar beside it.
#pragma once

#include "drawing/ScaleMath.h"
#include "soundfile/FftSettings.h"

#include <QImage>
#include <QString>

class QFontMetrics;
class QPainter;
struct SonagramCells;

// A W x H indexed image with the 256 entries of the map's palette, each cell
// the entry its colour index is nearest to; null when the cells have no rows
// or no columns.
QImage SonagramImage(const SonagramCells& cells, int32_t map = kMapGrey);

// The width the colour bar and its labels take right of the image.
int ColourBarWidth(const QFontMetrics& metrics);

// The colour bar of map in rect, from the background (at the bottom, lowest
// dB) to the loudest cells (at the top, highest dB), with ticks and labels
// in dB right of it and the unit above.
void DrawColourBar(QPainter& painter, const PlotRect& rect, int32_t map, float lowest,
                   float highest, const QString& unit);
