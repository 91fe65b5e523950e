#include "app/shell/TreeIcons.h"

#include "soundfile/SfItems.h"

#include <QPainter>
#include <QPixmap>
#include <cmath>

namespace {

QPixmap Canvas() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon HeadIcon() {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setPen(QColor(0, 0, 128));
    p.drawRect(0, 1, 15, 13);
    p.setPen(QColor(0, 128, 0));
    for (int x = 2; x < 14; ++x) {
        const int h = int(5 * std::fabs(std::sin(x * 1.3)) + 1);
        p.drawLine(x, 8 - h, x, 7 + h);
    }
    return QIcon(pixmap);
}

QIcon SonagramIcon() {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const int grey = 40 + ((x * 3 + y * 5) % 7) * 30;
            p.fillRect(1 + 3 * x + x / 2, 2 + 3 * y, 3, 3, QColor(grey, grey, grey));
        }
    p.setPen(Qt::black);
    p.drawRect(0, 1, 14, 13);
    return QIcon(pixmap);
}

QIcon CurveIcon() {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setPen(QColor(0, 0, 128));
    p.drawLine(1, 1, 1, 14);
    p.drawLine(1, 14, 14, 14);
    p.setPen(QColor(160, 0, 0));
    QPoint previous(2, 4);
    for (int x = 3; x < 15; ++x) {
        const QPoint next(x, 4 + (x * 7) % 9);
        p.drawLine(previous, next);
        previous = next;
    }
    return QIcon(pixmap);
}

} // namespace

QIcon TreeIcon(int kind) {
    static const QIcon head = HeadIcon(), sonagram = SonagramIcon(), curve = CurveIcon();
    switch (kind) {
    case kKindHead:
        return head;
    case kKindSon:
        return sonagram;
    default:
        return curve;
    }
}
