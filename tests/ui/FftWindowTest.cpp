// The spectrum window built on real WAV files, with a fake of the program
// around it: the cursor keys and peak search on two known tones, the mouse,
// the selection box and the zoomed spectrum it gives, the data-log line,
// relative levels, the head's task, and the frame pane's period and
// fundamental-frequency measurements.
#include "app/ui/CBaseDoc.h"
#include "app/ui/QtPlaySink.h"
#include "playback/PlayNotify.h"
#include "resources/CommandIds.h"
#include "soundfile/FftScale.h"
#include "spectrum/CSfFft.h"
#include "spectrum/TaskSpectrum.h"
#include "spectrum/ZeroCrossings.h"
#include "spectrum/ui/CFftFrm.h"
#include "spectrum/ui/CFftScrollView.h"
#include "spectrum/ui/CFftScrollView2.h"
#include "spectrum/ui/SpectrumWindows.h"
#include "support/AnalysisFiles.h"
#include "support/FakeViewServices.h"

#include <QMenu>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr uint32_t kRate = 44100;
constexpr int kLfft = 4096;
constexpr uint32_t kAt = 4410; // the analysed instant, 0.1 s
const double kBinHz = double(kRate) / kLfft;
const QColor kCurve(0, 0, 128);

// One second of two equal tones, at 1000 Hz (bin 92.9) and 3000 Hz (bin 278.6).
std::vector<int32_t> TwoTones() {
    std::vector<int32_t> a = Sine(kRate, 1000, kRate, 8000);
    const std::vector<int32_t> b = Sine(kRate, 3000, kRate, 8000);
    for (size_t i = 0; i < a.size(); ++i)
        a[i] += b[i];
    return a;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons,
                      modifiers);
    QApplication::sendEvent(widget, &event);
}

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xffffff;
}

bool Inverted(const QImage& before, const QImage& after, int x, int y) {
    return Rgb(after, x, y) == (~Rgb(before, x, y) & 0xffffff);
}

// The "[%04d] %gHz" part of a spectrum info text.
bool CursorOf(const std::string& text, int* bin, double* hz) {
    const size_t open = text.rfind("\r\n[");
    return open != std::string::npos &&
           std::sscanf(text.c_str() + open, "\r\n[%d] %lfHz", bin, hz) == 2;
}

} // namespace

class FftWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void cursorKeysAndPeakSearch_data();
    void cursorKeysAndPeakSearch();
    void pixelsShowCurveCursorAndHarmonicMarks();
    void clickLeftOfThePlotKeepsTheCursorAndGivesAnEmptyBox();
    void ctrlDragMakesABoxThatANewSpectrumZoomsInto();
    void contextMenuInsertsAndShowsInfo();
    void keyWLogsTheCursorBin();
    void relativeLevelsAreNormalisedOnce();
    void repaintsLeaveTheHeadsTaskActivationPublishesIt();

    void frameFundamentalOfASquareWave();
    void framePeriodBetweenInterpolatedCrossings();
    void frameTrackedPitchFollowsTheZeroCrossings();
    void silentFrameDrawsAFlatLine();
    void playbackPositionMovesTheFrameCursor();
    void f6MovesBetweenThePanes();
    void aPlainMoveOverThePlotRefreshesTheInfoText();
    void theFramePaneNamesNotesWithTheSettings();

private:
    struct Window {
        std::unique_ptr<CSfBase> item;
        std::unique_ptr<CFftFrm> frame;
        CFftScrollView* spectrum = nullptr;
        CFftScrollView2* pane = nullptr;
        CSfFft& Item() const { return static_cast<CSfFft&>(*item); }
    };
    // A window on a spectrum of source, or on the item given.
    bool Open(Window& w, CSfBase& source);
    bool Show(Window& w, std::unique_ptr<CSfBase> item);
    CSfHead* Head(const std::vector<int32_t>& values, uint32_t rate, uint32_t start, uint32_t end);
    // The level of the highest bin of the spectrum the window will compute.
    float PeakLevel(CSfHead& head);
    void Keys(QWidget* view, const QString& keys);
    std::string Info() const { return services_->LastInfo(); }

    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<FakeViewServices> services_;
    std::vector<std::unique_ptr<CSfHead>> heads_;
    Window w_;
};

