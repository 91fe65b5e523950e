// The waveform window as a user meets it, inside the real program: cursor,
// block and info texts on a file whose envelope is known value by value, the
// keys, the task dialog, the context menu, playback positions and the
// amplitude axis.
#include "support/AppWindows.h"

#include "app/shell/CMainFrame.h"
#include "app/shell/CProjectTree.h"
#include "app/shell/CSfApp.h"
#include "app/ui/CBaseDoc.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/QtPlaySink.h"
#include "drawing/ui/AmplitudeAxis.h"
#include "drawing/ui/ScaleDrawing.h"
#include "playback/PlayNotify.h"
#include "resources/CommandIds.h"
#include "selection/ui/CTaskDlg.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SfItems.h"
#include "waveform/CSfWav.h"
#include "waveform/ui/CWavScrollView.h"

#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>

namespace {

// The test file: 16 000 stereo 16-bit frames at 8 000 Hz. Frame f of channel
// 0 holds +200 c on even and -200 c on odd frames, c = f / 80; channel 1
// holds half of it. Every 80-frame chunk thus has the extremes -200 c and
// +200 c, and frames 0 .. 79 are silent.
constexpr int kRate = 8000;
constexpr int kFrames = 16000;

// The window shows frames 4000 .. 12000 (S = 4000, L = 8000). A screen width
// of 100 gives 200 envelope values: 100 (min, max) pairs over 80-frame
// chunks, pair p over chunk 50 + p. The view is 432 x 300, so the plot is
// 400 pixels wide (28 .. 428) and 281 high (4 .. 285). Hence
//   index of pixel x   = (x - 28) * 200 / 400 = (x - 28) / 2
//   pixel of index i   = i * 400 / 200 + 28  = 2 i + 28
//   frame of pixel x   = (x - 28) * 20 + 4000
//   seconds of pixel x = (x - 28) / 400 + 0.5
constexpr uint32_t kStart = 4000;
constexpr uint32_t kEnd = 12000;
constexpr int kScreenWidth = 100;
const QSize kViewSize(432, 300);
constexpr int kPlotLeft = 28;
constexpr int kPlotRight = 428;
// A row near the top of the plot, where the curve (at most 1 / 1.1 of the
// half height from the middle) never comes: white unless inverted.
constexpr int kClearRow = 8;

int16_t Sample(int frame, int channel) {
    const int c = frame / 80;
    const int v = (frame % 2 == 0 ? 200 : -200) * c;
    return int16_t(channel == 0 ? v : v / 2);
}

void Le16(std::string& b, uint32_t v) {
    b += char(v & 0xff);
    b += char((v >> 8) & 0xff);
}

void Le32(std::string& b, uint32_t v) {
    Le16(b, v & 0xffff);
    Le16(b, v >> 16);
}

std::string TestWav() {
    std::string b = "RIFF";
    const uint32_t dataBytes = kFrames * 4;
    Le32(b, 36 + dataBytes);
    b += "WAVEfmt ";
    Le32(b, 16);
    Le16(b, 1);
    Le16(b, 2);
    Le32(b, kRate);
    Le32(b, kRate * 4);
    Le16(b, 4);
    Le16(b, 16);
    b += "data";
    Le32(b, dataBytes);
    for (int f = 0; f < kFrames; ++f)
        for (int c = 0; c < 2; ++c)
            Le16(b, uint16_t(Sample(f, c)));
    return b;
}

void SendMouse(QWidget* widget, QEvent::Type type, int x, int y, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF at(x, y);
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

// Runs action on the next modal dialog or popup menu once it is shown.
void WhenShown(std::function<void()> action) {
    QTimer::singleShot(0, std::move(action));
}

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xffffff;
}

bool Inverted(const QImage& before, const QImage& after, int x, int y) {
    return Rgb(after, x, y) == (~Rgb(before, x, y) & 0xffffff);
}

// The regions a widget's paint events asked for, as its window paints it.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion region;
};

} // namespace

class WavScrollViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensWithTheCursorAtTheRangeStart();
    void clickSnapsToAnEnvelopeIndexAndDrawsTheCursor();
    void clickAtThePlotsLeftEdgeDrawsNoCursorLine();
    void dragMakesABlockWithItsFrequency();
    void draggingAnEdgePastTheOtherSwapsTheEdges();
    void keysSettleTheFramesOfWhatTheyMove();
    void aNewSizeRedrawsThePlotWithItsAxes();
    void aNewSizeKeepsTheCursorAndBlockFrames();
    void taskDialogSetsTheBlockToTheFrame();
    void taskDialogWithEqualEndsSetsTheCursor();
    void shiftEndWithTheCursorAtTheRightEdgeGivesNoBlock();
    void playbackPositionMovesTheLineOnly();
    void contextMenuOffersInsertWavAndTask();
    void insertWavOpensAWindowOnTheBlock();
    void publishingShowsTheRangeInTheHeadWindow();
    void viewKeysComeBeforeTheMainWindowsShortcuts();
    void withoutItsItemTheViewDoesNothing();
    void windowImageKeysCopyAndSave();
    void silentRangeDrawsItsCurveOnTheZeroLine();

    void amplitudeStepKeepsLabelsTwoLinesApart();
    void amplitudeAxisTicksOnAKnownRectangle();
    void amplitudeAxisOnALowPlotOrWithoutPeak();

private:
    // Opens a waveform window on frames start .. end of channel, sized so
    // that its plot is 400 x 281 pixels.
    CWavScrollView* Open(uint32_t start = kStart, uint32_t end = kEnd, int channel = 0);
    CSfWav* ItemOf(CWavScrollView* view) const;
    QString Info() const { return app_->MainFrame()->InfoBox()->toPlainText(); }
    QImage Shot() const { return view_->grab().toImage(); }
    void Click(int x, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Hover(int x);
    void Drag(int x);
    void Release(int x);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void RunTask(const QString& start, const QString& end);

    QTemporaryDir dir_;
    QString wavPath_;
    std::unique_ptr<CSfApp> app_;
    CWavScrollView* view_ = nullptr;
    CSfWav* item_ = nullptr;
};

void WavScrollViewTest::initTestCase() {
    QVERIFY(dir_.isValid());
    // Before anything reads the settings: the user's own stay untouched.
    QVERIFY(QDir(dir_.path()).mkpath("config"));
    ::setenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toLocal8Bit().constData(), 1);
    wavPath_ = dir_.path() + "/8000-2-16-chunks.wav";
    std::ofstream(wavPath_.toStdString(), std::ios::binary) << TestWav();
}

void WavScrollViewTest::init() {
    app_ = std::make_unique<CSfApp>(QStringList{"kavirel", wavPath_});
    QVERIFY(app_->Tree()->CurrentHead());
    QVERIFY(QTest::qWaitForWindowActive(app_->MainFrame()));
    // After the program has taken the offscreen screen's width.
    app_->SetScreenWidth(kScreenWidth);
    view_ = Open();
    QVERIFY(view_);
    item_ = ItemOf(view_);
}

void WavScrollViewTest::cleanup() {
    view_ = nullptr;
    item_ = nullptr;
    // The heads go while the main window still stands: the program's own
    // shut-down with a head open is not this test's subject.
    RemoveAllHeads(*app_);
    app_.reset();
}

CWavScrollView* WavScrollViewTest::Open(uint32_t start, uint32_t end, int channel) {
    auto* view = qobject_cast<CWavScrollView*>(InsertWindow(
        *app_, *app_->Tree()->CurrentHead(), InsertRequest::Waveform, start, end, channel));
    if (!view)
        return nullptr;
    CBaseFrm* frame = CBaseFrm::Of(view);
    frame->resize(frame->size() + kViewSize - view->size());
    if (!QTest::qWaitFor([view] { return view->size() == kViewSize; }))
        return nullptr;
    view->setFocus();
    // The info text of the new size follows once the layout is done.
    QCoreApplication::processEvents();
    return view;
}

CSfWav* WavScrollViewTest::ItemOf(CWavScrollView* view) const {
    return dynamic_cast<CSfWav*>(view->GetItem());
}

void WavScrollViewTest::Hover(int x) {
    SendMouse(view_, QEvent::MouseMove, x, 100, Qt::NoButton, Qt::NoButton);
}

void WavScrollViewTest::Click(int x, Qt::KeyboardModifiers modifiers) {
    SendMouse(view_, QEvent::MouseButtonPress, x, 100, Qt::LeftButton, Qt::LeftButton, modifiers);
    Release(x);
}

void WavScrollViewTest::Drag(int x) {
    SendMouse(view_, QEvent::MouseMove, x, 100, Qt::NoButton, Qt::LeftButton);
}

void WavScrollViewTest::Release(int x) {
    SendMouse(view_, QEvent::MouseButtonRelease, x, 100, Qt::LeftButton, Qt::NoButton);
}

void WavScrollViewTest::Key(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(view_, Qt::Key(key), modifiers);
}

