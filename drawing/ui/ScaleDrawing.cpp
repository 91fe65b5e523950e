#include "drawing/ui/ScaleDrawing.h"

#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/TickRuns.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <limits>
#include <optional>

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

// The ticks of a level scale over the plot's height: about one label every
// two text lines. A plot lower than two text lines has no room for a label,
// and gets neither labels nor ticks (a step of 0).
struct LevelSteps {
    float first;
    float step;
    double scale; // pixels per unit
};

std::optional<LevelSteps> LevelStepsOf(float ymin, float ymax, const PlotRect& r, int textHeight) {
    const int height = r.bottom - r.top;
    if (!UsableRange(ymin, ymax) || height <= 0)
        return std::nullopt;
    const int intervals = textHeight > 0 ? height / (2 * textHeight) : 0;
    double niceFirst = 0.0;
    double niceStep = 0.0;
    NiceStep(ymin, ymax, intervals, &niceFirst, &niceStep);
    return LevelSteps{static_cast<float>(niceFirst), static_cast<float>(niceStep),
                      AxisScale(height, ymin, ymax)};
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
    const std::optional<LevelSteps> steps =
        LevelStepsOf(s.ymin, s.ymax, r, painter.fontMetrics().height());
    if (!steps)
        return;
    const float first = steps->first;
    const float step = steps->step;
    const StrokePen pen = MarginPen();
    const auto yOf = [&](float v) { return r.bottom - 1 - PixelOffset(v, s.ymin, steps->scale); };

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

void DrawInnerRightYScale(const InnerYScale& s) {
    QPainter& painter = s.painter;
    SavedPainter saved(painter);
    PrepareText(painter);
    const PlotRect& r = s.rect;
    const std::optional<LevelSteps> steps =
        LevelStepsOf(s.ymin, s.ymax, r, painter.fontMetrics().height());
    if (!steps)
        return;
    const StrokePen pen{s.colour, 1};
    const auto yOf = [&](float v) { return r.bottom - 1 - PixelOffset(v, s.ymin, steps->scale); };

    ForEachTick(steps->first, steps->step / 5, s.ymin, s.ymax, [&](float v, bool major) {
        HorizontalStroke(painter, pen, yOf(v), r.right - 1, r.right - 1 - (major ? 7 : 4));
    });
    const QFontMetrics metrics = painter.fontMetrics();
    const QColor back = QGuiApplication::palette().color(QPalette::Base);
    painter.setPen(s.colour);
    ForEachLabel(steps->first, 2 * steps->step, s.ymax, [&](float v) {
        const QString label = YAxisLabel(s.format, v);
        const int width = metrics.horizontalAdvance(label);
        const int left = r.right - 1 - kYLabelGap - width;
        // Within the plot, and on the plot's own colour so that it reads on
        // any grey under it.
        const int top = std::clamp(yOf(v) - metrics.height() / 2, r.top,
                                   std::max(r.top, r.bottom - metrics.height()));
        if (left < r.left)
            return;
        painter.fillRect(left - 1, top, width + 2, metrics.height(), back);
        DrawTextAt(painter, left, top, label);
    });
}
