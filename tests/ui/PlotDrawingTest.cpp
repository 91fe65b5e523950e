#include "drawing/ui/AmplitudeAxis.h"
#include "drawing/ui/AxisDrawing.h"
#include "drawing/ui/PlotBackground.h"
#include "drawing/ui/ScaleDrawing.h"
#include "drawing/ui/TickRuns.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <QtTest>
#include <functional>
#include <limits>
#include <vector>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kAxisGrey = qRgb(64, 64, 64);
const QRgb kGridGrey = qRgb(128, 128, 128);
// The caller's pen in the framed-axis cases: text drawn in it is told apart
// from the grey strokes by its blue.
const QColor kTextBlue(0, 0, 255);
// The desktop's menu-text colour in the plain-scale cases.
const QColor kMenuText(20, 90, 30);

QImage Canvas(int width, int height, int dpi) {
    QImage image(width, height, QImage::Format_RGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    return image;
}

QFont Arial(int points) {
    return QFont(QStringLiteral("Arial"), points);
}

QString Describe(int x, int y, QRgb found, QRgb wanted) {
    return QStringLiteral("pixel (%1, %2) is %3, expected %4")
        .arg(x)
        .arg(y)
        .arg(found, 8, 16, QLatin1Char('0'))
        .arg(wanted, 8, 16, QLatin1Char('0'));
}

// The first pixel of column x, rows y0 .. y1, that is not colour; empty if none.
QString CheckColumn(const QImage& image, int x, int y0, int y1, QRgb colour) {
    for (int y = y0; y <= y1; ++y)
        if (image.pixel(x, y) != colour)
            return Describe(x, y, image.pixel(x, y), colour);
    return {};
}

QString CheckRow(const QImage& image, int y, int x0, int x1, QRgb colour) {
    for (int x = x0; x <= x1; ++x)
        if (image.pixel(x, y) != colour)
            return Describe(x, y, image.pixel(x, y), colour);
    return {};
}

QString FirstDifference(const QImage& actual, const QImage& expected) {
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return Describe(x, y, actual.pixel(x, y), expected.pixel(x, y));
    return {};
}

// The image with everything but the blue text turned white.
QImage TextLayer(const QImage& image) {
    QImage layer = image.copy();
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            const QRgb p = layer.pixel(x, y);
            if (qBlue(p) <= qRed(p))
                layer.setPixel(x, y, kWhite);
        }
    return layer;
}

// Draws text with its line's top at top, as an expected picture.
void TextAt(QImage& image, const QFont& font, const QColor& colour, int x, int top,
            const QString& text) {
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(x, top + painter.fontMetrics().ascent(), text);
}

int Width(const QFont& font, QImage& device, const QString& text) {
    return QFontMetrics(font, &device).horizontalAdvance(text);
}

int Height(const QFont& font, QImage& device) {
    return QFontMetrics(font, &device).height();
}

void Paint(QImage& image, const QColor& pen, const std::function<void(QPainter&)>& draw) {
    QPainter painter(&image);
    painter.setPen(pen);
    draw(painter);
}

} // namespace

class PlotDrawingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void backgroundFillsClientAreaAndPlot();
    void framedAxisAt96DpiHasThinFrameAndShortTicks();
    void framedAxisGridDotsEveryThreePixels();
    void framedAxisPlacesLabelsTitleAndBanner();
    void framedAxisGrowsWithResolution();
    void yAxisTicksAtBothEdges();
    void yAxisLabelsZeroAtBottomEdgeAndStacksTitle();
    void yAxisLabelsStartAtFirstTickAboveNonZeroMinimum();
    void verticalTitleCentredOnPlotMiddle();
    void scaleFontFitsTheLabelMargin();
    void xScaleClampsIntervalsAndPlacesMarks();
    void yScaleLabelsEverySecondStep();
    void yAxisStepWiderThanTheRangeStaysInside();
    void scaleLabelsStayInsideTheWindow();
    void lastXLabelMovesLeftAlikeAtEveryPixelRatio();
    void amplitudeLabelsFitWholeAtEveryPeakAndRatio();
    void tickRunsStayInsideTheRangeAndEnd();
    void degenerateRangesDrawNoTicks();
    void stuckFloatStepsEndTheTickRuns();
    void operationsRestoreThePainter();
};

void PlotDrawingTest::initTestCase() {
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::WindowText, kMenuText);
    QGuiApplication::setPalette(palette);
    QVERIFY(QFontInfo(Arial(10)).family().contains(QStringLiteral("Liberation Sans")) ||
            QFontInfo(Arial(10)).family() == QStringLiteral("Arial"));
}