void WavScrollViewTest::RunTask(const QString& start, const QString& end) {
    bool seen = false;
    WhenShown([&] {
        auto* dialog = qobject_cast<CTaskDlg*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        dialog->findChild<QLineEdit*>(QString::number(CTaskDlg::kStartEditId))->setText(start);
        dialog->findChild<QLineEdit*>(QString::number(CTaskDlg::kEndEditId))->setText(end);
        dialog->accept();
    });
    view_->RunTaskDialog();
    QVERIFY(seen);
}

void WavScrollViewTest::opensWithTheCursorAtTheRangeStart() {
    QCOMPARE(item_->Envelope().values.size(), size_t(200));
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0000] 0.5s\n-10000p\n"));
    const SfTask& task = item_->Task();
    QCOMPARE(task.start, kStart);
    QCOMPARE(task.end, kStart);
    QCOMPARE(task.flags, 0x001u);
    QCOMPARE(task.playCursor, kPlotLeft);
}

void WavScrollViewTest::clickSnapsToAnEnvelopeIndexAndDrawsTheCursor() {
    const QImage before = Shot();
    // Pixel 129 is index (129 - 28) / 2 = 50, whose pixel is 128.
    Hover(129);
    Click(129);
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0050] 0.75s\n-15000p\n"));
    const SfTask& task = item_->Task();
    QCOMPARE(task.cursorIndex, 50);
    QCOMPARE(task.playCursor, 128);
    // The cursor frame, and with no block both block ends, lie under pixel 128.
    QCOMPARE(uint32_t(task.cursorFrame), 6000u);
    QCOMPARE(task.start, 6000u);
    QCOMPARE(task.end, 6000u);
    QCOMPARE(task.flags & 0x180u, 0x180u);

    const QImage after = Shot();
    QVERIFY(Inverted(before, after, 128, kClearRow));
    QCOMPARE(Rgb(after, 127, kClearRow), Rgb(before, 127, kClearRow));
    QCOMPARE(Rgb(after, 129, kClearRow), Rgb(before, 129, kClearRow));

    // The odd index right of it reads the pair's maximum.
    Click(131);
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0051] 0.755s\n15000p\n"));
    const QImage moved = Shot();
    QCOMPARE(Rgb(moved, 128, kClearRow), Rgb(before, 128, kClearRow));
    QVERIFY(Inverted(before, moved, 130, kClearRow));
}

void WavScrollViewTest::clickAtThePlotsLeftEdgeDrawsNoCursorLine() {
    const QImage before = Shot();
    Click(128);
    Click(kPlotLeft);
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0000] 0.5s\n-10000p\n"));
    QCOMPARE(item_->Task().cursorIndex, 0);
    const QImage after = Shot();
    // The frame's own column, not inverted; and the old line is gone.
    for (int x : {kPlotLeft, kPlotLeft + 1, 128})
        QCOMPARE(Rgb(after, x, kClearRow), Rgb(before, x, kClearRow));

    // Left of the plot, and below it, clicks are ignored.
    Click(kPlotLeft - 1);
    SendMouse(view_, QEvent::MouseButtonPress, 200, 290, Qt::LeftButton, Qt::LeftButton);
    Release(200);
    QCOMPARE(item_->Task().cursorIndex, 0);
}

void WavScrollViewTest::dragMakesABlockWithItsFrequency() {
    const QImage before = Shot();
    Hover(128);
    SendMouse(view_, QEvent::MouseButtonPress, 128, 100, Qt::LeftButton, Qt::LeftButton);
    // Four pixels are 80 frames, 0.01 s.
    Drag(132);
    Release(132);
    QCOMPARE(Info(), QStringLiteral("BlockSt:\t[0100] 0.750s\n"
                                    "BlockEn:\t[0104] 0.760s\n"
                                    "BlockLe:\t[0004] 0.010s\n"
                                    "Frequ  :\t 100Hz"));
    QCOMPARE(item_->Task().start, 6000u);
    QCOMPARE(item_->Task().end, 6080u);
    // The cursor stays where the button went down.
    QCOMPARE(uint32_t(item_->Task().cursorFrame), 6000u);

    // Block and cursor line both invert: where they meet the plot shows through.
    const QImage after = Shot();
    QCOMPARE(Rgb(after, 128, kClearRow), Rgb(before, 128, kClearRow));
    for (int x = 129; x < 132; ++x)
        QVERIFY(Inverted(before, after, x, kClearRow));
    QCOMPARE(Rgb(after, 132, kClearRow), Rgb(before, 132, kClearRow));
    QVERIFY(Inverted(before, after, 130, 284));
    QCOMPARE(Rgb(after, 130, 285), Rgb(before, 130, 285));
}

