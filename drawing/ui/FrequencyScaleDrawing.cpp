#include "drawing/ui/FrequencyScaleDrawing.h"

#include "drawing/ui/ScaleDrawing.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <cmath>

namespace {

// A label on the plot's base colour, so that it reads over an image.
void BoxedText(QPainter& painter, int x, int y, const QString& text) {
    const QFontMetrics metrics(painter.font());
    const QRect box(x, y, metrics.horizontalAdvance(text) + 2, metrics.height());
    painter.fillRect(box, QGuiApplication::palette().color(QPalette::Base));
    painter.drawText(box, Qt::AlignCenter, text);
}

} // namespace

void DrawFrequencyTicks(QPainter& painter, const PlotRect& rect, const FrequencyAxis& axis,
                        double referencePitch, int notation, bool gridLines) {
    painter.save();
    const QColor text = QGuiApplication::palette().color(QPalette::WindowText);
    const QFontMetrics metrics(painter.font());
    const int lineHeight = metrics.height();
    const int height = rect.bottom - rect.top;
    int lastLabelTop = rect.bottom + lineHeight; // the label below, none yet
    for (const AxisTick& tick : axis.Ticks(referencePitch, notation)) {
        const int y = rect.bottom - 1 - int(std::lround(tick.position * (height - 1)));
        if (y < rect.top || y >= rect.bottom)
            continue;
        painter.setPen(text);
        painter.drawLine(rect.left - 5, y, rect.left - 1, y);
        if (gridLines) {
            painter.setPen(QColor(128, 128, 128));
            for (int x = rect.left; x < rect.right; x += 5)
                painter.drawPoint(x, y);
        }
        // Labels stay clear of each other and of the unit in the plot's
        // corner; a Bark tick's Hz, which lies over the image, leaves a line
        // free between labels.
        const int top = y - lineHeight / 2;
        const int room = tick.beside.empty() ? lineHeight : 2 * lineHeight;
        if (top + room > lastLabelTop || top < rect.top + lineHeight)
            continue;
        lastLabelTop = top;
        painter.setPen(text);
        const QString label = QString::fromStdString(tick.label);
        painter.drawText(rect.left - 6 - metrics.horizontalAdvance(label), top + metrics.ascent(),
                         label);
        if (!tick.beside.empty())
            BoxedText(painter, rect.left + 2, top, QString::fromStdString(tick.beside));
    }
    painter.restore();
}

void DrawFrequencyTicksBelow(QPainter& painter, const PlotRect& rect, const FrequencyAxis& axis,
                             bool gridLines) {
    painter.save();
    const QColor text = QGuiApplication::palette().color(QPalette::WindowText);
    const QFontMetrics metrics(painter.font());
    const int width = rect.right - rect.left;
    const QString unit = axis.Kind() == FreqAxisKind::Bark ? "Bark" : "Hz";
    const int unitLeft = rect.right - metrics.horizontalAdvance(unit);
    int lastLabelRight = rect.left - metrics.horizontalAdvance("0");
    for (const AxisTick& tick : axis.Ticks(440.0, 0)) {
        const int x = rect.left + int(std::lround(tick.position * (width - 1)));
        if (x < rect.left || x >= rect.right)
            continue;
        painter.setPen(text);
        painter.drawLine(x, rect.bottom, x, rect.bottom + 4);
        if (gridLines) {
            painter.setPen(QColor(128, 128, 128));
            for (int y = rect.top; y < rect.bottom - 1; y += 5)
                painter.drawPoint(x, y);
        }
        const QString label = QString::fromStdString(tick.label);
        const int labelWidth = metrics.horizontalAdvance(label);
        const int left = x - labelWidth / 2;
        if (left < lastLabelRight + 4 || left + labelWidth > unitLeft - 4)
            continue;
        lastLabelRight = left + labelWidth;
        painter.setPen(text);
        painter.drawText(left, rect.bottom + 2 + metrics.ascent(), label);
    }
    painter.setPen(text);
    painter.drawText(unitLeft, rect.bottom + 2 + metrics.ascent(), unit);
    painter.restore();
}

void DrawCornerUnit(QPainter& painter, const PlotRect& rect, const QString& unit) {
    painter.save();
    painter.setPen(QGuiApplication::palette().color(QPalette::WindowText));
    BoxedText(painter, rect.left + 1, rect.top + 1, unit);
    painter.restore();
}