void PlotDrawingTest::backgroundFillsClientAreaAndPlot() {
    QWidget window;
    window.resize(200, 100);
    QPalette palette = window.palette();
    const QColor menu(10, 20, 30);
    const QColor base(200, 210, 220);
    palette.setColor(QPalette::Window, menu);
    palette.setColor(QPalette::Base, base);
    window.setPalette(palette);
    QImage image = Canvas(200, 100, 96);
    Paint(image, Qt::red, [&](QPainter& p) {
        DrawPlotBackground(p, window, PlotRect{28, 4, 196, 85});
    });

    const QRgb red = qRgb(255, 0, 0);
    QCOMPARE(image.pixel(0, 0), menu.rgb());
    QCOMPARE(image.pixel(199, 99), menu.rgb());
    QCOMPARE(image.pixel(27, 50), menu.rgb());
    QCOMPARE(image.pixel(196, 50), menu.rgb());
    QCOMPARE(image.pixel(100, 3), menu.rgb());
    QCOMPARE(image.pixel(100, 85), menu.rgb());
    // The outline runs on the rectangle's first and last pixels, left .. right - 1.
    QString miss = CheckColumn(image, 28, 4, 84, red);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
    miss = CheckColumn(image, 195, 4, 84, red);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
    miss = CheckRow(image, 4, 28, 195, red);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
    miss = CheckRow(image, 84, 28, 195, red);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
    QCOMPARE(image.pixel(29, 5), base.rgb());
    QCOMPARE(image.pixel(194, 83), base.rgb());
}

void PlotDrawingTest::framedAxisAt96DpiHasThinFrameAndShortTicks() {
    // 480 pixels are 5 inches: step 20 from 20, ticks every 2 units, 6 pixels
    // per unit, so a tick at x = 60 + 6 v and a major one every 10 units.
    QImage image = Canvas(600, 300, 96);
    const PlotRect rect{60, 40, 540, 240};
    Paint(image, kTextBlue, [&](QPainter& p) {
        DrawFramedXAxis(p, rect, 0.0f, 80.0f, "Hz", QString(), false, false);
    });

    // Frame, one pixel wide.
    for (const int y : {40, 240}) {
        const QString miss = CheckRow(image, y, 60, 540, kAxisGrey);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
    }
    for (const int x : {60, 540}) {
        const QString miss = CheckColumn(image, x, 40, 240, kAxisGrey);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
    }
    QCOMPARE(image.pixel(59, 100), kWhite);
    QCOMPARE(image.pixel(61, 100), kWhite);
    QCOMPARE(image.pixel(539, 100), kWhite);
    QCOMPARE(image.pixel(541, 100), kWhite);
    QCOMPARE(image.pixel(100, 39), kWhite);
    QCOMPARE(image.pixel(100, 41), kWhite);
    QCOMPARE(image.pixel(100, 239), kWhite);

    // Minor ticks 4 pixels, major 7, from the top edge down and from the
    // bottom edge up; the bottom ones start one row inside the frame line.
    for (int v = 2; v < 80; v += 2) {
        const int x = 60 + 6 * v;
        const int length = v % 10 == 0 ? 7 : 4;
        QString miss = CheckColumn(image, x, 40, 40 + length - 1, kAxisGrey);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
        QCOMPARE(image.pixel(x, 40 + length), kWhite);
        miss = CheckColumn(image, x, 240 - length + 1, 240, kAxisGrey);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
        QCOMPARE(image.pixel(x, 240 - length), kWhite);
        // Nothing between two ticks, and no grid without the flag.
        QCOMPARE(image.pixel(x + 3, 41), kWhite);
        QCOMPARE(image.pixel(x, 100), kWhite);
    }
}

void PlotDrawingTest::framedAxisGridDotsEveryThreePixels() {
    QImage image = Canvas(600, 300, 96);
    Paint(image, kTextBlue, [&](QPainter& p) {
        DrawFramedXAxis(p, PlotRect{60, 40, 540, 240}, 0.0f, 80.0f, "Hz", QString(), true, false);
    });
    // A dotted line at each label (20, 40, 60, 80 at x 180, 300, 420, 540),
    // one dot every dpi / 30 = 3 rows from the top edge; between the ticks.
    for (const int x : {180, 300, 420}) {
        for (int y = 47; y < 234; ++y) {
            const QRgb expected = (y - 40) % 3 == 0 ? kAxisGrey : kWhite;
            QVERIFY2(image.pixel(x, y) == expected,
                     qPrintable(Describe(x, y, image.pixel(x, y), expected)));
        }
    }
    // None between the labels.
    for (int y = 47; y < 234; ++y)
        QCOMPARE(image.pixel(240, y), kWhite);
}

void PlotDrawingTest::framedAxisPlacesLabelsTitleAndBanner() {
    struct Case {
        bool timeLabels;
        QStringList labels;
    };
    const PlotRect rect{60, 40, 540, 240};
    const QString title = QStringLiteral("FFT: tone.wav Ch0 lfft=512");
    for (const Case& c : {Case{false, {"20Hz", "40Hz", "60Hz", "80Hz"}},
                          Case{true, {"20s", "40s", "1m", "1m20s"}}}) {
        QImage image = Canvas(600, 300, 96);
        Paint(image, kTextBlue, [&](QPainter& p) {
            DrawFramedXAxis(p, rect, 0.0f, 80.0f, "Hz", title, true, c.timeLabels);
        });

        QImage expected = Canvas(600, 300, 96);
        const QFont label = Arial(10);
        const int labelHeight = Height(label, expected);
        for (int i = 0; i < c.labels.size(); ++i) {
            const int x = 180 + 120 * i;
            TextAt(expected, label, kTextBlue, x - Width(label, expected, c.labels[i]) / 2,
                   239 + labelHeight / 4, c.labels[i]);
        }
        const QFont titleFont = Arial(11);
        TextAt(expected, titleFont, kTextBlue, 60, 40 - 12 * Height(titleFont, expected) / 10,
               title);
        const QFont banner = Arial(8);
        TextAt(expected, banner, kTextBlue, 60, 239 + 2 * Height(banner, expected),
               QString::fromLatin1(kPlotBanner));

        const QString miss = FirstDifference(TextLayer(image), expected);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
    }
}