void WavScrollViewTest::draggingAnEdgePastTheOtherSwapsTheEdges() {
    // Pressing at 128 with the left edge active, then dragging right, carries
    // the left edge past the right one: the edges swap and the right one
    // becomes active.
    Hover(128);
    SendMouse(view_, QEvent::MouseButtonPress, 128, 100, Qt::LeftButton, Qt::LeftButton);
    Drag(132);
    Release(132);
    QCOMPARE(item_->Task().flags & 0x030u, 0x020u);

    // Near the left edge it becomes the active one again; a Shift click
    // moves it to the click's index pixel, and a drag beyond the right edge
    // swaps once more.
    Hover(129);
    QCOMPARE(item_->Task().flags & 0x030u, 0x010u);
    SendMouse(view_, QEvent::MouseButtonPress, 127, 100, Qt::LeftButton, Qt::LeftButton,
              Qt::ShiftModifier);
    QVERIFY(Info().startsWith("BlockSt:\t[0098] 0.745s\nBlockEn:\t[0104] 0.760s\n"));
    Drag(140);
    Drag(150);
    Release(150);
    QCOMPARE(item_->Task().flags & 0x030u, 0x020u);
    QCOMPARE(Info(), QStringLiteral("BlockSt:\t[0104] 0.760s\n"
                                    "BlockEn:\t[0122] 0.805s\n"
                                    "BlockLe:\t[0018] 0.045s\n"
                                    "Frequ  :\t 22.2222Hz"));
    QCOMPARE(item_->Task().start, 6080u);
    QCOMPARE(item_->Task().end, 6440u);

    // A sweep out of the plot holds the edge at the range end.
    SendMouse(view_, QEvent::MouseButtonPress, 200, 100, Qt::LeftButton, Qt::LeftButton);
    Drag(500);
    Release(500);
    QVERIFY(Info().contains("BlockEn:\t[0400] 1.500s\n"));
    QCOMPARE(item_->Task().end, kEnd);
}

void WavScrollViewTest::keysSettleTheFramesOfWhatTheyMove() {
    // Which pixels the keys reach is the selection editor's, tested with
    // its own table; here: the frames, texts and picture the window makes.
    Key(Qt::Key_End);
    // Index 199 lies at pixel 426; its value is the last pair's maximum.
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0199] 1.495s\n29800p\n"));
    QCOMPARE(item_->Task().start, 11960u);
    Key(Qt::Key_Home);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0011] 0.555s\n11000p\n"));
    QCOMPARE(uint32_t(item_->Task().cursorFrame), 4440u);
    QCOMPARE(item_->Task().start, 4440u);

    // A block edit takes the block's frames, the cursor's stay.
    Click(128);
    Key(Qt::Key_End, Qt::ShiftModifier);
    Key(Qt::Key_Home, Qt::ShiftModifier);
    QVERIFY(Info().startsWith("BlockSt:\t[0000] 0.500s\nBlockEn:\t[0100] 0.750s\n"));
    QCOMPARE(item_->Task().start, kStart);
    QCOMPARE(item_->Task().end, 6000u);
    QCOMPARE(uint32_t(item_->Task().cursorFrame), 6000u);
    Hover(120);
    Key(Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(item_->Task().end, 5800u);

    // Ctrl+A: index 0000 and the plot's width as the block's length.
    Key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(Info(), QStringLiteral("BlockSt:\t[0000] 0.500s\n"
                                    "BlockEn:\t[0400] 1.500s\n"
                                    "BlockLe:\t[0400] 1.000s\n"
                                    "Frequ  :\t 1Hz"));
    QCOMPARE(item_->Task().start, kStart);
    QCOMPARE(item_->Task().end, kEnd);

    // A cursor step ends the block, in the frames and on the screen alike.
    const QImage before = Shot();
    Key(Qt::Key_Left);
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0049] 0.745s\n14800p\n"));
    QCOMPARE(item_->Task().start, 5960u);
    QCOMPARE(item_->Task().end, 5960u);
    const QImage after = Shot();
    QVERIFY(Inverted(after, before, 200, kClearRow));
}

