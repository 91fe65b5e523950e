// Printing an analysis window: one page with the analysis as its view draws
// it for paper, checked against the page before anything is drawn.
#pragma once

#include "drawing/ScaleMath.h"

#include <QString>

class CBaseScrollView;
class QPainter;
class QPrinter;

enum class PrintOutcome {
    Printed,
    // The view has no printed form, or nothing computed to print.
    NothingToPrint,
    // The page leaves no room for a plot with its labels; nothing was drawn.
    PageTooSmall,
    // The printer or file could not be opened.
    PrinterFailed,
};

// Whether a plot laid out at plot fits a page of width x height pixels at dpi
// with its title above (a quarter inch), its level labels left (half an inch)
// and its time labels and banner below (half an inch), and is at least an inch
// wide and half an inch high. Layouts with fixed inch margins turn empty or
// upside down on small paper.
bool PlotFitsPage(const PlotRect& plot, int width, int height, int dpi);

// Prints the view's page on printer, which must not be printing yet: asks the
// view for its layout, refuses a page that is too small, then draws.
PrintOutcome PrintView(CBaseScrollView& view, QPrinter& printer);

// Draws the view's page with painter, open on printer (a print preview's
// page), or a note on the page when there is nothing to print or no room.
PrintOutcome PaintPreviewPage(CBaseScrollView& view, QPrinter& printer, QPainter& painter);

// What to tell the user after an outcome other than Printed.
QString PrintOutcomeText(PrintOutcome outcome);