void PlotDrawingTest::framedAxisGrowsWithResolution() {
    // 300 dpi: pen 3 pixels, minor ticks 11, major 21, dots every 10. The
    // 1500-pixel frame is 5 inches: step 20 from 20 again, 18.75 pixels per unit.
    QImage image = Canvas(2000, 1200, 300);
    const PlotRect rect{300, 200, 1800, 1000};
    Paint(image, kTextBlue, [&](QPainter& p) {
        DrawFramedXAxis(p, rect, 0.0f, 80.0f, "Hz", QStringLiteral("Title"), true, false);
    });

    // Frame lines three pixels wide, centred on the edges.
    QCOMPARE(image.pixel(298, 500), kWhite);
    QString miss = CheckRow(image, 500, 299, 301, kAxisGrey);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
    QCOMPARE(image.pixel(302, 500), kWhite);
    miss = CheckColumn(image, 1000, 199, 201, kAxisGrey);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
    QCOMPARE(image.pixel(1000, 202), kWhite);

    // v = 2 (minor) at x = 337, v = 10 (major) at x = 487.
    for (const auto& [x, length] : {std::pair{337, 11}, std::pair{487, 21}}) {
        miss = CheckColumn(image, x - 1, 202, 200 + length - 1, kAxisGrey);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
        miss = CheckColumn(image, x + 1, 202, 200 + length - 1, kAxisGrey);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
        QCOMPARE(image.pixel(x, 200 + length), kWhite);
        QCOMPARE(image.pixel(x - 2, 205), kWhite);
        QCOMPARE(image.pixel(x + 2, 205), kWhite);
        miss = CheckColumn(image, x, 1000 - length + 1, 998, kAxisGrey);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
        QCOMPARE(image.pixel(x, 1000 - length), kWhite);
    }

    // Dots 3 pixels square every 10 rows at the label of 20, x = 675.
    for (int y = 230; y < 970; ++y) {
        const int phase = (y - 200) % 10;
        const QRgb expected = phase == 9 || phase <= 1 ? kAxisGrey : kWhite;
        QVERIFY2(image.pixel(675, y) == expected,
                 qPrintable(Describe(675, y, image.pixel(675, y), expected)));
        QCOMPARE(image.pixel(674, y), expected);
        QCOMPARE(image.pixel(676, y), expected);
        QCOMPARE(image.pixel(677, y), kWhite);
    }

    // Point fonts follow the device: the label of 20 under its tick.
    QImage expected = Canvas(2000, 1200, 300);
    const QFont label = Arial(10);
    const int labelHeight = Height(label, expected);
    QVERIFY(labelHeight > 40);
    for (int i = 0; i < 4; ++i) {
        const QString text = QString::number(20 * (i + 1)) + "Hz";
        TextAt(expected, label, kTextBlue, 675 + 375 * i - Width(label, expected, text) / 2,
               999 + labelHeight / 4, text);
    }
    const QFont titleFont = Arial(11);
    TextAt(expected, titleFont, kTextBlue, 300, 200 - 12 * Height(titleFont, expected) / 10,
           "Title");
    const QFont banner = Arial(8);
    TextAt(expected, banner, kTextBlue, 300, 999 + 2 * Height(banner, expected),
           QString::fromLatin1(kPlotBanner));
    miss = FirstDifference(TextLayer(image), expected);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
}

void PlotDrawingTest::yAxisTicksAtBothEdges() {
    // 200 pixels at 96 dpi: n = 4, NiceStep(0, 100, 4) gives step 30 from 30.
    // Ticks every 3 units at y = 219 - 2 v; counted from 30 both ways, the
    // major ones are 30, 45, 60, 75, 90 and 15, 0.
    QImage image = Canvas(300, 300, 96);
    Paint(image, kTextBlue, [&](QPainter& p) {
        DrawYAxis(p, PlotRect{60, 20, 260, 220}, 0.0f, 100.0f, false, QString());
    });
    for (int v = 0; v <= 99; v += 3) {
        const int y = 219 - 2 * v;
        const int length = v % 15 == 0 ? 7 : 4;
        // From the left edge inward, length pixels.
        QString miss = CheckRow(image, y, 60, 60 + length - 1, kAxisGrey);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
        QCOMPARE(image.pixel(60 + length, y), kWhite);
        // From the right edge inward to right - length + 1, that end left out.
        miss = CheckRow(image, y, 260 - length + 2, 260, kAxisGrey);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
        QCOMPARE(image.pixel(260 - length + 1, y), kWhite);
        QCOMPARE(image.pixel(60, y - 1), kWhite);
        QCOMPARE(image.pixel(150, y), kWhite);
    }
    for (int y = 0; y < 21; ++y)
        QCOMPARE(image.pixel(60, y), kWhite);
}

