#include "drawing/ui/PlotPrimitives.h"

#include "drawing/TimeText.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <utility>

SavedPainter::SavedPainter(QPainter& painter) : painter_(painter) {
    painter_.save();
}

SavedPainter::~SavedPainter() {
    painter_.restore();
}

namespace {

// The first pixel and the pixel count of a stroke from one end toward the other.
std::pair<int, int> Span(int from, int to) {
    if (to >= from)
        return {from, to - from};
    return {to + 1, from - to};
}

} // namespace

void VerticalStroke(QPainter& painter, const StrokePen& pen, int x, int from, int to) {
    const auto [top, count] = Span(from, to);
    if (count > 0)
        painter.fillRect(x - pen.width / 2, top, pen.width, count, pen.color);
}

void HorizontalStroke(QPainter& painter, const StrokePen& pen, int y, int from, int to) {
    const auto [left, count] = Span(from, to);
    if (count > 0)
        painter.fillRect(left, y - pen.width / 2, count, pen.width, pen.color);
}

void Dot(QPainter& painter, const StrokePen& pen, int x, int y) {
    painter.fillRect(x - pen.width / 2, y - pen.width / 2, pen.width, pen.width, pen.color);
}

void DrawTextAt(QPainter& painter, int x, int top, const QString& text) {
    painter.drawText(x, top + painter.fontMetrics().ascent(), text);
}

QFont PointFont(int points) {
    QFont font(QStringLiteral("Arial"), points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QString XAxisLabel(float value, const QString& unit, bool timeLabels) {
    if (timeLabels)
        return QString::fromStdString(FormatSeconds(value, 0));
    return GeneralNumber(value) + unit;
}

QColor CurveColour(const QPalette& palette) {
    if (palette.color(QPalette::Base).lightness() >= 128)
        return QColor(0, 0, 128);
    return QColor(110, 170, 255);
}

QRect ToQRect(const PlotRect& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void DrawCurve(QPainter& painter, const std::vector<PlotPoint>& points, const QColor& colour,
               const PlotRect& clip) {
    DrawCurve(painter, points, QPen(colour), clip);
}

void DrawCurve(QPainter& painter, const std::vector<PlotPoint>& points, const QPen& pen,
               const PlotRect& clip) {
    if (points.empty())
        return;
    std::vector<QPoint> polyline;
    polyline.reserve(points.size());
    for (const PlotPoint& point : points)
        polyline.emplace_back(point.x, point.y);
    SavedPainter saved(painter);
    painter.setClipRect(ToQRect(clip));
    painter.setPen(pen);
    painter.drawPolyline(polyline.data(), int(polyline.size()));
}

QFont FontFitting(QFont font, const QPaintDevice& device, const std::vector<QString>& labels,
                  int room) {
    constexpr int kSmallestLabelPixels = 7;
    const auto widest = [&] {
        const QFontMetrics metrics(font, &device);
        int width = 0;
        for (const QString& label : labels)
            width = std::max(width, metrics.horizontalAdvance(label));
        return width;
    };
    for (int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
         widest() > room && pixels > kSmallestLabelPixels;)
        font.setPixelSize(--pixels);
    return font;
}

QString GeneralNumber(float value) {
    return QString::number(static_cast<double>(value), 'g', 6);
}
