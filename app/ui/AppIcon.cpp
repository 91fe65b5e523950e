#include "app/ui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <cmath>

// Drawn for each size rather than scaled, so that the small icons keep
// crisp lines.
QImage ApplicationIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 52, 86));
    p.drawRoundedRect(QRectF(0, 0, s, s), s / 6, s / 6);

    // Spectrum bars along the bottom, falling off toward the high end.
    constexpr std::array<qreal, 6> bars{0.55, 0.85, 0.6, 0.4, 0.3, 0.18};
    const qreal barWidth = s * 0.8 / bars.size();
    p.setBrush(QColor(240, 160, 40));
    for (size_t i = 0; i < bars.size(); ++i) {
        const qreal h = bars[i] * s * 0.38;
        p.drawRect(
            QRectF(s * 0.1 + i * barWidth + barWidth * 0.15, s * 0.9 - h, barWidth * 0.7, h));
    }

    // A decaying burst of a tone across the upper half.
    QPainterPath wave;
    const int steps = 4 * size;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = static_cast<qreal>(i) / steps;
        const qreal y = s * 0.36 - s * 0.24 * std::exp(-2.5 * t) * std::sin(t * 6 * M_PI);
        const QPointF point(s * 0.08 + t * s * 0.84, y);
        if (i == 0)
            wave.moveTo(point);
        else
            wave.lineTo(point);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, std::max<qreal>(1.0, s / 16), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wave);
    p.end();
    return image;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(ApplicationIconImage(size)));
    return icon;
}