void PlotDrawingTest::yAxisLabelsZeroAtBottomEdgeAndStacksTitle() {
    QImage image = Canvas(300, 300, 96);
    const QString title = QStringLiteral("dB");
    Paint(image, kTextBlue, [&](QPainter& p) {
        DrawYAxis(p, PlotRect{60, 20, 260, 220}, 0.0f, 100.0f, true, title);
    });

    // Grid dots every 3 pixels along the label rows: 0, 30, 60, 90.
    for (const int y : {219, 159, 99, 39}) {
        for (int x = 67; x < 254; ++x) {
            const QRgb expected = (x - 60) % 3 == 0 ? kAxisGrey : kWhite;
            QVERIFY2(image.pixel(x, y) == expected,
                     qPrintable(Describe(x, y, image.pixel(x, y), expected)));
        }
    }
    QCOMPARE(image.pixel(100, 189), kWhite);

    // Labels right-aligned a minor tick (4 pixels) left of the frame and
    // centred on their ticks; "0" on the bottom edge, though the first tick
    // is 30.
    QImage expected = Canvas(300, 300, 96);
    const QFont label = Arial(10);
    const int height = Height(label, expected);
    int labelLeft = 60;
    for (const auto& [text, y] :
         {std::pair{"0", 219}, std::pair{"30", 159}, std::pair{"60", 99}, std::pair{"90", 39}}) {
        const int x = 60 - Width(label, expected, text) - 4;
        labelLeft = std::min(labelLeft, x);
        TextAt(expected, label, kTextBlue, x, y - height / 2, text);
    }
    // The title one character per line, in 8 points, centred on a column
    // one and a half of its widest character left of the labels.
    const QFont small = Arial(8);
    const int widest = std::max(Width(small, expected, "d"), Width(small, expected, "B"));
    const int column = labelLeft - 3 * widest / 2;
    const int line = Height(small, expected);
    const int top = 20 + (220 - 2 * line - 20) / 2;
    TextAt(expected, small, kTextBlue, column - Width(small, expected, "d") / 2, top, "d");
    TextAt(expected, small, kTextBlue, column - Width(small, expected, "B") / 2, top + line, "B");

    const QString miss = FirstDifference(TextLayer(image), expected);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
}

void PlotDrawingTest::yAxisLabelsStartAtFirstTickAboveNonZeroMinimum() {
    // 96 pixels, one inch: n = 2, step 1 from 0, the first multiple above -1.
    // 48 pixels per unit: "0" at y = 115 - 48, "1" at 115 - 96; no "-1".
    QImage image = Canvas(300, 200, 96);
    Paint(image, kTextBlue, [&](QPainter& p) {
        DrawYAxis(p, PlotRect{60, 20, 260, 116}, -1.0f, 1.0f, false, QString());
    });
    QImage expected = Canvas(300, 200, 96);
    const QFont label = Arial(10);
    const int height = Height(label, expected);
    TextAt(expected, label, kTextBlue, 56 - Width(label, expected, "0"), 67 - height / 2, "0");
    TextAt(expected, label, kTextBlue, 56 - Width(label, expected, "1"), 19 - height / 2, "1");
    const QString miss = FirstDifference(TextLayer(image), expected);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
}

void PlotDrawingTest::verticalTitleCentredOnPlotMiddle() {
    // The middle of a plot from 50 to 250 is x = 150, whatever the labels.
    QImage image = Canvas(300, 200, 96);
    const QFont font = Arial(12);
    Paint(image, kTextBlue, [&](QPainter& p) {
        p.setFont(font);
        DrawVerticalTitle(p, PlotRect{50, 10, 250, 110}, 5, QStringLiteral("RMS"), true);
    });
    QImage expected = Canvas(300, 200, 96);
    const int line = Height(font, expected);
    const int top = 10 + (110 - 3 * line - 10) / 2;
    for (int i = 0; i < 3; ++i) {
        const QString c = QStringLiteral("RMS").mid(i, 1);
        TextAt(expected, font, kTextBlue, 150 - Width(font, expected, c) / 2, top + i * line, c);
    }
    const QString miss = FirstDifference(image, expected);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
}

