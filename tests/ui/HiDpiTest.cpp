// Every analysis window on a screen of twice the pixels and under a dark
// desktop theme: plots rendered at the screen's full resolution, strips
// repainted from the same pixels a whole repaint shows, curves and labels
// that stand out from a dark plot.
#include "support/AnalysisFiles.h"
#include "support/AppWindows.h"

#include "app/shell/CProjectTree.h"
#include "app/shell/CSfApp.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/WindowImage.h"
#include "resources/CommandIds.h"
#include "sonagram/ui/CSonFrm.h"
#include "sonagram/ui/CSonScrollView.h"
#include "sonagram/ui/CSonScrollView2.h"
#include "soundfile/SfItems.h"
#include "spectrum/ui/CFftFrm.h"
#include "spectrum/ui/CFftScrollView.h"
#include "spectrum/ui/CFftScrollView2.h"
#include "waveform/ui/CHeadWnd.h"

#include <QPalette>
#include <QStyleFactory>
#include <QtTest>
#include <memory>

namespace {

constexpr uint32_t kRate = 8000;

enum class Kind { Head, Waveform, Spectrum, Sonagram };

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(24, 24, 26));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(45, 45, 48));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    return dark;
}

// A colour that is no grey: only the curves of sound are drawn in one.
bool Coloured(QColor c) {
    return c.hsvSaturation() > 60;
}

// Whether the 2 x 2 block of device pixels at (x, y) holds more than one
// colour: drawn at half the resolution and doubled, none ever does.
bool FineBlock(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
           image.pixel(x + 1, y + 1) != p;
}

} // namespace

class HiDpiTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> config_;
    std::unique_ptr<TempDir> files_;
    std::unique_ptr<CSfApp> app_;

    // The panes of a window of kind over frames 800 .. 7200 of a 1000 Hz
    // tone that swells from silence, so that every curve has a shape.
    QList<QWidget*> Open(Kind kind) {
        std::vector<int32_t> sound = Sine(kRate, 1000, kRate, 20000);
        for (size_t i = 0; i < sound.size(); ++i)
            sound[i] = int32_t(sound[i] * double(i) / double(sound.size()));
        const std::string path =
            files_->Write("tone.wav", MakeWav(MonoWav16(kRate), PcmBytes(sound, 2)));
        app_ = std::make_unique<CSfApp>(QStringList{"kavirel"});
        if (!app_->OpenHead(QString::fromStdString(path)))
            return {};
        CSfHead* head = app_->Tree()->CurrentHead();
        SetHeadTask(*head, 800, 7200);
        if (kind == Kind::Head) {
            // No selection: its inversion would hide the curve's own colour.
            SetHeadTask(*head, 0, 0);
            app_->HeadWindow()->Refresh();
            QCoreApplication::processEvents();
            return {app_->HeadWindow()};
        }
        const int request = kind == Kind::Waveform   ? InsertRequest::Waveform
                            : kind == Kind::Spectrum ? InsertRequest::Spectrum
                                                     : InsertRequest::Sonagram;
        QTreeWidgetItem* node = app_->Tree()->FindNode(head);
        app_->InsertItem(request, head);
        if (node->childCount() != 1)
            return {};
        auto* view = qobject_cast<QWidget*>(app_->Tree()->ItemOf(node->child(0))->GetWindow());
        CBaseFrm* frame = view ? CBaseFrm::Of(view) : nullptr;
        if (!frame || !QTest::qWaitForWindowExposed(frame))
            return {};
        QCoreApplication::processEvents();
        if (auto* fft = qobject_cast<CFftFrm*>(frame))
            return {fft->SpectrumPane(), fft->FramePane()};
        if (auto* son = qobject_cast<CSonFrm*>(frame))
            return {son->ImagePane(), son->LevelPane()};
        return {view};
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
        QApplication::setPalette(QApplication::style()->standardPalette());
        files_.reset();
        config_.reset();
    }

    void plotsUseEveryPixelAndStayReadable_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("curves");
        const struct {
            const char* name;
            Kind kind;
            int curves; // panes with a curve of sound
        } kinds[] = {{"head", Kind::Head, 1},
                     {"waveform", Kind::Waveform, 1},
                     {"spectrum", Kind::Spectrum, 2},
                     {"sonagram", Kind::Sonagram, 1}};
        for (const auto& k : kinds)
            for (bool dark : {false, true})
                QTest::newRow(QByteArray(k.name) + (dark ? " dark" : " light"))
                    << int(k.kind) << dark << k.curves;
    }

    void plotsUseEveryPixelAndStayReadable() {
        QFETCH(int, kind);
        QFETCH(bool, dark);
        QFETCH(int, curves);
        if (dark)
            QApplication::setPalette(DarkPalette());
        const QList<QWidget*> panes = Open(Kind(kind));
        QVERIFY(!panes.isEmpty());
        int panesWithCurve = 0;
        for (QWidget* pane : panes) {
            QCOMPARE(pane->devicePixelRatio(), 2.0);
            const QImage shown = pane->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shown.size(), pane->size() * 2);

            // Text and curves drawn at the screen's resolution leave blocks of
            // two colours; a plot drawn at half of it and doubled, none.
            int fine = 0;
            for (int y = 0; y + 1 < shown.height(); y += 2)
                for (int x = 0; x + 1 < shown.width(); x += 2)
                    fine += FineBlock(shown, x, y);
            QVERIFY2(fine > 100, qPrintable(QString("%1 fine blocks").arg(fine)));

            // A strip repainted alone, starting at an odd pixel, matches the
            // whole window's pixels.
            const QRect strip(pane->width() / 3 | 1, 0, 45, pane->height());
            QImage part(shown.size(), QImage::Format_RGB32);
            part.setDevicePixelRatio(2);
            part.fill(Qt::magenta);
            pane->render(&part, QPoint(), QRegion(strip), QWidget::DrawChildren);
            // The region lands at the image's origin.
            QCOMPARE(part.copy(QRect(QPoint(0, 0), strip.size() * 2)),
                     shown.copy(QRect(strip.topLeft() * 2, strip.size() * 2)));

            // Labels and ticks in the text colour of the margin, curves in a
            // colour of their own that stands out from the plot.
            const QPalette& palette = pane->palette();
            const int base = palette.color(QPalette::Base).lightness();
            int text = 0;
            int curve = 0;
            int faint = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x) {
                    const QColor c = shown.pixelColor(x, y);
                    text += c == palette.color(QPalette::WindowText);
                    if (Coloured(c))
                        ++(std::abs(c.lightness() - base) > 90 ? curve : faint);
                }
            QVERIFY2(text > 200, qPrintable(QString("%1 text pixels").arg(text)));
            QVERIFY2(faint <= curve / 10,
                     qPrintable(QString("curve %1, faint %2").arg(curve).arg(faint)));
            panesWithCurve += curve > 200;
        }
        QCOMPARE(panesWithCurve, curves);

        // The saved picture of an analysis window is the window as the
        // screen shows it, every one of its pixels.
        if (Kind(kind) != Kind::Head) {
            QWidget* frame = CBaseFrm::Of(panes.front());
            const QString path = QString::fromStdString(files_->Path() + "/window.bmp");
            QVERIFY(SaveWindowBmp(frame, path));
            QCOMPARE(QImage(path).size(), frame->size() * 2);
        }
    }
};

int main(int argc, char** argv) {
    // A screen of twice the pixels in each direction, as a desktop at 200 %.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HiDpiTest.moc"
