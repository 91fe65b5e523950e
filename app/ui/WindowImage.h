// Pictures of a window for the user to keep: a BMP file or the clipboard.
#pragma once

#include <QString>

class QWidget;

// The window, frame included, as a BMP file; asks for the path when none is
// given. False when nothing was written.
bool SaveWindowBmp(QWidget* window, QString path = QString());
// The window's client area as a picture on the clipboard.
void CopyWindowToClipboard(QWidget* window);
