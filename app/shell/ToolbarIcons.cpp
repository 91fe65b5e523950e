#include "app/shell/ToolbarIcons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <functional>

namespace {

// Draws into a square of side 1 scaled to the pixmap.
using Drawing = std::function<void(QPainter&)>;

class PaintedIconEngine : public QIconEngine {
public:
    explicit PaintedIconEngine(Drawing drawing) : drawing_(std::move(drawing)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, ratio));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        const int side = qMax(1, qRound(qMin(size.width(), size.height()) * scale));
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        {
            QPainter p(&pixmap);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(side, side);
            drawing_(p);
        }
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pixmap = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QIconEngine* clone() const override { return new PaintedIconEngine(drawing_); }

private:
    Drawing drawing_;
};

QIcon Themed(const char* name, Drawing drawing) {
    return QIcon::fromTheme(name, QIcon(new PaintedIconEngine(std::move(drawing))));
}

// Outlines keep about one pixel at 16 pixels and grow with the icon.
constexpr qreal kLine = 1.0 / 16;

} // namespace

QIcon OpenFileIcon() {
    return Themed("document-open", [](QPainter& p) {
        p.setPen(QPen(QColor(120, 80, 10), kLine));
        p.setBrush(QColor(230, 180, 70));
        QPainterPath back;
        back.moveTo(0.06, 0.84);
        back.lineTo(0.06, 0.2);
        back.lineTo(0.36, 0.2);
        back.lineTo(0.44, 0.3);
        back.lineTo(0.86, 0.3);
        back.lineTo(0.86, 0.84);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(250, 215, 120));
        QPainterPath front;
        front.moveTo(0.06, 0.84);
        front.lineTo(0.2, 0.44);
        front.lineTo(0.97, 0.44);
        front.lineTo(0.86, 0.84);
        front.closeSubpath();
        p.drawPath(front);
    });
}

QIcon PrintIcon() {
    return Themed("document-print", [](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), kLine));
        // The sheet coming out on top, with a curve printed on it.
        p.setBrush(Qt::white);
        p.drawRect(QRectF(0.25, 0.06, 0.5, 0.42));
        p.setPen(QPen(QColor(0, 0, 128), kLine));
        QPainterPath curve;
        curve.moveTo(0.31, 0.34);
        curve.cubicTo(0.4, 0.1, 0.5, 0.45, 0.69, 0.18);
        p.setBrush(Qt::NoBrush);
        p.drawPath(curve);
        // The printer's body and the slot.
        p.setPen(QPen(QColor(60, 60, 60), kLine));
        p.setBrush(QColor(170, 170, 175));
        p.drawRoundedRect(QRectF(0.05, 0.4, 0.9, 0.38), 0.08, 0.08);
        p.setBrush(QColor(90, 90, 95));
        p.drawRect(QRectF(0.2, 0.66, 0.6, 0.1));
        p.setBrush(QColor(60, 170, 60));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(0.82, 0.52), 0.05, 0.05);
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(60, 60, 60), kLine));
        p.drawRect(QRectF(0.25, 0.76, 0.5, 0.18));
    });
}

QIcon AboutIcon() {
    return Themed("help-about", [](QPainter& p) {
        p.setPen(QPen(QColor(20, 60, 130), kLine));
        p.setBrush(QColor(50, 110, 200));
        p.drawEllipse(QRectF(0.05, 0.05, 0.9, 0.9));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0.5, 0.27), 0.08, 0.08);
        p.drawRoundedRect(QRectF(0.42, 0.4, 0.16, 0.42), 0.04, 0.04);
    });
}

QIcon ContextHelpIcon() {
    return Themed("help-contextual", [](QPainter& p) {
        // The pointer, with the question it asks beside it.
        QPainterPath arrow;
        arrow.moveTo(0.06, 0.04);
        arrow.lineTo(0.06, 0.74);
        arrow.lineTo(0.22, 0.6);
        arrow.lineTo(0.33, 0.86);
        arrow.lineTo(0.43, 0.81);
        arrow.lineTo(0.32, 0.56);
        arrow.lineTo(0.52, 0.56);
        arrow.closeSubpath();
        p.setPen(QPen(Qt::black, kLine));
        p.setBrush(Qt::white);
        p.drawPath(arrow);
        QPainterPath question;
        question.moveTo(0.6, 0.3);
        question.cubicTo(0.6, 0.06, 0.94, 0.06, 0.94, 0.28);
        question.cubicTo(0.94, 0.42, 0.77, 0.42, 0.77, 0.6);
        p.setPen(QPen(QColor(30, 80, 180), 2.2 * kLine, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(question);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 80, 180));
        p.drawEllipse(QPointF(0.77, 0.82), 0.07, 0.07);
    });
}