void PlotDrawingTest::scaleFontFitsTheLabelMargin() {
    const QFont desktop = QGuiApplication::font();
    const QImage device = Canvas(1, 1, 96);
    // A small interface font is used as it is.
    QGuiApplication::setFont(Arial(8));
    QCOMPARE(QFontMetrics(Arial(8), &device).height() <= kScaleLabelLine, true);
    QCOMPARE(ScaleFont(device), Arial(8));
    // A large one shrinks to the largest whole pixel size whose line fits.
    QGuiApplication::setFont(Arial(14));
    const QFont shrunk = ScaleFont(device);
    QGuiApplication::setFont(desktop);
    QCOMPARE(shrunk.family(), QStringLiteral("Arial"));
    QVERIFY(QFontMetrics(shrunk, &device).height() <= kScaleLabelLine);
    QFont larger = shrunk;
    larger.setPixelSize(shrunk.pixelSize() + 1);
    QVERIFY(QFontMetrics(larger, &device).height() > kScaleLabelLine);

    // Drawn with it, the labels under a plot keep inside the 15 rows the
    // windows leave below it: their tops 2 rows down, their 13-row line after.
    QGuiApplication::setFont(Arial(14));
    QImage image = Canvas(100, 100, 96);
    Paint(image, Qt::black, [&](QPainter& p) {
        DrawXScale({p, PlotRect{10, 4, 90, 45}, 0, 80, "", false, false});
    });
    QGuiApplication::setFont(desktop);
    QVERIFY(!CheckRow(image, 52, 0, 99, kWhite).isEmpty());
    for (int y = 60; y < 100; ++y)
        QCOMPARE(CheckRow(image, y, 0, 99, kWhite), QString());
}

void PlotDrawingTest::xScaleClampsIntervalsAndPlacesMarks() {
    const QImage device = Canvas(1, 1, 96);
    const QFont font = ScaleFont(device);
    struct Case {
        PlotRect rect;
        float xmax;
        bool timeLabels;
        // Hand-derived from NiceStep with the clamped interval count.
        float first;
        float step;
        QStringList labels;
    };
    // 100 pixels hold fewer than 2 labels of "80Hz": n = 2, step 40. 2000
    // pixels hold far more than 10 of "160Hz": n = 10, d = 16, step 20.
    const Case cases[] = {
        {PlotRect{28, 4, 128, 85}, 80.0f, false, 40.0f, 40.0f, {"40Hz", "80Hz"}},
        {PlotRect{28, 4, 128, 85}, 80.0f, true, 40.0f, 40.0f, {"40s", "1m20s"}},
        {PlotRect{28, 4, 2028, 85},
         160.0f,
         false,
         20.0f,
         20.0f,
         {"20Hz", "40Hz", "60Hz", "80Hz", "100Hz", "120Hz", "140Hz", "160Hz"}},
    };
    for (const Case& c : cases) {
        QImage image = Canvas(2100, 120, 96);
        const int width = c.rect.right - c.rect.left;
        const int labelWidth = Width(font, image, QString::number(c.xmax) + "Hz");
        QVERIFY(width / (2 * labelWidth) < 2 || width / (2 * labelWidth) > 10);
        Paint(image, Qt::black, [&](QPainter& p) {
            DrawXScale({p, c.rect, 0.0f, c.xmax, "Hz", true, c.timeLabels});
        });

        // Ticks every step / 10 from 0 (both runs meet there), 3 pixels under
        // the bottom edge, every fifth 6; labels every step, top at bottom + 2;
        // grid dots every 5 rows from the top while above bottom - 1.
        QImage expected = Canvas(2100, 120, 96);
        QPainter painter(&expected);
        const double scale = width / static_cast<double>(c.xmax);
        const float increment = c.step / 10;
        for (int i = 0; i * increment <= c.xmax; ++i) {
            const int x = c.rect.left + static_cast<int>(i * increment * scale);
            painter.fillRect(x, 85, 1, i % 5 == 0 ? 6 : 3, kMenuText);
        }
        painter.end();
        for (int i = 0; i < c.labels.size(); ++i) {
            const int x = c.rect.left + static_cast<int>((c.first + i * c.step) * scale);
            TextAt(expected, font, kMenuText, x - Width(font, expected, c.labels[i]) / 2, 87,
                   c.labels[i]);
            for (int y = 4; y < 84; y += 5)
                expected.setPixel(x, y, kGridGrey);
        }
        const QString miss = FirstDifference(image, expected);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
    }
}

void PlotDrawingTest::yScaleLabelsEverySecondStep() {
    QImage image = Canvas(300, 400, 96);
    const QFont font = ScaleFont(image);
    const int h = Height(font, image);
    // 9 text heights make n = 4: NiceStep(0, 100, 4) gives step 30 from 30.
    // Ticks every 6 from 30, major at 30, 60, 90 and 0; labels at 30 and 90.
    const PlotRect rect{40, 10, 280, 10 + 9 * h};
    Paint(image, Qt::black, [&](QPainter& p) {
        DrawYScale({p, rect, 0.0f, 100.0f, "%.1f", true});
    });

    QImage expected = Canvas(300, 400, 96);
    const double scale = 9 * h / 100.0;
    const auto yOf = [&](int v) { return rect.bottom - 1 - static_cast<int>(v * scale); };
    QPainter painter(&expected);
    for (int v = 0; v <= 96; v += 6) {
        const int length = v % 30 == 0 ? 7 : 4;
        painter.fillRect(40 - length + 1, yOf(v), length, 1, kMenuText);
    }
    painter.end();
    for (const int v : {30, 90}) {
        const QString text = QString::number(v) + ".0";
        TextAt(expected, font, kMenuText, 40 - 6 - Width(font, expected, text), yOf(v) - h / 2,
               text);
        for (int x = 40; x < 280; x += 5)
            expected.setPixel(x, yOf(v), kGridGrey);
    }
    QString miss = FirstDifference(image, expected);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));

    // A plot lower than two text lines has no room for a label: nothing.
    QImage low = Canvas(300, 400, 96);
    Paint(low, Qt::black, [&](QPainter& p) {
        DrawYScale({p, PlotRect{40, 10, 280, 10 + 2 * h - 1}, 0.0f, 100.0f, "%g", true});
    });
    miss = FirstDifference(low, Canvas(300, 400, 96));
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
}

