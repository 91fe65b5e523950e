#include "drawing/ui/PlotBackground.h"

#include "drawing/ui/PlotPrimitives.h"

#include <QPainter>
#include <QWidget>

void DrawPlotBackground(QPainter& painter, const QWidget& window, const PlotRect& rect) {
    SavedPainter saved(painter);
    const QPalette& palette = window.palette();
    painter.fillRect(window.rect(), palette.color(QPalette::Window));
    const QRect plot(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
    if (plot.isEmpty())
        return;
    painter.fillRect(plot, palette.color(QPalette::Base));
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // An outlined QRect covers one pixel more than its size in each direction.
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
}