void FftWindowTest::init() {
    dir_ = std::make_unique<TempDir>();
    services_ = std::make_unique<FakeViewServices>();
    FftSettings& fft = services_->settings.Fft();
    fft.Lfft = fft.Lwdw = fft.Shift = kLfft;
    services_->settings.SetXScale(kScaleLin | kScaleAuto);
    services_->settings.SetYScale(kScaleLog);
}

void FftWindowTest::cleanup() {
    w_ = Window();
    heads_.clear();
    services_.reset();
    dir_.reset();
}

CSfHead* FftWindowTest::Head(const std::vector<int32_t>& values, uint32_t rate, uint32_t start,
                             uint32_t end) {
    heads_.push_back(OpenSamples(*dir_, values, rate));
    CSfHead* head = heads_.back().get();
    if (head)
        SetHeadTask(*head, start, end);
    return head;
}

float FftWindowTest::PeakLevel(CSfHead& head) {
    CSfFft reference(head, services_->settings);
    RecordingDesktop quiet;
    if (ComputeTaskSpectrum(reference, quiet, services_->screenWidth) != SpectrumOutcome::Computed)
        return 0;
    return *std::max_element(reference.Param().results.spectrum->begin(),
                             reference.Param().results.spectrum->end());
}

bool FftWindowTest::Open(Window& w, CSfBase& source) {
    return Show(w, MakeSpectrumItem(source, services_->settings));
}

bool FftWindowTest::Show(Window& w, std::unique_ptr<CSfBase> item) {
    if (!item)
        return false;
    w.item = std::move(item);
    w.spectrum = new CFftScrollView(*services_, std::make_unique<CBaseDoc>(w.item.get()));
    w.frame = std::make_unique<CFftFrm>(*services_, w.spectrum);
    w.pane = w.frame->FramePane();
    w.frame->resize(700, 560);
    w.frame->show();
    if (!QTest::qWaitForWindowExposed(w.frame.get()))
        return false;
    w.spectrum->setFocus();
    QCoreApplication::processEvents();
    return w.spectrum->Drawable();
}

void FftWindowTest::Keys(QWidget* view, const QString& keys) {
    for (const QString& k : keys.split(' ', Qt::SkipEmptyParts)) {
        const bool ctrl = k.startsWith('^');
        const QString name = ctrl ? k.mid(1) : k;
        static const std::map<QString, Qt::Key> named{
            {"L", Qt::Key_Left}, {"R", Qt::Key_Right}, {"H", Qt::Key_Home}, {"E", Qt::Key_End},
            {"G", Qt::Key_G},    {"W", Qt::Key_W},     {"S", Qt::Key_S},    {"F", Qt::Key_F}};
        QTest::keyClick(view, named.at(name), ctrl ? Qt::ControlModifier : Qt::NoModifier);
    }
}

void FftWindowTest::cursorKeysAndPeakSearch_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("bin");
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("three steps right") << "H R R R" << 3 << 3 * kBinHz << 1e-3;
    QTest::newRow("left stops at the first bin") << "H L" << 0 << 0.0 << 0.0;
    QTest::newRow("end is the last bin below half the rate")
        << "E" << kLfft / 2 - 1 << (kLfft / 2 - 1) * kBinHz << 0.1;
    QTest::newRow("right stops at the last bin")
        << "E R" << kLfft / 2 - 1 << (kLfft / 2 - 1) * kBinHz << 0.1;
    // Peaks are refined between bins: the tone's own frequency, not its bin's.
    QTest::newRow("peak right finds the lower tone") << "H ^R" << 93 << 1000.0 << 0.5;
    QTest::newRow("second peak right finds the upper tone") << "H ^R ^R" << 279 << 3000.0 << 0.5;
    QTest::newRow("no peak beyond the last keeps the cursor")
        << "H ^R ^R ^R" << 279 << 3000.0 << 0.5;
    QTest::newRow("peak left from the end") << "E ^L" << 279 << 3000.0 << 0.5;
    QTest::newRow("peak left past the lower tone keeps it") << "H ^R ^L" << 93 << 1000.0 << 0.5;
    QTest::newRow("a plain step leaves peak mode") << "H ^R R" << 94 << 94 * kBinHz << 1e-3;
    QTest::newRow("G moves nothing") << "H R G" << 1 << kBinHz << 1e-3;
}

