#include "app/ui/PrintPage.h"

#include "app/ui/CBaseScrollView.h"

#include <QPainter>
#include <QPrinter>
#include <optional>

bool PlotFitsPage(const PlotRect& plot, int width, int height, int dpi) {
    return plot.left >= dpi / 2 && plot.top >= dpi / 4 && plot.right <= width &&
           plot.right - plot.left >= dpi && plot.bottom - plot.top >= dpi / 2 &&
           plot.bottom + dpi / 2 <= height;
}

namespace {

// The view's layout on the printer's page, when it prints and fits.
PrintOutcome Layout(const CBaseScrollView& view, const QPrinter& printer, PlotRect& plot) {
    const int dpi = printer.logicalDpiX();
    const std::optional<PlotRect> laid = view.PrintedPlot(printer.width(), printer.height(), dpi);
    if (!laid)
        return PrintOutcome::NothingToPrint;
    if (!PlotFitsPage(*laid, printer.width(), printer.height(), dpi))
        return PrintOutcome::PageTooSmall;
    plot = *laid;
    return PrintOutcome::Printed;
}

} // namespace

PrintOutcome PrintView(CBaseScrollView& view, QPrinter& printer) {
    PlotRect plot{};
    const PrintOutcome laid = Layout(view, printer, plot);
    if (laid != PrintOutcome::Printed)
        return laid;
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::PrinterFailed;
    view.PrintPage(painter, plot, printer.logicalDpiX());
    return painter.end() ? PrintOutcome::Printed : PrintOutcome::PrinterFailed;
}

PrintOutcome PaintPreviewPage(CBaseScrollView& view, QPrinter& printer, QPainter& painter) {
    PlotRect plot{};
    const PrintOutcome laid = Layout(view, printer, plot);
    if (laid == PrintOutcome::Printed) {
        view.PrintPage(painter, plot, printer.logicalDpiX());
    } else {
        painter.drawText(QRect(0, 0, printer.width(), printer.height()),
                         Qt::AlignCenter | Qt::TextWordWrap, PrintOutcomeText(laid));
    }
    return laid;
}

QString PrintOutcomeText(PrintOutcome outcome) {
    switch (outcome) {
    case PrintOutcome::NothingToPrint:
        return "This window has nothing to print.";
    case PrintOutcome::PageTooSmall:
        return "The page is too small for the plot with its margins and labels.\n"
               "Choose a larger paper size or landscape in Print Setup.";
    case PrintOutcome::PrinterFailed:
        return "The printer could not be opened.";
    case PrintOutcome::Printed:
        break;
    }
    return QString();
}