void WavScrollViewTest::aNewSizeRedrawsThePlotWithItsAxes() {
    // The window must be painted whole at its new size, not only where it grew.
    PaintRecorder painted(view_);
    const QSize larger = kViewSize + QSize(120, 80);
    CBaseFrm* frame = CBaseFrm::Of(view_);
    frame->resize(frame->size() + larger - view_->size());
    QTRY_COMPARE(view_->size(), larger);
    QTRY_VERIFY(painted.region.contains(view_->rect()));
    const QImage resized = Shot();

    // A window opened at that size draws the same picture: the time axis
    // lies below the new plot, not where the old one ended.
    CWavScrollView* fresh = Open();
    QVERIFY(fresh);
    CBaseFrm* freshFrame = CBaseFrm::Of(fresh);
    freshFrame->resize(freshFrame->size() + larger - fresh->size());
    QTRY_COMPARE(fresh->size(), larger);
    QCOMPARE(resized, fresh->grab().toImage());

    // The plot's frame runs along the new bottom, with time labels below it.
    const int bottom = larger.height() - 15;
    const QRgb ink = QGuiApplication::palette().color(QPalette::WindowText).rgb() & 0xffffff;
    QCOMPARE(Rgb(resized, 300, bottom - 1), ink);
    int labelInk = 0;
    for (int y = bottom + 1; y < larger.height(); ++y)
        for (int x = kPlotLeft; x < larger.width(); ++x)
            labelInk += Rgb(resized, x, y) == ink;
    QVERIFY(labelInk > 0);
}

void WavScrollViewTest::aNewSizeKeepsTheCursorAndBlockFrames() {
    // Pixel 128 is frame 6000 at 20 frames per pixel; at other widths no
    // pixel lies on frame 6000 exactly.
    Click(128);
    QCOMPARE(uint32_t(item_->Task().cursorFrame), 6000u);
    CBaseFrm* frame = CBaseFrm::Of(view_);
    for (int grow : {37, 11, 0}) {
        frame->resize(frame->size() + kViewSize + QSize(grow, 0) - view_->size());
        QTRY_COMPARE(view_->width(), kViewSize.width() + grow);
        Shot();
        QCOMPARE(uint32_t(item_->Task().cursorFrame), 6000u);
        QCOMPARE(item_->Task().start, 6000u);
        QCOMPARE(item_->Task().end, 6000u);
        QTRY_VERIFY(Info().startsWith("CurPos:\t[0050] 0.75s\n"));
    }
    // After the user's own edit at a new width the block's frames come from
    // its pixels again; the cursor's stay.
    frame->resize(frame->size() + kViewSize + QSize(37, 0) - view_->size());
    QTRY_COMPARE(view_->width(), kViewSize.width() + 37);
    Key(Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(uint32_t(item_->Task().cursorFrame), 6000u);
    QCOMPARE(item_->Task().end, kEnd);
    QVERIFY(item_->Task().start != 6000u);
}

void WavScrollViewTest::taskDialogSetsTheBlockToTheFrame() {
    // A click first: the task's frames must not be taken for a cursor move.
    Click(200);
    // Frames 5005 .. 5085 lie at pixels trunc(1005 / 20) + 28 = 78 and 82.
    RunTask("5005", "5085");
    QCOMPARE(Info(), QStringLiteral("BlockSt:\t[0050] 0.625s\n"
                                    "BlockEn:\t[0054] 0.635s\n"
                                    "BlockLe:\t[0004] 0.010s\n"
                                    "Frequ  :\t 100Hz"));
    QCOMPARE(item_->Task().start, 5005u);
    QCOMPARE(item_->Task().end, 5085u);
    QCOMPARE(uint32_t(item_->Task().cursorFrame), 5005u);

    // The typed frames outlast a change of the window's size.
    CBaseFrm* frame = CBaseFrm::Of(view_);
    frame->resize(frame->size() + QSize(40, 0));
    QTRY_COMPARE(view_->width(), kViewSize.width() + 40);
    QCOMPARE(item_->Task().start, 5005u);
    QCOMPARE(item_->Task().end, 5085u);

    // An end typed before the start still selects the frames between them.
    RunTask("6000", "5000");
    QCOMPARE(item_->Task().start, 5000u);
    QCOMPARE(item_->Task().end, 6000u);
}

void WavScrollViewTest::taskDialogWithEqualEndsSetsTheCursor() {
    const QImage before = Shot();
    // Frame 8000 lies at pixel 228, index 100.
    RunTask("8000", "8000");
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0100] 1s\n-20000p\n"));
    QCOMPARE(item_->Task().playCursor, 228);
    QVERIFY(Inverted(before, Shot(), 228, kClearRow));
}

void WavScrollViewTest::shiftEndWithTheCursorAtTheRightEdgeGivesNoBlock() {
    RunTask("12000", "12000");
    QCOMPARE(item_->Task().playCursor, kPlotRight);
    Key(Qt::Key_End, Qt::ShiftModifier);
    QVERIFY(Info().startsWith("CurPos:\t[0199] 1.5s\n"));
    QCOMPARE(item_->Task().start, kEnd);
    QCOMPARE(item_->Task().end, kEnd);
}

