#include "drawing/ui/ScaleDrawing.h"

#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/TickRuns.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <limits>

namespace {

constexpr int kDotSpacing = 5;

const QColor kGridGrey(128, 128, 128);

// Neighbouring time or frequency labels keep at least this much apart.
constexpr int kLabelGap = 4;

// Level labels end this far left of the plot.
constexpr int kYLabelGap = 6;

QString YAxisLabel(const char* format, float v) {
    return QString::asprintf(format, static_cast<double>(v));
}

// The scales sit in the window's menu-coloured margin, so their ticks take the
// menu-text colour of their labels and stay visible in a dark desktop theme.
StrokePen MarginPen() {
    return {QGuiApplication::palette().color(QPalette::WindowText), 1};
}

// The width of the painter's device in the coordinates the plot is drawn in:
// an image rendered for a HiDPI screen has more pixels than the window it
// stands for, a window and a printer count in their own coordinates.
int DrawnWidth(const QPaintDevice& device) {
    if (device.devType() == QInternal::Image || device.devType() == QInternal::Pixmap)
        return int(device.width() / device.devicePixelRatio());
    return device.width();
}

void PrepareText(QPainter& painter) {
    painter.setFont(ScaleFont(*painter.device()));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(QGuiApplication::palette().color(QPalette::WindowText));
}

} // namespace

QFont ScaleFont(const QPaintDevice& device) {
    QFont font = QGuiApplication::font();
    for (int pixels = kScaleLabelLine;
         pixels > 1 && QFontMetrics(font, &device).height() > kScaleLabelLine; --pixels)
        font.setPixelSize(pixels);
    return font;
}

void DrawXScale(const XScale& s) {
    QPainter& painter = s.painter;
    SavedPainter saved(painter);
    PrepareText(painter);
    const PlotRect& r = s.rect;
    const int width = r.right - r.left;
    if (!UsableRange(s.xmin, s.xmax) || width <= 0)
        return;

    const QFontMetrics metrics = painter.fontMetrics();
    const int labelWidth = metrics.horizontalAdvance(GeneralNumber(s.xmax) + s.unit);
    const int intervals = labelWidth > 0 ? std::clamp(width / (2 * labelWidth), 2, 10) : 10;
    double niceFirst = 0.0;
    double niceStep = 0.0;
    NiceStep(s.xmin, s.xmax, intervals, &niceFirst, &niceStep);
    const float first = static_cast<float>(niceFirst);
    const float step = static_cast<float>(niceStep);
    const double scale = AxisScale(width, s.xmin, s.xmax);
    const StrokePen pen = MarginPen();
    const auto xOf = [&](float v) { return r.left + PixelOffset(v, s.xmin, scale); };

    ForEachTick(first, step / 10, s.xmin, s.xmax, [&](float v, bool major) {
        VerticalStroke(painter, pen, xOf(v), r.bottom, r.bottom + (major ? 6 : 3));
    });
    const StrokePen dot{kGridGrey, 1};
    int previousRight = std::numeric_limits<int>::min();
    ForEachLabel(first, step, s.xmax, [&](float v) {
        const int x = xOf(v);
        const QString label = XAxisLabel(v, s.unit, s.timeLabels);
        // The last label may stand at the plot's right edge; it moves left
        // rather than lose its unit beyond the window, but in a narrow window
        // not into the label before it.
        const int labelWidth = metrics.horizontalAdvance(label);
        const int labelLeft =
            std::min(x - labelWidth / 2, DrawnWidth(*painter.device()) - labelWidth);
        if (labelLeft > previousRight + kLabelGap) {
            DrawTextAt(painter, labelLeft, r.bottom + 2, label);
            previousRight = labelLeft + labelWidth;
        }
        if (s.gridLines)
            for (int y = r.top; y < r.bottom - 1; y += kDotSpacing)
                Dot(painter, dot, x, y);
    });
}

void DrawYScale(const YScale& s) {
    QPainter& painter = s.painter;
    SavedPainter saved(painter);
    PrepareText(painter);
    const PlotRect& r = s.rect;
    const int height = r.bottom - r.top;
    if (!UsableRange(s.ymin, s.ymax) || height <= 0)
        return;

    const QFontMetrics metrics = painter.fontMetrics();
    const int textHeight = metrics.height();
    // A plot lower than two text lines has no room for a label, and gets
    // neither labels nor ticks.
    const int intervals = textHeight > 0 ? height / (2 * textHeight) : 0;
    double niceFirst = 0.0;
    double niceStep = 0.0;
    NiceStep(s.ymin, s.ymax, intervals, &niceFirst, &niceStep);
    const float first = static_cast<float>(niceFirst);
    const float step = static_cast<float>(niceStep);
    const double scale = AxisScale(height, s.ymin, s.ymax);
    const StrokePen pen = MarginPen();
    const auto yOf = [&](float v) { return r.bottom - 1 - PixelOffset(v, s.ymin, scale); };

    ForEachTick(first, step / 5, s.ymin, s.ymax, [&](float v, bool major) {
        HorizontalStroke(painter, pen, yOf(v), r.left, r.left - (major ? 7 : 4));
    });
    // Long levels (a linear spectrum of a loud file) in the narrow margin.
    std::vector<QString> labels;
    ForEachLabel(first, 2 * step, s.ymax,
                 [&](float v) { labels.push_back(YAxisLabel(s.format, v)); });
    const int room = r.left - kYLabelGap;
    painter.setFont(FontFitting(painter.font(), *painter.device(), labels, room));
    const QFontMetrics labelMetrics = painter.fontMetrics();

    const StrokePen dot{kGridGrey, 1};
    ForEachLabel(first, 2 * step, s.ymax, [&](float v) {
        const int y = yOf(v);
        const QString label = YAxisLabel(s.format, v);
        // A label at the plot's top edge would lose its upper half above the
        // window; it moves down until it is whole. Labels too long even in the smallest font start
        // at the window's edge and reach into the ticks, whole and readable.
        DrawTextAt(painter, std::max(0, room - labelMetrics.horizontalAdvance(label)),
                   std::max(0, y - labelMetrics.height() / 2), label);
        if (s.gridLines)
            for (int x = r.left; x < r.right; x += kDotSpacing)
                Dot(painter, dot, x, y);
    });
}