void FftWindowTest::cursorKeysAndPeakSearch() {
    QFETCH(QString, keys);
    QFETCH(int, bin);
    QFETCH(double, hz);
    QFETCH(double, tolerance);
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt);
    QVERIFY(head);
    // Only the tones' main lobes reach above the floor; the window's side
    // lobes lie more than 50 dB below them.
    FftSettings& fft = services_->settings.Fft();
    fft.Floor = int(PeakLevel(*head)) - 40;
    fft.Range = 60;
    QVERIFY(Open(w_, *head));
    Keys(w_.spectrum, keys);
    int shownBin = -1;
    double shownHz = -1;
    QVERIFY2(CursorOf(Info(), &shownBin, &shownHz), Info().c_str());
    QCOMPARE(shownBin, bin);
    QCOMPARE(w_.Item().Param().view.cursorBin, bin);
    QVERIFY2(std::abs(shownHz - hz) <= tolerance, Info().c_str());
}

void FftWindowTest::pixelsShowCurveCursorAndHarmonicMarks() {
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt);
    QVERIFY(head);
    services_->settings.Fft().Floor = int(PeakLevel(*head)) - 40;
    services_->settings.Fft().Range = 60;
    QVERIFY(Open(w_, *head));
    CFftScrollView* view = w_.spectrum;
    const int left = 28, top = 4, right = view->width() - 4, bottom = view->height() - 15;
    const QImage plain = view->grab().toImage();

    // The curve stays inside the plot, and its highest point is the tone at
    // 1000 Hz or 3000 Hz.
    int curvePixels = 0, peakY = bottom, peakX = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (Rgb(plain, x, y) == (kCurve.rgb() & 0xffffff)) {
                ++curvePixels;
                QVERIFY(x >= left && x < right && y >= top && y < bottom);
                if (y < peakY) {
                    peakY = y;
                    peakX = x;
                }
            }
    QVERIFY(curvePixels > right - left);
    const double perHz = double(right - left) / (kRate / 2.0);
    QVERIFY(std::abs(peakX - (left + 1000 * perHz)) <= 3 ||
            std::abs(peakX - (left + 3000 * perHz)) <= 3);

    // The cursor line inverts the whole height of the plot at the tone's bin.
    Keys(view, "H ^R");
    const int x = int(double(right - left) / (kLfft / 2) * 93) + left;
    const QImage line = view->grab().toImage();
    for (int y = top + 1; y < bottom - 1; ++y)
        QVERIFY(Inverted(plain, line, x, y));
    QVERIFY(Rgb(line, x + 1, top + 1) == Rgb(plain, x + 1, top + 1));

    // G replaces the line by ticks at the harmonics, 10 pixels either side of
    // the marker height, joined by a line at that height.
    Keys(view, "G");
    const QImage marks = view->grab().toImage();
    const int markerY = w_.Item().Param().view.markerY;
    int bin = 0;
    double f0 = 0;
    QVERIFY(CursorOf(Info(), &bin, &f0));
    const int x2 = int(2 * f0 * perHz + 0.5) + left;
    QVERIFY(Rgb(marks, x, top + 1) == Rgb(plain, x, top + 1));
    QVERIFY(Inverted(plain, marks, x, markerY - 10));
    QVERIFY(Inverted(plain, marks, x2, markerY + 10));
    QVERIFY(Rgb(marks, x2, markerY - 11) == Rgb(plain, x2, markerY - 11));
    QVERIFY(Inverted(plain, marks, (x + x2) / 2, markerY));
    Keys(view, "G");
    QVERIFY(Inverted(plain, view->grab().toImage(), x, top + 1));
}