void WavScrollViewTest::playbackPositionMovesTheLineOnly() {
    Click(128);
    const QString info = Info();
    const QImage before = Shot();
    PlayNotify notify;
    // 1 s is frame 8000, pixel 400 / 8000 * (8000 - 4000) + 28 = 228.
    notify.Write(app_->Tree()->CurrentHead()->Info().handle, 1.0);
    PlayNotifyEvent event(9, &notify);
    QApplication::sendEvent(view_, &event);
    QCOMPARE(item_->Task().playCursor, 228);
    QCOMPARE(item_->Task().cursorIndex, 50);
    QCOMPARE(uint32_t(item_->Task().cursorFrame), 6000u);
    QCOMPARE(Info(), info);
    const QImage after = Shot();
    QVERIFY(Inverted(before, after, 228, kClearRow));
    QVERIFY(Inverted(before, after, 128, kClearRow));

    // A position of another file's playback leaves the line alone.
    notify.Write(app_->Tree()->CurrentHead()->Info().handle + 1, 1.25);
    PlayNotifyEvent other(5, &notify);
    QApplication::sendEvent(view_, &other);
    QCOMPARE(item_->Task().playCursor, 228);
}

void WavScrollViewTest::contextMenuOffersInsertWavAndTask() {
    QStringList texts;
    QList<int> ids;
    QPoint at;
    WhenShown([&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            texts << action->text();
            ids << action->data().toInt();
        }
        at = menu->pos();
        menu->close();
    });
    Key(Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(texts, (QStringList{"Insert &Wav", "Insert &Fft", "Insert &Son", "&Task", "",
                                 "Export &Data...", "Export I&mage..."}));
    QCOMPARE(ids, (QList<int>{Cmd::ViewInsertWav, Cmd::ViewInsertFft, Cmd::ViewInsertSon,
                              Cmd::ViewTask, 0, Cmd::FileExportData, Cmd::FileExportImage}));
    QCOMPARE(at, view_->mapToGlobal(QPoint(5, 5)));
}

void WavScrollViewTest::insertWavOpensAWindowOnTheBlock() {
    Hover(128);
    SendMouse(view_, QEvent::MouseButtonPress, 128, 100, Qt::LeftButton, Qt::LeftButton);
    Drag(132);
    Release(132);
    WhenShown([] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menu->actions().first()->trigger();
            menu->close();
        }
    });
    Key(Qt::Key_F10, Qt::ShiftModifier);

    QTreeWidgetItem* node = app_->Tree()->FindNode(item_);
    QCOMPARE(node->childCount(), 1);
    auto* inserted = dynamic_cast<CSfWav*>(app_->Tree()->ItemOf(node->child(0)));
    QVERIFY(inserted);
    QCOMPARE(inserted->Range().start, 6000u);
    QCOMPARE(inserted->Range().end, 6080u);
    auto* window = qobject_cast<CWavScrollView*>(inserted->GetWindow());
    QVERIFY(window);
    // A new window opens at a size to work in, not collapsed to its title.
    QVERIFY(window->width() >= 200 && window->height() >= 100);
    // 80 frames are fewer than the 200 values a window may hold: the samples
    // themselves, frame 6000 first (chunk 75, even frame).
    QCOMPARE(inserted->Envelope().values.size(), size_t(80));
    QTRY_COMPARE(Info(), QStringLiteral("CurPos:\t[0000] 0.75s\n15000p\n"));
}

void WavScrollViewTest::publishingShowsTheRangeInTheHeadWindow() {
    CWavScrollView* second = Open(kStart, kEnd, 1);
    QVERIFY(second);
    // Channel 1 holds half of channel 0.
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0000] 0.5s\n-5000p\n"));

    SfTask& head = app_->Tree()->CurrentHead()->Info().task;
    head.start = 100;
    head.end = 200;
    head.channel = 0;
    second->PublishTask();
    QCOMPARE(head.start, kStart);
    QCOMPARE(head.end, kEnd);
    QCOMPARE(head.channel, 1);
    view_->PublishTask();
    QCOMPARE(head.channel, 0);
}

