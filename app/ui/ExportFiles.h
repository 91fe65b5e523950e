// File > Export Data and Export Image: the numbers and the picture of an
// analysis window written to a file the user chooses. The save dialog opens
// in the folder of the last export; a write error is told in a message box.
#pragma once

#include "drawing/DelimitedTable.h"

#include <QString>
#include <functional>

class CBaseScrollView;
class QWidget;
class ViewServices;

// Asks for a table file and writes table there (see WriteTableFile); parent
// carries the dialog. False when nothing was written.
bool ExportTable(const DataTable& table, QWidget* parent, ViewServices& services);

// Writes table to path in the format its extension names (a path without
// .csv, .tsv or .txt gets .csv), never over the sound file it describes, and
// remembers the folder for the next dialog. False after telling the user why
// nothing was written.
bool WriteTableFile(const DataTable& table, const QString& path, ViewServices& services);

// Asks for a table file (.csv, or .tsv/.txt for tabs) and writes the view's
// table there. False when nothing was written.
bool ExportViewData(CBaseScrollView& view, ViewServices& services);

// Writes the view's table to path in the format its extension names (a path
// without .csv, .tsv or .txt gets .csv); remembers its folder for the next
// dialog. False after telling the user why nothing was written.
bool WriteViewData(CBaseScrollView& view, const QString& path, ViewServices& services);

// Asks for an image file (.png, .svg, .pdf or .bmp) and writes the picture of
// the view's window. False when nothing was written.
bool ExportViewImage(CBaseScrollView& view, ViewServices& services);

// Writes the picture of the window that holds view to path: .png and .bmp the
// window as the screen shows it, at the screen's pixel ratio; .svg its panes
// as vector drawing (images embedded); .pdf the printed page. A path without
// one of these extensions gets .png. False after telling the user why
// nothing was written.
bool WriteViewImage(CBaseScrollView& view, const QString& path, ViewServices& services);

// The setting that keeps the folder of the last export.
inline constexpr const char* kExportSection = "General";
inline constexpr const char* kExportFolderKey = "ExportFolder";