void PlotDrawingTest::scaleLabelsStayInsideTheWindow() {
    // The window's left and top edges lie 100 pixels into the canvas: ink
    // beyond them is what a window would cut off. Long levels in the narrow
    // margin and a label at the plot's top edge must be drawn whole.
    const struct {
        float lo, hi;
    } cases[] = {{0.0f, 250000.0f}, {-20000.0f, 99000.0f}, {27.0f, 117.0f}, {0.0f, 2.4e6f}};
    for (const auto& c : cases) {
        QImage image = Canvas(400, 260, 96);
        Paint(image, Qt::black, [&](QPainter& p) {
            p.translate(100, 100);
            DrawYScale({p, PlotRect{28, 4, 296, 145}, c.lo, c.hi, "%g", false});
        });
        const QImage text = TextLayer(image);
        bool labelled = false;
        for (int y = 0; y < text.height(); ++y)
            for (int x = 0; x < text.width(); ++x) {
                const bool ink = text.pixel(x, y) != kWhite;
                QVERIFY2(!ink || (x >= 100 && y >= 100),
                         qPrintable(Describe(x, y, text.pixel(x, y), kWhite)));
                labelled = labelled || ink;
            }
        QVERIFY(labelled);
    }
}

void PlotDrawingTest::amplitudeLabelsFitWholeAtEveryPeakAndRatio() {
    // The window's left edge is at x = 100 of the picture: a label cut there
    // leaves ink left of it. A loud frame keeps the usual 28-pixel margin.
    const struct {
        double peak;
        bool usualMargin;
    } cases[] = {{100.0, true}, {0.195, false}, {0.00305, false}, {4.77e-5, false}};
    for (int ratio : {1, 2})
        for (const auto& c : cases) {
            QImage image = Canvas(400 * ratio, 260 * ratio, 96);
            image.setDevicePixelRatio(ratio);
            PlotRect plot{28, 4, 296, 150};
            plot.left = AmplitudeAxisLeft(image, plot, c.peak);
            QVERIFY(plot.left >= 28);
            if (c.usualMargin)
                QCOMPARE(plot.left, 28);
            Paint(image, Qt::black, [&](QPainter& p) {
                p.translate(100, 100);
                DrawAmplitudeAxis(p, plot, c.peak);
            });
            int leftmost = image.width();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) != kWhite)
                        leftmost = std::min(leftmost, x);
            QVERIFY2(leftmost >= 100 * ratio && leftmost < (100 + plot.left) * ratio,
                     qPrintable(QString("peak %1 ratio %2: ink from x = %3")
                                    .arg(c.peak)
                                    .arg(ratio)
                                    .arg(leftmost)));
        }
}

void PlotDrawingTest::lastXLabelMovesLeftAlikeAtEveryPixelRatio() {
    // A plot rendered for a screen of twice the pixels has twice the image
    // pixels, but the same window width to keep the last label inside.
    const PlotRect r{28, 4, 296, 60};
    std::vector<int> lefts;
    for (int ratio : {1, 2}) {
        QImage image = Canvas(300 * ratio, 90 * ratio, 96);
        image.setDevicePixelRatio(ratio);
        Paint(image, Qt::black, [&](QPainter& p) {
            DrawXScale({p, r, 0.0f, 20000.0f, "Hz", false, false});
        });
        // The last label's left end: the rightmost run of inked columns in
        // the rows under the ticks, where only labels are.
        int left = -1;
        for (int x = image.width() - 1; x >= 0; --x) {
            bool ink = false;
            for (int y = (r.bottom + 8) * ratio; y < image.height(); ++y)
                ink = ink || image.pixel(x, y) != kWhite;
            if (ink)
                left = x;
            else if (left >= 0 && left - x > 4 * ratio)
                break;
        }
        lefts.push_back(left / ratio);
    }
    QVERIFY(lefts[0] > r.left);
    QVERIFY2(std::abs(lefts[1] - lefts[0]) <= 1,
             qPrintable(QString("last label at %1, at ratio 2 at %2").arg(lefts[0]).arg(lefts[1])));

    // In a window too narrow for it, the last label moved left would run into
    // the one before: it is left out, and no run of ink is wider than a label.
    QImage narrow = Canvas(112, 90, 96);
    Paint(narrow, Qt::black, [&](QPainter& p) {
        DrawXScale({p, PlotRect{28, 4, 108, 60}, 0.0f, 20000.0f, "Hz", false, false});
    });
    const int widest = QFontMetrics(ScaleFont(narrow), &narrow).horizontalAdvance("20000Hz");
    int runLeft = -1;
    int blank = 0;
    for (int x = 0; x <= narrow.width(); ++x) {
        bool ink = false;
        for (int y = 68; x < narrow.width() && y < narrow.height(); ++y)
            ink = ink || narrow.pixel(x, y) != kWhite;
        if (ink && runLeft < 0)
            runLeft = x;
        blank = ink ? 0 : blank + 1;
        if (runLeft >= 0 && blank > 2) {
            QVERIFY2(x - blank - runLeft < widest,
                     qPrintable(QString("ink from %1 to %2").arg(runLeft).arg(x - blank)));
            runLeft = -1;
        }
    }
}