void WavScrollViewTest::viewKeysComeBeforeTheMainWindowsShortcuts() {
    QList<QAction*> taken;
    for (const QKeySequence& keys :
         {QKeySequence("Ctrl+A"), QKeySequence("Home"), QKeySequence("Right")}) {
        auto* action = new QAction(app_->MainFrame());
        action->setShortcut(keys);
        app_->MainFrame()->addAction(action);
        taken << action;
    }
    QSignalSpy ctrlA(taken[0], &QAction::triggered);
    QSignalSpy home(taken[1], &QAction::triggered);
    QSignalSpy right(taken[2], &QAction::triggered);
    Key(Qt::Key_Right);
    Key(Qt::Key_Home, Qt::ShiftModifier);
    Key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(ctrlA.count() + home.count() + right.count(), 0);
    QVERIFY(Info().startsWith("BlockSt:\t[0000] 0.500s\nBlockEn:\t[0400] 1.500s\n"));
}

void WavScrollViewTest::withoutItsItemTheViewDoesNothing() {
    auto* action = new QAction(app_->MainFrame());
    action->setShortcut(QKeySequence("Ctrl+A"));
    app_->MainFrame()->addAction(action);
    QSignalSpy spy(action, &QAction::triggered);

    // As while the window closes after the tree removed its item.
    const QString info = Info();
    view_->Document()->ForgetItem();
    Click(128);
    Key(Qt::Key_End);
    Key(Qt::Key_A, Qt::ControlModifier);
    view_->PublishTask();
    bool dialogShown = false;
    WhenShown([&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialogShown = true;
            dialog->close();
        }
    });
    view_->RunTaskDialog();
    QVERIFY(!dialogShown);
    QVERIFY(!Shot().isNull());
    QCOMPARE(Info(), info);
    QCOMPARE(item_->Task().cursorIndex, 0);
    // The key is left to the main window.
    QCOMPARE(spy.count(), 1);
}

void WavScrollViewTest::windowImageKeysCopyAndSave() {
    CBaseFrm* frame = CBaseFrm::Of(view_);
    QGuiApplication::clipboard()->clear();
    Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->image().size(), frame->size());
    // Copying is no view key: the block stays as it was.
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0000] 0.5s\n-10000p\n"));

    const QString path = dir_.path() + "/window.bmp";
    WhenShown([path] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    Key(Qt::Key_B, Qt::ControlModifier);
    const QImage saved(path, "BMP");
    QCOMPARE(saved.size(), frame->size());
}

void WavScrollViewTest::silentRangeDrawsItsCurveOnTheZeroLine() {
    // Frames 0 .. 80 are silent: peak 0, bounds 0 and 0.
    view_ = Open(0, 80);
    QVERIFY(view_);
    item_ = ItemOf(view_);
    QCOMPARE(item_->Envelope().upper, 0.0f);
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0000] 0m\n0p\n"));
    // The zero line is the middle row, 4 + (281 + 1) / 2; the curve lies on it.
    const QImage shot = Shot();
    const QRgb navy = qRgb(0, 0, 128) & 0xffffff;
    QCOMPARE(Rgb(shot, 200, 145), navy);
    for (int y = 5; y < 284; ++y)
        if (y != 145)
            QVERIFY2(Rgb(shot, 200, y) != navy, qPrintable(QString::number(y)));
    // 80 values over 400 pixels: pixel 128 is index 20, 0.0025 s.
    Click(129);
    QCOMPARE(Info(), QStringLiteral("CurPos:\t[0020] 0.0025s\n0p\n"));
}

void WavScrollViewTest::amplitudeStepKeepsLabelsTwoLinesApart() {
    // P = 50 at 2.8 pixels per percent: k = -1, the 50 % block is 140
    // pixels, m = trunc(140 / 26 - 1) = 4, j = 2, step 100 / 2^3.
    QCOMPARE(AmplitudeStep(50.0, 2.8, 13), 12.5);
    // Below 100 % k truncates toward zero: P = 60 starts from the 100 %
    // block (100 pixels, m = 4, step 25), not the 50 % one (m = 1, step 50).
    QCOMPARE(AmplitudeStep(60.0, 1.0, 10), 25.0);
    // A tall plot: 500 pixels per 100 %, m = 24, j = 4.
    QCOMPARE(AmplitudeStep(100.0, 5.0, 10), 6.25);
    // m = 0: 30 pixels per 100 % hold no second row; one label per 100 %.
    QCOMPARE(AmplitudeStep(100.0, 0.3, 13), 100.0);
    // m < 0: 10 pixels per 100 %, the step grows to 400 %: no label fits.
    QCOMPARE(AmplitudeStep(100.0, 0.1, 13), 400.0);
    QCOMPARE(AmplitudeStep(0.0, 1.0, 13), 0.0);
    QCOMPARE(AmplitudeStep(50.0, 0.0, 13), 0.0);
    QCOMPARE(AmplitudeStep(50.0, 1.0, 0), 0.0);

    for (double peak : {0.001, 0.3, 6.68, 25.0, 50.19, 99.9, 100.0, 110.0, 400.0})
        for (int height = 1; height <= 1200; height += 7) {
            const double scale = height / (2 * peak);
            const double step = AmplitudeStep(peak, scale, 13);
            QVERIFY(step > 0);
            QVERIFY2(step * scale >= 26.0, qPrintable(QString("%1 %2").arg(peak).arg(height)));
        }
}