void FftWindowTest::clickLeftOfThePlotKeepsTheCursorAndGivesAnEmptyBox() {
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt);
    QVERIFY(head);
    services_->settings.Fft().Floor = int(PeakLevel(*head)) - 40;
    QVERIFY(Open(w_, *head));
    Keys(w_.spectrum, "H ^R");
    SendMouse(w_.spectrum, QEvent::MouseButtonPress, QPoint(10, 100), Qt::LeftButton,
              Qt::LeftButton);
    SendMouse(w_.spectrum, QEvent::MouseButtonRelease, QPoint(10, 100), Qt::LeftButton,
              Qt::NoButton);
    const SfFftParam& p = w_.Item().Param();
    QCOMPARE(p.view.cursorBin, 93);
    // The box anchored at the plot's corner has no size: no spectrum is made
    // from it.
    QVERIFY(p.view.viewFlags & kFftBoxDefined);
    QCOMPARE(p.view.boxFreqLow, p.view.boxFreqHigh);
    QVERIFY(!MakeSpectrumItem(w_.Item(), services_->settings));

    // A click inside the plot moves the cursor to the bin under it: the
    // plot is narrower than the bins, so a pixel spans several.
    const int right = w_.spectrum->width() - 4;
    const int x = 28 + 100;
    const int under = int(100 / (double(right - 28) / (kLfft / 2)));
    SendMouse(w_.spectrum, QEvent::MouseButtonPress, QPoint(x, 100), Qt::LeftButton,
              Qt::LeftButton);
    SendMouse(w_.spectrum, QEvent::MouseButtonRelease, QPoint(x, 100), Qt::LeftButton,
              Qt::NoButton);
    QCOMPARE(p.view.cursorBin, under);
    int bin = 0;
    double hz = 0;
    QVERIFY(CursorOf(Info(), &bin, &hz));
    QCOMPARE(bin, under);
    QVERIFY(std::abs(hz - under * kBinHz) < 1e-2);
}

void FftWindowTest::ctrlDragMakesABoxThatANewSpectrumZoomsInto() {
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt);
    QVERIFY(head);
    services_->settings.Fft().Floor = 20;
    services_->settings.Fft().Range = 100;
    QVERIFY(Open(w_, *head));
    CFftScrollView* view = w_.spectrum;
    const int right = view->width() - 4, bottom = view->height() - 15;
    const QPoint from(100, 50), to(300, 200);
    const QImage before = view->grab().toImage();
    SendMouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton,
              Qt::ControlModifier);
    SendMouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    SendMouse(view, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton,
              Qt::ControlModifier);
    // The box inverts its inside, and nothing outside.
    const QImage boxed = view->grab().toImage();
    QVERIFY(Inverted(before, boxed, 200, 120));
    QVERIFY(Rgb(boxed, 350, 120) == Rgb(before, 350, 120));

    const double hzPerPixel = (kRate / 2.0) / (right - 28);
    const double levelPerPixel = 100.0 / (bottom - 4);
    const double low = 20 + (bottom - to.y()) * levelPerPixel;
    const double high = 20 + (bottom - from.y()) * levelPerPixel;
    std::unique_ptr<CSfBase> zoomed = MakeSpectrumItem(w_.Item(), services_->settings);
    QVERIFY(zoomed);
    const auto& z = static_cast<CSfFft&>(*zoomed);
    QVERIFY(std::abs(z.Param().Fmin - (from.x() - 28) * hzPerPixel) < 0.01);
    QVERIFY(std::abs(z.Param().Fmax - (to.x() - 28) * hzPerPixel) < 0.01);
    QCOMPARE(z.Param().Floor, int(low));
    QCOMPARE(z.Param().Range, int(high - low) + 1);
    QVERIFY(!(z.XScale() & kScaleAuto) && !(z.YScale() & kScaleAuto));

    // The zoomed window shows the parent's spectrum within the box.
    Window zoom;
    QVERIFY(Show(zoom, std::move(zoomed)));
    QCOMPARE(zoom.Item().Param().results.spectrum.get(), w_.Item().Param().results.spectrum.get());
    Keys(zoom.spectrum, "H");
    int bin = 0;
    double hz = 0;
    QVERIFY(CursorOf(Info(), &bin, &hz));
    QCOMPARE(bin, int(z.Param().Fmin / kBinHz));
}

