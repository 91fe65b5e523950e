// The 16-pixel node images of the project tree, drawn by the program.
#pragma once

#include <QIcon>

// The image of an item kind: a waveform glyph for a head (kind 0), a grey
// grid for a sonagram (2), a spectrum curve for a spectrum (3) and a
// waveform (5).
QIcon TreeIcon(int kind);
