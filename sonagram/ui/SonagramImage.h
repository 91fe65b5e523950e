// The sonagram's cells as an 8-bit image over the grey ramp.
#pragma once

#include <QImage>

struct SonagramCells;

// A W x H indexed image with the 256 greys of the sonagram's colour table,
// each cell the table entry its colour index is nearest to; null when the
// cells have no rows or no columns.
QImage SonagramImage(const SonagramCells& cells);