void FftWindowTest::contextMenuInsertsAndShowsInfo() {
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    const auto run = [&](const QString& text) {
        QStringList seen;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                seen << action->text();
            for (QAction* action : menu->actions())
                if (action->text() == text)
                    action->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                w_.spectrum->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w_.spectrum, &event);
        return seen;
    };
    // Insert CepFreq would do nothing, so it is not offered.
    QCOMPARE(run("Insert &Fft"), (QStringList{"Insert &Fft", "", "Show &Info", "",
                                              "Export &Data...", "Export I&mage..."}));
    QCOMPARE(services_->inserts.size(), size_t(1));
    QCOMPARE(services_->inserts[0].first, int(InsertRequest::Spectrum));
    QCOMPARE(services_->inserts[0].second, w_.item.get());
    run("Show &Info");
    QCOMPARE(services_->desktop.messages.size(), size_t(1));
    QCOMPARE(services_->desktop.messages[0].second, MessageIcon::Information);
    QVERIFY(services_->desktop.messages[0].first.rfind("Filename: " + head->Info().path, 0) == 0);
    QVERIFY(services_->desktop.messages[0].first.find("\nLfft:\t4096\n") != std::string::npos);
}

void FftWindowTest::keyWLogsTheCursorBin() {
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    Keys(w_.spectrum, "H" + QString(" R").repeated(100) + " W");
    QCOMPARE(services_->dataLog.size(), size_t(1));
    char level[32];
    std::snprintf(level, sizeof level, "%g", (*w_.Item().Param().results.spectrum)[100]);
    QCOMPARE(services_->dataLog[0],
             "FFT\t" + head->Info().path + "\t0\t0.1\t0.1\t4096\t4\t1076.66\t" + level + "\n");
}

void FftWindowTest::relativeLevelsAreNormalisedOnce() {
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt);
    QVERIFY(head);
    services_->settings.Fft().Floor = 0;
    services_->settings.Fft().Range = 50;
    const float peak = PeakLevel(*head);
    QVERIFY(Open(w_, *head));
    const SfFftParam& p = w_.Item().Param();
    const std::vector<float> first = *p.results.spectrum;
    QCOMPARE(*std::max_element(first.begin(), first.end()), 0.0f);
    QCOMPARE(p.Floor, -50);
    // A new size draws the plot afresh: the levels must not fall again.
    w_.frame->resize(w_.frame->size() + QSize(31, 17));
    QCoreApplication::processEvents();
    w_.spectrum->grab();
    QCOMPARE(*p.results.spectrum, first);
    QCOMPARE(p.Floor, -50);
    QVERIFY(peak > 0);
}

void FftWindowTest::repaintsLeaveTheHeadsTaskActivationPublishesIt() {
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt + 20000);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    QCOMPARE(w_.Item().Param().start, kAt);
    QCOMPARE(w_.Item().Param().end, kAt + 20000);
    // The user selects another range in the head window meanwhile.
    SetHeadTask(*head, 100, 200);
    w_.frame->resize(w_.frame->size() + QSize(11, 7));
    QCoreApplication::processEvents();
    w_.spectrum->grab();
    w_.pane->grab();
    Keys(w_.spectrum, "H R ^R");
    Keys(w_.pane, "H R");
    QCOMPARE(head->Info().task.start, 100u);
    QCOMPARE(head->Info().task.end, 200u);
    QCOMPARE(services_->headRefreshes, 0);
    // Activating the window shows its own range there again.
    w_.spectrum->Activated();
    QCOMPARE(head->Info().task.start, kAt);
    QCOMPARE(head->Info().task.end, kAt + 20000);
    QCOMPARE(services_->headRefreshes, 1);
}