void PlotDrawingTest::yAxisStepWiderThanTheRangeStaysInside() {
    // 60 pixels at 96 dpi: one interval; NiceStep(2.5, 17.5, 1) rounds 15 up
    // to a step of 20 with the first tick at 20, above the range. Ticks come
    // down from there every 2 but start inside it: 16 at y = 79 - 4 x 13.5.
    QImage image = Canvas(300, 100, 96);
    Paint(image, kTextBlue, [&](QPainter& p) {
        DrawYAxis(p, PlotRect{60, 20, 260, 80}, 2.5f, 17.5f, true, QString());
    });
    for (int y = 0; y < 25; ++y) {
        const QString miss = CheckRow(image, y, 0, 299, kWhite);
        QVERIFY2(miss.isEmpty(), qPrintable(miss));
    }
    // 16 is the second tick counted from 20, a minor one; 10 the fifth, major.
    QString miss = CheckRow(image, 25, 60, 63, kAxisGrey);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
    QCOMPARE(image.pixel(64, 25), kWhite);
    miss = CheckRow(image, 49, 60, 66, kAxisGrey);
    QVERIFY2(miss.isEmpty(), qPrintable(miss));
    // No label: the first lies above the range.
    for (int x = 0; x < 60; ++x)
        QCOMPARE(CheckColumn(image, x, 0, 99, kWhite), QString());
}

void PlotDrawingTest::tickRunsStayInsideTheRangeAndEnd() {
    struct Mark {
        float value;
        bool major;
        bool operator==(const Mark& o) const { return value == o.value && major == o.major; }
    };
    const auto ticks = [](float first, float increment, float lo, float hi) {
        std::vector<Mark> marks;
        ForEachTick(first, increment, lo, hi, [&](float v, bool major) {
            marks.push_back({v, major});
        });
        return marks;
    };
    // Up from the first tick, then down, each run counting from it.
    QVERIFY((ticks(5, 1, 0, 12) == std::vector<Mark>{{5, true},
                                                     {6, false},
                                                     {7, false},
                                                     {8, false},
                                                     {9, false},
                                                     {10, true},
                                                     {11, false},
                                                     {12, false},
                                                     {4, false},
                                                     {3, false},
                                                     {2, false},
                                                     {1, false},
                                                     {0, true}}));
    // A first tick above the range: only the values inside it.
    QVERIFY(
        (ticks(10, 1, 2.5f, 8) ==
         std::vector<Mark>{{8, false}, {7, false}, {6, false}, {5, true}, {4, false}, {3, false}}));
    // A first tick below the range.
    QVERIFY(
        (ticks(1, 1, 2.5f, 8) ==
         std::vector<Mark>{{3, false}, {4, false}, {5, false}, {6, true}, {7, false}, {8, false}}));
    // An increment that does not move the float: one tick, not an endless run.
    QVERIFY((ticks(1.0e8f, 1, 0, 2.0e8f) == std::vector<Mark>{{1.0e8f, true}}));
    // A run longer than any axis needs stops at the bound.
    QCOMPARE(ticks(0, 1, 0, 1.0e9f).size(), size_t(kMaxAxisMarks));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QVERIFY(ticks(nan, 1, 0, 10).empty());
    QVERIFY(ticks(0, nan, 0, 10).empty());
    QVERIFY(ticks(0, 0, 0, 10).empty());
    QVERIFY(ticks(0, -1, 0, 10).empty());

    const auto labels = [](float first, float step, float hi) {
        std::vector<float> values;
        ForEachLabel(first, step, hi, [&](float v) { values.push_back(v); });
        return values;
    };
    QVERIFY((labels(1, 2, 7) == std::vector<float>{1, 3, 5, 7}));
    QVERIFY((labels(1.0e8f, 1, 2.0e8f) == std::vector<float>{1.0e8f}));
    QVERIFY(labels(8, 2, 7).empty());
    QVERIFY(labels(1, 0, 7).empty());
    QVERIFY(labels(nan, 1, 7).empty());
}

