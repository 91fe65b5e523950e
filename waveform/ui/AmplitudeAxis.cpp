#include "waveform/ui/AmplitudeAxis.h"

#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/ScaleDrawing.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <array>
#include <charconv>
#include <cmath>

namespace {

constexpr int kTickLength = 5;
constexpr int kLabelGap = 6;

// "%.3g" of v, with a decimal point whatever the process locale.
QString PercentLabel(double v) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v,
                                      std::chars_format::general, 3);
    return QString::fromLatin1(buffer.data(), int(result.ptr - buffer.data()));
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

void DrawAmplitudeAxis(QPainter& painter, const PlotRect& rect, double peakPercent) {
    const int height = rect.bottom - rect.top;
    if (rect.right <= rect.left || height <= 0)
        return;
    SavedPainter saved(painter);
    painter.setFont(ScaleFont(*painter.device()));
    painter.setBackgroundMode(Qt::TransparentMode);
    const QPalette palette = QGuiApplication::palette();
    const QColor ink = palette.color(QPalette::WindowText);
    painter.setPen(ink);
    const QFontMetrics metrics = painter.fontMetrics();
    const int textHeight = metrics.height();
    const auto label = [&](int y, const QString& text) {
        DrawTextAt(painter, rect.left - kLabelGap - metrics.horizontalAdvance(text),
                   y - textHeight / 2, text);
    };

    // Half the height, rounded: where +peak and -peak meet in the middle. It
    // is the same row for a silent range, whose peak is 0.
    const int zero = rect.top + (height + 1) / 2;
    HorizontalStroke(painter, {palette.color(QPalette::Text), 1}, zero, rect.left, rect.right);
    label(zero, QStringLiteral("0%"));

    if (!(peakPercent > 0) || !std::isfinite(peakPercent))
        return;
    const double scale = height / (2.0 * peakPercent);
    const double step = AmplitudeStep(peakPercent, scale, textHeight);
    if (!(step > 0))
        return;
    const StrokePen tick{ink, 1};
    for (int i = 1; i * step <= peakPercent; ++i) {
        const double v = i * step;
        const int offset = int(v * scale);
        HorizontalStroke(painter, tick, zero - offset, rect.left - 1, rect.left - 1 - kTickLength);
        label(zero - offset, PercentLabel(v));
        HorizontalStroke(painter, tick, zero + offset, rect.left - 1, rect.left - 1 - kTickLength);
        label(zero + offset, PercentLabel(-v));
    }
}