void FftWindowTest::frameFundamentalOfASquareWave() {
    std::vector<int32_t> square(8000);
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = (i % 80) < 40 ? 10000 : -10000;
    services_->settings.Fft().Lfft = services_->settings.Fft().Lwdw = 1024;
    CSfHead* head = Head(square, 8000, 0, 0);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    w_.pane->setFocus();
    Keys(w_.pane, "F");
    QVERIFY2(Info().find("\r\nWAV\r\nZeroCrossF0=100Hz, ") != std::string::npos, Info().c_str());
}

void FftWindowTest::frameTrackedPitchFollowsTheZeroCrossings() {
    // An instant half way through a second of a steady voice at 150 Hz.
    services_->settings.Fft().Lfft = services_->settings.Fft().Lwdw = 1024;
    CSfHead* head = Head(Voiced(16000, 150, 16000, 12000), 16000, 8000, 8000);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    w_.pane->setFocus();
    Keys(w_.pane, "F");
    const std::string info = Info();
    // The zero crossings' line as it was, and the tracked pitch after it
    // with its note in the pane's notation.
    const size_t zero = info.find("\r\nWAV\r\nZeroCrossF0=");
    const size_t pitch = info.find("Cent\r\nPitchF0=");
    QVERIFY2(zero != std::string::npos && pitch != std::string::npos && zero < pitch, info.c_str());
    const std::string line = info.substr(pitch + 6);
    QVERIFY2(std::abs(std::atof(line.c_str() + 8) - 150) < 1, info.c_str());
    QVERIFY2(line.find("Hz, D") != std::string::npos, info.c_str());
    QVERIFY2(line.size() > 4 && line.compare(line.size() - 4, 4, "Cent") == 0, info.c_str());
}

void FftWindowTest::framePeriodBetweenInterpolatedCrossings() {
    services_->settings.Fft().Lfft = services_->settings.Fft().Lwdw = 1024;
    CSfHead* head = Head(Sine(8000, 330, 8000, 10000), 8000, 0, 0);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    w_.pane->setFocus();
    Keys(w_.pane, "H ^R S ^R ^R");
    QCOMPARE(CFftScrollView2::Mark(), 24);
    QVERIFY2(Info().find("[24-72=48]") != std::string::npos, Info().c_str());
    // Two periods of 330 Hz between interpolated crossings, not 48 whole samples.
    const size_t eq = Info().rfind("s=");
    QVERIFY(eq != std::string::npos);
    const double hz = std::atof(Info().c_str() + eq + 2);
    QVERIFY2(std::abs(hz - 165.0) < 0.2, Info().c_str());
    QVERIFY(std::abs(hz - 8000.0 / 48) > 1);

    // The mark is one for all frame panes: S with the cursor on it gives 0 Hz.
    Keys(w_.pane, "S");
    QVERIFY2(Info().find("[72-72=0]") != std::string::npos, Info().c_str());
    QVERIFY2(Info().find("s=0Hz") != std::string::npos, Info().c_str());
}

void FftWindowTest::silentFrameDrawsAFlatLine() {
    services_->settings.Fft().Lfft = services_->settings.Fft().Lwdw = 1024;
    CSfHead* head = Head(std::vector<int32_t>(4000, 0), 8000, 0, 0);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    const QImage image = w_.pane->grab().toImage();
    const int top = 4, bottom = image.height() - 15;
    const int mid = int(std::floor(bottom - (bottom - top) / 2.0 + 0.5));
    int curvePixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Rgb(image, x, y) == (kCurve.rgb() & 0xffffff)) {
                ++curvePixels;
                QCOMPARE(y, mid);
            }
    QVERIFY(curvePixels > image.width() / 2);
    w_.pane->setFocus();
    Keys(w_.pane, "F");
    QVERIFY2(Info().find("ZeroCrossF0: no period found") != std::string::npos, Info().c_str());
    QVERIFY2(Info().find("no period found\r\nPitchF0=unvoiced") != std::string::npos,
             Info().c_str());
}

