#include "drawing/ui/PlotCanvas.h"

#include "drawing/ui/PlotBackground.h"
#include "drawing/ui/PlotPrimitives.h"

#include <QPainter>
#include <QWidget>
#include <cmath>

namespace {

// Whole device pixels covering the window: at a ratio of 1.5 an odd width
// ends in half a pixel, which the image must hold too.
QSize DeviceSize(const QWidget& window) {
    const qreal ratio = window.devicePixelRatio();
    return QSize(int(std::ceil(window.width() * ratio)), int(std::ceil(window.height() * ratio)));
}

} // namespace

QImage PlotCanvas(const QWidget& window) {
    QImage canvas(DeviceSize(window), QImage::Format_RGB32);
    canvas.setDevicePixelRatio(window.devicePixelRatio());
    // A fractional ratio leaves the last column and row only partly inside
    // the window's rectangle; they show the window's colour, not old memory.
    canvas.fill(window.palette().color(QPalette::Window));
    return canvas;
}

bool CanvasFits(const QImage& canvas, const QWidget& window) {
    return !canvas.isNull() && canvas.devicePixelRatio() == window.devicePixelRatio() &&
           canvas.size() == DeviceSize(window);
}

void DrawCanvas(QPainter& painter, const QImage& canvas, const QRect& dirty) {
    // Drawn whole from the origin and clipped, the image lands on the device
    // pixels it was rendered for; a source rectangle scaled by a fractional
    // ratio would start between pixels and shift or smear a column.
    SavedPainter saved(painter);
    painter.setClipRect(dirty, Qt::IntersectClip);
    painter.drawImage(QPoint(0, 0), canvas);
}

bool BeginPlotImage(QImage& canvas, QPainter& painter, const QWidget& window,
                    const PlotRect& plot) {
    canvas = PlotCanvas(window);
    painter.begin(&canvas);
    painter.setPen(window.palette().color(QPalette::WindowText));
    DrawPlotBackground(painter, window, plot);
    return plot.right > plot.left && plot.bottom > plot.top;
}
