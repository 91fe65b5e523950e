#include "drawing/ui/AmplitudeAxis.h"

#include "drawing/NumberText.h"

#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/ScaleDrawing.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr int kTickLength = 5;
constexpr int kLabelGap = 6;

// "%.3g" of v, with a decimal point whatever the process locale.
QString PercentLabel(double v) {
    return QString::fromStdString(NumberText(v, std::chars_format::general, 3));
}

} // namespace

double AmplitudeStep(double peakPercent, double pixelsPerPercent, int textHeight) {
    if (!(peakPercent > 0) || !(pixelsPerPercent > 0) || textHeight <= 0 ||
        !std::isfinite(peakPercent) || !std::isfinite(pixelsPerPercent))
        return 0.0;
    // Start from the power of two times 100 % nearest the peak, then halve it
    // as often as the labels still keep two text lines apart.
    const int k = int(std::trunc(std::log2(peakPercent / 100.0)));
    const double blockPixels = std::ldexp(100.0, k) * pixelsPerPercent;
    if (!(blockPixels > 0) || !std::isfinite(blockPixels))
        return 0.0;
    const double rows = blockPixels / (2.0 * textHeight);
    const double m = std::trunc(rows - 1.0);
    // When not even one row fits in the block (a low plot), the log of m
    // would be undefined; the step then doubles instead, to the smallest
    // multiple of the block that still keeps the labels two lines apart.
    const int j = m >= 1.0 ? int(std::log2(m)) : int(std::floor(std::log2(rows)));
    return std::ldexp(100.0, k - j);
}

namespace {

struct AxisLabels {
    std::vector<std::pair<int, QString>> labels;
    std::vector<int> ticks;
    int zero;
};

AxisLabels LabelsOf(const PlotRect& rect, double peakPercent, int textHeight) {
    const int height = rect.bottom - rect.top;
    // Half the height, rounded: where +peak and -peak meet in the middle. It
    // is the same row for a silent range, whose peak is 0.
    const int zero = rect.top + (height + 1) / 2;
    AxisLabels axis{{{zero, QStringLiteral("0%")}}, {}, zero};
    if (peakPercent > 0 && std::isfinite(peakPercent)) {
        const double scale = height / (2.0 * peakPercent);
        const double step = AmplitudeStep(peakPercent, scale, textHeight);
        for (int i = 1; step > 0 && i * step <= peakPercent; ++i) {
            const double v = i * step;
            const int offset = int(v * scale);
            axis.ticks.push_back(zero - offset);
            axis.labels.emplace_back(zero - offset, PercentLabel(v));
            axis.ticks.push_back(zero + offset);
            axis.labels.emplace_back(zero + offset, PercentLabel(-v));
        }
    }
    return axis;
}

std::vector<QString> TextsOf(const AxisLabels& axis) {
    std::vector<QString> texts;
    for (const auto& label : axis.labels)
        texts.push_back(label.second);
    return texts;
}

} // namespace

int AmplitudeAxisLeft(const QPaintDevice& device, const PlotRect& rect, double peakPercent) {
    const QFont font = ScaleFont(device);
    const int textHeight = QFontMetrics(font, &device).height();
    const std::vector<QString> texts = TextsOf(LabelsOf(rect, peakPercent, textHeight));
    const QFont fitting = FontFitting(font, device, texts, rect.left - kLabelGap);
    const QFontMetrics metrics(fitting, &device);
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return std::max(rect.left, widest + kLabelGap + 1);
}

void DrawAmplitudeAxis(QPainter& painter, const PlotRect& rect, double peakPercent) {
    const int height = rect.bottom - rect.top;
    if (rect.right <= rect.left || height <= 0)
        return;
    SavedPainter saved(painter);
    const QPaintDevice& device = *painter.device();
    QFont font = ScaleFont(device);
    const int textHeight = QFontMetrics(font, &device).height();
    const AxisLabels axis = LabelsOf(rect, peakPercent, textHeight);

    // The step was chosen with the full size, so smaller labels stay as far apart.
    painter.setFont(FontFitting(font, device, TextsOf(axis), rect.left - kLabelGap));
    painter.setBackgroundMode(Qt::TransparentMode);
    const QPalette palette = QGuiApplication::palette();
    const QColor ink = palette.color(QPalette::WindowText);
    painter.setPen(ink);
    HorizontalStroke(painter, {palette.color(QPalette::Text), 1}, axis.zero, rect.left, rect.right);
    const StrokePen tick{ink, 1};
    for (int y : axis.ticks)
        HorizontalStroke(painter, tick, y, rect.left - 1, rect.left - 1 - kTickLength);
    const QFontMetrics metrics = painter.fontMetrics();
    for (const auto& [y, text] : axis.labels)
        DrawTextAt(painter, rect.left - kLabelGap - metrics.horizontalAdvance(text),
                   y - metrics.height() / 2, text);
}