void WavScrollViewTest::amplitudeAxisTicksOnAKnownRectangle() {
    // The axis is drawn 100 pixels right of the image's left edge, so that a
    // label reaching out of the window's 28-pixel margin would show up left
    // of column 100.
    constexpr int kShift = 100;
    QImage image(600, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int textHeight = QFontMetrics(ScaleFont(image), &image).height();
    // Between 10 and 13 pixels of text the step below is 12.5 %.
    QVERIFY(textHeight >= 10 && textHeight <= 13);
    {
        QPainter p(&image);
        p.translate(kShift, 0);
        // 281 rows for 2 x 50 %: 2.81 pixels per percent, zero at row 4 + 141.
        DrawAmplitudeAxis(p, PlotRect{28, 4, 428, 285}, 50.0);
    }
    const QRgb white = 0xffffff;
    const QRgb ink = QGuiApplication::palette().color(QPalette::WindowText).rgb() & 0xffffff;
    const QRgb text = QGuiApplication::palette().color(QPalette::Text).rgb() & 0xffffff;
    QCOMPARE(Rgb(image, kShift + 28, 145), text);
    QCOMPARE(Rgb(image, kShift + 427, 145), text);
    QCOMPARE(Rgb(image, kShift + 428, 145), white);
    QCOMPARE(Rgb(image, kShift + 200, 144), white);
    // 12.5 %, 25 %, 37.5 % and 50 % at trunc(v x 2.81) = 35, 70, 105, 140 rows.
    QList<int> rows;
    for (int y = 0; y < 300; ++y)
        if (Rgb(image, kShift + 25, y) == ink)
            rows << y;
    QCOMPARE(rows, (QList<int>{5, 40, 75, 110, 180, 215, 250, 285}));
    // Ticks run from the frame 5 pixels out, not into the plot.
    QCOMPARE(Rgb(image, kShift + 23, 110), ink);
    QCOMPARE(Rgb(image, kShift + 27, 110), ink);
    QCOMPARE(Rgb(image, kShift + 28, 110), white);
    // Labels ("0%", "12.5" ... "-50") end 6 pixels out, and even "-37.5"
    // keeps its minus sign inside the margin.
    for (int y : {110, 145, 250}) {
        int dark = 0;
        for (int x = kShift; x < kShift + 22; ++x)
            for (int dy = -textHeight / 2; dy < textHeight / 2; ++dy)
                dark += Rgb(image, x, y + dy) != white;
        QVERIFY2(dark > 0, qPrintable(QString::number(y)));
    }
    for (int x = 0; x < kShift; ++x)
        for (int y = 0; y < 300; ++y)
            QVERIFY2(Rgb(image, x, y) == white, qPrintable(QString("%1 %2").arg(x).arg(y)));
}

void WavScrollViewTest::amplitudeAxisOnALowPlotOrWithoutPeak() {
    const QRgb ink = QGuiApplication::palette().color(QPalette::WindowText).rgb() & 0xffffff;
    const auto tickRows = [&](const PlotRect& rect, double peak) {
        QImage image(500, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        DrawAmplitudeAxis(p, rect, peak);
        p.end();
        QList<int> rows;
        for (int y = 0; y < 300; ++y)
            if (Rgb(image, 25, y) == ink)
                rows << y;
        return rows;
    };
    // Silence: the zero line alone.
    QCOMPARE(tickRows(PlotRect{28, 4, 428, 285}, 0.0), QList<int>());
    // 60 rows for 2 x 100 %: one label row fits per 100 %, ticks at 34 -/+ 30.
    QCOMPARE(tickRows(PlotRect{28, 4, 428, 64}, 100.0), (QList<int>{4, 64}));
    // 20 rows: no label fits beside the zero one, and nothing hangs.
    QCOMPARE(tickRows(PlotRect{28, 4, 428, 24}, 100.0), QList<int>());
    QCOMPARE(tickRows(PlotRect{28, 4, 428, 4}, 100.0), QList<int>());
}

QTEST_MAIN(WavScrollViewTest)
#include "WavScrollViewTest.moc"
