#include "drawing/ui/AxisDrawing.h"

#include "drawing/ScaleMath.h"
#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/TickRuns.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <climits>

namespace {

// Everything of a framed axis that grows with the device's resolution.
struct FramedMetrics {
    int dpi;
    StrokePen pen;
    int minorTick;
    int majorTick;
    int dotSpacing;
};

FramedMetrics MetricsOf(const QPainter& painter) {
    // A device that reports no resolution counts as one dot per inch, which
    // keeps every size below positive.
    const int dpi = std::max(1, painter.device()->logicalDpiX());
    return {dpi,
            {QColor(64, 64, 64), dpi / 150 + 1},
            dpi / 30 + 1,
            dpi / 15 + 1,
            std::max(1, dpi / 30)};
}

void DrawFrame(QPainter& painter, const StrokePen& pen, const PlotRect& r) {
    VerticalStroke(painter, pen, r.left, r.bottom, r.top);
    HorizontalStroke(painter, pen, r.top, r.left, r.right);
    VerticalStroke(painter, pen, r.right, r.top, r.bottom);
    HorizontalStroke(painter, pen, r.bottom, r.right, r.left);
}

void DrawXTicksAndLabels(QPainter& painter, const FramedMetrics& m, const PlotRect& r, float xmin,
                         float xmax, const QString& unit, bool gridLines, bool timeLabels) {
    const double scale = AxisScale(r.right - r.left, xmin, xmax);
    float first = xmin;
    float step = 0.0f;
    grid(xmin, xmax, (r.right - r.left) / m.dpi, &first, &step);
    ForEachTick(first, step / 10, xmin, xmax, [&](float v, bool major) {
        const int x = r.left + PixelOffset(v, xmin, scale);
        const int length = major ? m.majorTick : m.minorTick;
        VerticalStroke(painter, m.pen, x, r.top, r.top + length);
        VerticalStroke(painter, m.pen, x, r.bottom - 1, r.bottom - length);
    });
    painter.setFont(PointFont(10));
    const QFontMetrics metrics = painter.fontMetrics();
    ForEachLabel(first, step, xmax, [&](float v) {
        const int x = r.left + PixelOffset(v, xmin, scale);
        const QString label = XAxisLabel(v, unit, timeLabels);
        DrawTextAt(painter, x - metrics.horizontalAdvance(label) / 2,
                   r.bottom - 1 + metrics.height() / 4, label);
        if (gridLines)
            for (int y = r.top; y < r.bottom - 1; y += m.dotSpacing)
                Dot(painter, m.pen, x, y);
    });
}

} // namespace

void DrawFramedXAxis(QPainter& painter, const PlotRect& rect, float xmin, float xmax,
                     const QString& unit, const QString& title, bool gridLines, bool timeLabels) {
    SavedPainter saved(painter);
    const FramedMetrics m = MetricsOf(painter);
    painter.setBackgroundMode(Qt::TransparentMode);

    painter.setFont(PointFont(11));
    DrawTextAt(painter, rect.left, rect.top - 12 * painter.fontMetrics().height() / 10, title);

    DrawFrame(painter, m.pen, rect);
    if (UsableRange(xmin, xmax) && rect.right > rect.left)
        DrawXTicksAndLabels(painter, m, rect, xmin, xmax, unit, gridLines, timeLabels);

    painter.setFont(PointFont(8));
    DrawTextAt(painter, rect.left, rect.bottom - 1 + 2 * painter.fontMetrics().height(),
               QString::fromLatin1(kPlotBanner));
}

void DrawYAxis(QPainter& painter, const PlotRect& rect, float ymin, float ymax, bool gridLines,
               const QString& title) {
    SavedPainter saved(painter);
    const FramedMetrics m = MetricsOf(painter);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(PointFont(10));
    const QFontMetrics metrics = painter.fontMetrics();

    // Without labels the title keeps to where they would end.
    int labelLeft = rect.left - m.minorTick;
    const int height = rect.bottom - rect.top;
    if (UsableRange(ymin, ymax) && height > 0) {
        const double scale = AxisScale(height, ymin, ymax);
        const auto yOf = [&](float v) { return rect.bottom - 1 - PixelOffset(v, ymin, scale); };
        double niceFirst = 0.0;
        double niceStep = 0.0;
        NiceStep(ymin, ymax, std::max(1, 2 * height / m.dpi), &niceFirst, &niceStep);
        const float first = static_cast<float>(niceFirst);
        const float step = static_cast<float>(niceStep);
        ForEachTick(first, step / 10, ymin, ymax, [&](float v, bool major) {
            const int y = yOf(v);
            const int length = major ? m.majorTick : m.minorTick;
            HorizontalStroke(painter, m.pen, y, rect.left, rect.left + length);
            HorizontalStroke(painter, m.pen, y, rect.right, rect.right - length + 1);
        });
        // A range starting at zero is labelled from its bottom edge, though
        // the first tick lies above it.
        ForEachLabel(ymin == 0.0f ? 0.0f : first, step, ymax, [&](float v) {
            const int y = yOf(v);
            const QString label = GeneralNumber(v);
            const int x = rect.left - metrics.horizontalAdvance(label) - m.minorTick;
            DrawTextAt(painter, x, y - metrics.height() / 2, label);
            labelLeft = std::min(labelLeft, x);
            if (gridLines)
                for (int dotX = rect.left; dotX < rect.right; dotX += m.dotSpacing)
                    Dot(painter, m.pen, dotX, y);
        });
    }

    painter.setFont(PointFont(8));
    DrawVerticalTitle(painter, rect, labelLeft, title, false);
}

void DrawVerticalTitle(QPainter& painter, const PlotRect& rect, int labelLeft, const QString& title,
                       bool centred) {
    const QList<uint> codePoints = title.toUcs4();
    if (codePoints.isEmpty())
        return;
    SavedPainter saved(painter);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics = painter.fontMetrics();
    QStringList characters;
    int widest = 0;
    for (const uint c : codePoints) {
        const char32_t codePoint = c;
        characters.append(QString::fromUcs4(&codePoint, 1));
        widest = std::max(widest, metrics.horizontalAdvance(characters.back()));
    }
    const int line = metrics.height();
    if (line <= 0)
        return;
    const int count = static_cast<int>(std::min<qsizetype>(characters.size(), INT_MAX / line));
    const int column =
        centred ? rect.left + (rect.right - rect.left) / 2 : labelLeft - 3 * widest / 2;
    int top = rect.top + (rect.bottom - count * line - rect.top) / 2;
    for (int i = 0; i < count; ++i, top += line)
        DrawTextAt(painter, column - metrics.horizontalAdvance(characters[i]) / 2, top,
                   characters[i]);
}
