// The toolbar's icons: the desktop theme's where it has them, else our own,
// drawn as shapes at whatever size and pixel ratio the toolbar asks for, so
// that they stay sharp on high-density screens.
#pragma once

#include <QIcon>

QIcon OpenFileIcon();
QIcon PrintIcon();
QIcon AboutIcon();
QIcon ContextHelpIcon();
