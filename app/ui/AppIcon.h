// The application's icon, drawn by the program: a waveform over spectrum bars.
#pragma once

#include <QIcon>
#include <QImage>

// The icon at the usual window and task-bar sizes. Drawn on each call: no
// pixmap may outlive the application object, as a cached one would.
QIcon ApplicationIcon();

// The icon at one size, for the icon files installed beside the program.
QImage ApplicationIconImage(int size);