void PlotDrawingTest::degenerateRangesDrawNoTicks() {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<float, float> ranges[] = {{5, 5}, {10, 0}, {nan, 1}, {0, inf}, {-inf, inf}};
    const PlotRect rect{60, 40, 540, 240};
    for (const auto& range : ranges) {
        const float lo = range.first;
        const float hi = range.second;
        // The framed axis keeps its frame; nothing inside it.
        QImage framed = Canvas(600, 300, 96);
        Paint(framed, kTextBlue, [&](QPainter& p) {
            DrawFramedXAxis(p, rect, lo, hi, "s", QString(), true, true);
            DrawYAxis(p, rect, lo, hi, true, QString());
        });
        QCOMPARE(framed.pixel(60, 100), kAxisGrey);
        for (int y = 41; y < 240; ++y) {
            const QString miss = CheckRow(framed, y, 61, 539, kWhite);
            QVERIFY2(miss.isEmpty(),
                     qPrintable(QStringLiteral("%1 .. %2: ").arg(lo).arg(hi) + miss));
        }
        // Below the frame only the banner, no labels; left of it no labels.
        const int bannerTop = 239 + 2 * Height(Arial(8), framed);
        for (int y = 241; y < bannerTop; ++y)
            QCOMPARE(CheckRow(framed, y, 0, 599, kWhite), QString());
        for (int x = 0; x < 60; ++x)
            QCOMPARE(CheckColumn(framed, x, 0, 299, kWhite), QString());

        QImage plain = Canvas(600, 300, 96);
        Paint(plain, Qt::black, [&](QPainter& p) {
            DrawXScale({p, rect, lo, hi, "s", true, true});
            DrawYScale({p, rect, lo, hi, "%g", true});
        });
        QCOMPARE(FirstDifference(plain, Canvas(600, 300, 96)), QString());
    }

    // A plot without width or height.
    QImage flat = Canvas(600, 300, 96);
    Paint(flat, Qt::black, [&](QPainter& p) {
        DrawXScale({p, PlotRect{60, 40, 60, 240}, 0, 10, "s", true, false});
        DrawYScale({p, PlotRect{60, 40, 540, 40}, 0, 10, "%g", true});
        DrawYAxis(p, PlotRect{60, 40, 540, 40}, 0, 10, true, QString());
    });
    QCOMPARE(FirstDifference(flat, Canvas(600, 300, 96)), QString());
}

void PlotDrawingTest::stuckFloatStepsEndTheTickRuns() {
    // Near 1e8 floats are 8 apart: a tick increment of 2 does not move a
    // value. Each run then ends after its first tick instead of turning forever
    // (until Qt Test's watchdog ends the test).
    const float lo = 1.0e8f;
    const float hi = 1.0e8f + 64.0f;
    QImage image = Canvas(300, 300, 96);
    Paint(image, kTextBlue, [&](QPainter& p) {
        DrawYAxis(p, PlotRect{60, 20, 260, 220}, lo, hi, false, QString());
    });
    int tickRows = 0;
    for (int y = 0; y < 300; ++y)
        tickRows += image.pixel(61, y) == kAxisGrey ? 1 : 0;
    QCOMPARE(tickRows, 1);

    // Every operation ends on ranges far from zero, with extent or without.
    for (const auto& range : {std::pair{lo, hi}, std::pair{3.0e38f, 3.4e38f},
                              std::pair{-3.4e38f, 3.4e38f}, std::pair{0.0f, 1.0e-38f}}) {
        const float a = range.first;
        const float b = range.second;
        QImage any = Canvas(600, 300, 96);
        Paint(any, Qt::black, [&](QPainter& p) {
            const PlotRect rect{60, 40, 540, 240};
            DrawFramedXAxis(p, rect, a, b, "s", QString(), true, true);
            DrawYAxis(p, rect, a, b, true, "T");
            DrawXScale({p, rect, a, b, "s", true, false});
            DrawYScale({p, rect, a, b, "%g", true});
        });
    }
}

void PlotDrawingTest::operationsRestoreThePainter() {
    QWidget window;
    window.resize(600, 300);
    QImage image = Canvas(600, 300, 96);
    QPainter painter(&image);
    const QPen pen(QColor(1, 2, 3), 2, Qt::DashLine);
    const QFont font(QStringLiteral("Liberation Serif"), 17);
    painter.setPen(pen);
    painter.setFont(font);
    painter.setBrush(Qt::green);
    painter.setBackgroundMode(Qt::OpaqueMode);
    const PlotRect rect{60, 40, 540, 240};

    const std::vector<std::function<void()>> operations{
        [&] { DrawPlotBackground(painter, window, rect); },
        [&] { DrawFramedXAxis(painter, rect, 0, 10, "s", "Title", true, true); },
        [&] { DrawYAxis(painter, rect, 0, 10, true, "Level"); },
        [&] { DrawVerticalTitle(painter, rect, 20, "Level", true); },
        [&] {
            DrawXScale({painter, rect, 0, 10, "s", true, true});
        },
        [&] {
            DrawYScale({painter, rect, 0, 10, "%g", true});
        },
    };
    const QPen penBefore = painter.pen();
    const QFont fontBefore = painter.font();
    QCOMPARE(penBefore.color(), pen.color());
    for (const auto& operation : operations) {
        operation();
        QCOMPARE(painter.pen(), penBefore);
        QCOMPARE(painter.font(), fontBefore);
        QCOMPARE(painter.brush(), QBrush(Qt::green));
        QCOMPARE(painter.backgroundMode(), Qt::OpaqueMode);
    }
}

QTEST_MAIN(PlotDrawingTest)
#include "PlotDrawingTest.moc"