void FftWindowTest::playbackPositionMovesTheFrameCursor() {
    CSfHead* head = Head(TwoTones(), kRate, 0, 22050);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    const QImage before = w_.pane->grab().toImage();
    const int top = 4, right = before.width() - 4;
    // Half way through the range: the line is half way across the plot.
    PlayNotify notify;
    notify.Write(head->Info().handle, 11025.0 / kRate);
    QCoreApplication::postEvent(w_.pane, new PlayNotifyEvent(0, &notify));
    QCoreApplication::processEvents();
    const int x = (right - 28) / 2 + 28;
    const QImage after = w_.pane->grab().toImage();
    QVERIFY(Inverted(before, after, x, top + 1));
    QVERIFY(Rgb(after, x + 2, top + 1) == Rgb(before, x + 2, top + 1));
    // Another file's position moves nothing.
    notify.Write(head->Info().handle + 1, 0.25);
    QCoreApplication::postEvent(w_.pane, new PlayNotifyEvent(0, &notify));
    QCoreApplication::processEvents();
    QVERIFY(Inverted(before, w_.pane->grab().toImage(), x, top + 1));
}

void FftWindowTest::f6MovesBetweenThePanes() {
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    QVERIFY(w_.spectrum->hasFocus());
    QTest::keyClick(w_.spectrum, Qt::Key_F6);
    QVERIFY(w_.pane->hasFocus());
    QTest::keyClick(w_.pane, Qt::Key_F6);
    QVERIFY(w_.spectrum->hasFocus());
    QTest::keyClick(w_.spectrum, Qt::Key_F6, Qt::ShiftModifier);
    QVERIFY(w_.pane->hasFocus());
    QTest::keyClick(w_.pane, Qt::Key_F6, Qt::ShiftModifier);
    QVERIFY(w_.spectrum->hasFocus());
    // Ctrl+F6 is not the pane key.
    QTest::keyClick(w_.spectrum, Qt::Key_F6, Qt::ControlModifier);
    QVERIFY(w_.spectrum->hasFocus());
}

void FftWindowTest::aPlainMoveOverThePlotRefreshesTheInfoText() {
    CSfHead* head = Head(TwoTones(), kRate, kAt, kAt);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    QVERIFY(w_.spectrum->hasMouseTracking());
    Keys(w_.spectrum, "H ^R");
    const std::string cursor = Info();
    QVERIFY(cursor.find("Hz") != std::string::npos);
    // Left of the plot nothing changes; over it the cursor's text returns.
    services_->Desktop().SetInfoText("elsewhere");
    SendMouse(w_.spectrum, QEvent::MouseMove, QPoint(10, 100), Qt::NoButton, Qt::NoButton);
    QCOMPARE(Info(), std::string("elsewhere"));
    SendMouse(w_.spectrum, QEvent::MouseMove, QPoint(200, 100), Qt::NoButton, Qt::NoButton);
    QCOMPARE(Info(), cursor);
    QCOMPARE(w_.Item().Param().view.cursorBin, 93);
}

void FftWindowTest::theFramePaneNamesNotesWithTheSettings() {
    std::vector<int32_t> square(8000);
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = (i % 80) < 40 ? 10000 : -10000;
    services_->settings.Fft().Lfft = services_->settings.Fft().Lwdw = 1024;
    // US names, as the spectrum pane above uses them.
    services_->settings.SetBtf(440.0);
    services_->settings.SetBtn(0);
    CSfHead* head = Head(square, 8000, 0, 0);
    QVERIFY(head);
    QVERIFY(Open(w_, *head));
    w_.pane->setFocus();
    Keys(w_.pane, "F");
    QVERIFY2(Info().find("ZeroCrossF0=100Hz, G2+35Cent") != std::string::npos, Info().c_str());
}

QTEST_MAIN(FftWindowTest)
#include "FftWindowTest.moc"
