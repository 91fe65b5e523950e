// Printing analysis windows of the real program into PDF files, read back
// with poppler's tools: one page, the title, the curve or the sonagram's image
// inside the framed plot where the sound puts it, and nothing of the screen's
// cursor, block or selection.
#include "support/AppWindows.h"
#include "support/TestFiles.h"

#include "support/AnalysisFiles.h"

#include "app/shell/CMainFrame.h"
#include "app/shell/CProjectTree.h"
#include "app/shell/CSfApp.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/CBaseScrollView.h"
#include "app/ui/PrintPage.h"
#include "resources/CommandIds.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfItems.h"

#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QtTest>
#include <memory>

namespace {

constexpr int kRate = 8000;
constexpr int kRenderDpi = 100;

// Runs a poppler tool; its standard output, or a null array when it failed.
QByteArray Poppler(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QByteArray();
    const QByteArray out = process.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

bool Dark(QRgb p) {
    return qRed(p) < 40 && qGreen(p) < 40 && qBlue(p) < 40;
}

bool Red(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
}

// A shade of grey: black, white, the frame's and grid's greys.
bool Grey(QRgb p) {
    return std::abs(qRed(p) - qGreen(p)) < 10 && std::abs(qGreen(p) - qBlue(p)) < 10;
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> config_;
    std::unique_ptr<TempDir> files_;
    std::unique_ptr<CSfApp> app_;

    // A window of the kind on frames 800 .. 7200 of one second at 8000 Hz,
    // with a cursor and a block set as a user sets them. The waveform shows
    // four periods of a 5 Hz sine; the spectrum and the sonagram a 1000 Hz
    // tone over a little noise, which keeps the levels between the bins out
    // of the deep.
    CBaseScrollView* Open(int request) {
        const bool waveform = request == InsertRequest::Waveform;
        std::vector<int32_t> sound = Sine(kRate, waveform ? 5 : 1000, kRate, 20000);
        uint32_t noise = 1;
        for (int32_t& v : sound) {
            noise = noise * 1664525u + 1013904223u;
            v += waveform ? 0 : int32_t(noise >> 24) - 128;
        }
        const std::string path =
            files_->Write("tone.wav", MakeWav(MonoWav16(kRate), PcmBytes(sound, 2)));
        if (!app_->OpenHead(QString::fromStdString(path)))
            return nullptr;
        CSfHead* head = app_->Tree()->CurrentHead();
        CBaseScrollView* view = InsertWindow(*app_, *head, request, 800, 7200);
        if (!view || !QTest::qWaitForWindowExposed(CBaseFrm::Of(view)))
            return nullptr;
        view->setFocus();
        QCoreApplication::processEvents();
        // A cursor three quarters across, and for the waveform a block and
        // for the sonagram a selection up to it: none may reach the paper.
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() * 3 / 4, 20));
        if (request != InsertRequest::Spectrum)
            QTest::keyClick(view, Qt::Key_Home, Qt::ShiftModifier);
        QCoreApplication::processEvents();
        return view;
    }

private slots:
    void init() {
        config_ = std::make_unique<TempDir>();
        files_ = std::make_unique<TempDir>();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config_->Path()));
    }

    void cleanup() {
        if (app_)
            RemoveAllHeads(*app_);
        app_.reset();
        files_.reset();
        config_.reset();
    }

    void printsOnePageWithTitleAndCurve_data() {
        QTest::addColumn<int>("request");
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QString>("title");
        const int a4 = QPageSize::A4;
        const int a6 = QPageSize::A6;
        const int letter = QPageSize::Letter;
        const int portrait = QPageLayout::Portrait;
        const int landscape = QPageLayout::Landscape;
        QTest::newRow("waveform A4 portrait")
            << int(InsertRequest::Waveform) << 0 << a4 << portrait << "WAV: %1 Ch0 0.100s_0.900s";
        QTest::newRow("waveform letter landscape") << int(InsertRequest::Waveform) << 0 << letter
                                                   << landscape << "WAV: %1 Ch0 0.100s_0.900s";
        QTest::newRow("waveform A6 landscape")
            << int(InsertRequest::Waveform) << 0 << a6 << landscape << "WAV: %1 Ch0 0.100s_0.900s";
        QTest::newRow("spectrum A4 portrait") << int(InsertRequest::Spectrum) << 0 << a4 << portrait
                                              << "FFT: %1 Ch0 0.100s_0.900s lfft=2048";
        QTest::newRow("smoothed spectrum A4 landscape")
            << int(InsertRequest::Spectrum) << 1 << a4 << landscape
            << "FFT: %1 Ch0 0.100s_0.900s lfft=2048";
        QTest::newRow("sonagram A4 portrait") << int(InsertRequest::Sonagram) << 0 << a4 << portrait
                                              << "SON: %1 Ch0 0.100s_0.900s lfft=1024 ra=70";
        QTest::newRow("sonagram letter landscape")
            << int(InsertRequest::Sonagram) << 0 << letter << landscape
            << "SON: %1 Ch0 0.100s_0.900s lfft=1024 ra=70";
    }
    void printsOnePageWithTitleAndCurve() {
        QFETCH(int, request);
        QFETCH(int, method);
        QFETCH(int, paper);
        QFETCH(int, orientation);
        QFETCH(QString, title);
        {
            QtSettingsStore store;
            store.SetInt("Fft", "Method", method);
        }
        app_ = std::make_unique<CSfApp>(QStringList{"kavirel"});
        CBaseScrollView* view = Open(request);
        QVERIFY(view);

        const QString pdf = QString::fromStdString(files_->Path()) + "/page.pdf";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::PageSizeId(paper)));
        printer.setPageOrientation(QPageLayout::Orientation(orientation));
        const int dpi = printer.logicalDpiX();
        const std::optional<PlotRect> plot =
            view->PrintedPlot(printer.width(), printer.height(), dpi);
        QVERIFY(plot);
        QCOMPARE(PrintView(*view, printer), PrintOutcome::Printed);

        const QString info = QString::fromLatin1(Poppler("pdfinfo", {pdf}));
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
        const QString text =
            QString::fromUtf8(Poppler("pdftotext", {"-layout", pdf, "-"})).simplified();
        const QString path = QString::fromStdString(files_->Path()) + "/tone.wav";
        QVERIFY2(text.contains(title.arg(path)), qPrintable(text));
        // The band's top, half the rate, labels the spectrum's frequency axis.
        QVERIFY(request != InsertRequest::Spectrum || text.contains("4000Hz"));

        const QString png = QString::fromStdString(files_->Path()) + "/page";
        QVERIFY(!Poppler("pdftoppm", {"-r", QString::number(kRenderDpi), "-png", "-aa", "no",
                                      "-aaVector", "no", "-singlefile", pdf, png})
                     .isNull());
        QImage page(png + ".png");
        QVERIFY(!page.isNull());
        // The plot on the rendered page; the printable area starts at the
        // page's margin.
        const QRectF paperRect = printer.pageLayout().paintRectPixels(kRenderDpi);
        const double scale = double(kRenderDpi) / dpi;
        const QRect inner(int(paperRect.left() + plot->left * scale) + 3,
                          int(paperRect.top() + plot->top * scale) + 3,
                          int((plot->right - plot->left) * scale) - 6,
                          int((plot->bottom - plot->top) * scale) - 6);

        int highest = inner.bottom() + 1;
        int highestX = -1;
        int lowest = inner.top() - 1;
        int dark = 0;
        int red = 0;
        int longestDarkColumn = 0;
        for (int x = inner.left(); x <= inner.right(); ++x) {
            int column = 0;
            for (int y = inner.top(); y <= inner.bottom(); ++y) {
                const QRgb p = page.pixel(x, y);
                if (Dark(p)) {
                    ++dark;
                    ++column;
                    lowest = std::max(lowest, y);
                    if (y < highest) {
                        highest = y;
                        highestX = x;
                    }
                }
                red += Red(p);
            }
            longestDarkColumn = std::max(longestDarkColumn, column);
        }
        QVERIFY(dark > inner.width() / 2);
        // Nothing of the screen's colours or inversions: greys, and red for
        // the smoothed curve.
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                QVERIFY2(Grey(page.pixel(x, y)) || (method == 1 && Red(page.pixel(x, y))),
                         qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
        QCOMPARE(red > 0, method == 1 && request == InsertRequest::Spectrum);
        if (request == InsertRequest::Waveform) {
            // Four periods across the plot: the curve reaches nearly to the
            // top and bottom and runs from edge to edge, and no column is dark
            // over half its height, as the block and the cursor would be.
            QVERIFY(highest < inner.top() + inner.height() / 8);
            QVERIFY(longestDarkColumn < inner.height() / 2);
            QVERIFY(lowest > inner.bottom() - inner.height() / 8);
            for (const int x : {inner.left(), inner.right()}) {
                bool curve = false;
                for (int y = inner.top(); y <= inner.bottom(); ++y)
                    curve = curve || Dark(page.pixel(x, y));
                QVERIFY(curve);
            }
        } else if (request == InsertRequest::Sonagram) {
            // The image above a level strip, half an inch high on upright
            // paper and two thirds of an inch sideways. The tone, 1000 Hz on
            // a band of 0 .. 4000 Hz, is one dark row across the image a
            // quarter of its height above its bottom; its even level is a
            // line across the strip, clear of the strip's edges. A cursor or
            // selection would darken whole columns.
            QVERIFY(longestDarkColumn < inner.height() / 2);
            const int strip = printer.width() < printer.height() ? dpi / 2 : 2 * (dpi / 3);
            const int stripTop = int(paperRect.top() + (plot->bottom - strip) * scale);
            const int imageTop = int(paperRect.top() + plot->top * scale);
            const int toneY = imageTop + (stripTop - imageTop) * 3 / 4;
            const auto across = [&](int y) {
                int count = 0;
                for (int x = inner.left(); x <= inner.right(); ++x)
                    count += Dark(page.pixel(x, y));
                return count > inner.width() * 9 / 10;
            };
            int toneRows = 0;
            for (int y = inner.top(); y < stripTop - 2; ++y) {
                if (across(y)) {
                    ++toneRows;
                    QVERIFY2(std::abs(y - toneY) <= 3, qPrintable(QString("row %1").arg(y)));
                }
            }
            QVERIFY(toneRows > 0);
            bool stripLine = false;
            for (int y = stripTop - 1; y <= stripTop + 1; ++y)
                stripLine = stripLine || across(y);
            QVERIFY(stripLine);
            int curveColumns = 0;
            for (int x = inner.left(); x <= inner.right(); ++x) {
                bool curve = false;
                for (int y = stripTop + 3; y <= inner.bottom(); ++y)
                    curve = curve || Dark(page.pixel(x, y));
                curveColumns += curve;
            }
            QVERIFY(curveColumns > inner.width() * 9 / 10);
        } else {
            // The tone's peak, 1000 Hz on a band of 0 .. 4000 Hz, touches the
            // top of the levels a quarter of the way across; the cursor line
            // three quarters across is not there.
            QVERIFY(highest < inner.top() + 4);
            QVERIFY(std::abs(highestX - (inner.left() + inner.width() / 4)) < inner.width() / 50);
            for (int x = inner.left() + inner.width() * 2 / 3; x <= inner.right(); ++x) {
                int column = 0;
                for (int y = inner.top(); y <= inner.bottom(); ++y)
                    column += Dark(page.pixel(x, y));
                QVERIFY(column < inner.height() / 2);
            }
        }
    }
};

QTEST_MAIN(PrintTest)
#include "PrintTest.moc"
