#include "sonagram/ui/SonagramImage.h"

#include "drawing/ScaleMath.h"
#include "sonagram/ColourMaps.h"
#include "sonagram/SonagramCells.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kBarWidth = 10;
constexpr int kGap = 4;

} // namespace

QImage SonagramImage(const SonagramCells& cells, int32_t map) {
    if (cells.width <= 0 || cells.height <= 0 ||
        cells.index.size() != size_t(cells.width) * size_t(cells.height))
        return QImage();
    const ColourTable& table = ColourMapPalette(map);
    QImage image(cells.width, cells.height, QImage::Format_Indexed8);
    if (image.isNull())
        return image;
    QList<QRgb> colours;
    colours.reserve(256);
    for (const PaletteColour& c : table)
        colours.push_back(qRgb(c.red, c.green, c.blue));
    image.setColorTable(colours);
    const std::vector<uint8_t> bytes = ColourImageBytes(cells, map);
    // Rows of the image are padded to whole words; the cells are not.
    for (int y = 0; y < cells.height; ++y)
        std::memcpy(image.scanLine(y), bytes.data() + size_t(y) * cells.width, size_t(cells.width));
    return image;
}

int ColourBarWidth(const QFontMetrics& metrics) {
    return kGap + kBarWidth + 4 + metrics.horizontalAdvance("-100.0") + 2;
}

void DrawColourBar(QPainter& painter, const PlotRect& rect, int32_t map, float lowest,
                   float highest, const QString& unit) {
    const int x = rect.left + kGap;
    const int height = rect.bottom - rect.top;
    if (height <= 0)
        return;
    painter.save();
    const ColourTable& palette = ColourMapPalette(map);
    const GreyLookup lookup = BuildColourLookup(map);
    for (int y = rect.top; y < rect.bottom; ++y) {
        const int index = std::min(255, (rect.bottom - 1 - y) * 256 / height);
        const PaletteColour& c = palette[lookup[size_t(index)]];
        painter.fillRect(x, y, kBarWidth, 1, QColor(c.red, c.green, c.blue));
    }
    const QColor text = QGuiApplication::palette().color(QPalette::WindowText);
    painter.setPen(text);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(x, rect.top, kBarWidth - 1, height - 1);
    const QFontMetrics metrics(painter.font());
    const int lines = std::max(1, height / (2 * metrics.height()));
    double first = 0.0;
    double step = 0.0;
    NiceStep(lowest, highest, lines, &first, &step);
    const double span = double(highest) - lowest;
    const auto yOf = [&](double level) {
        return rect.bottom - 1 - int(std::lround((level - lowest) / span * (height - 1)));
    };
    if (step > 0.0 && span > 0.0) {
        for (double level = first; level <= highest + step * 1e-6; level += step) {
            const int y = yOf(level);
            painter.drawLine(x + kBarWidth, y, x + kBarWidth + 3, y);
            const QString label = QString::number(level, 'g', 4);
            const int top =
                std::clamp(y - metrics.height() / 2, rect.top, rect.bottom - metrics.height());
            painter.drawText(x + kBarWidth + 4, top + metrics.ascent(), label);
        }
    }
    // The unit under the bar, in the row the time labels leave free there.
    painter.drawText(x + kBarWidth + 4, rect.bottom + 2 + metrics.ascent(), unit);
    painter.restore();
}
