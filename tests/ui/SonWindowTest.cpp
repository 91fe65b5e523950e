// The sonagram window built on real WAV files, with a fake of the program
// around it: the image of a tone, the selection and cursor under the mouse and
// the keys at the plot's edges, frames that survive a new size, the task
// dialog, insertion from the selection, the data-log lines, the playback
// cursor, and the level pane's cursor and peak jumps.
#include "app/ui/QtPlaySink.h"
#include "drawing/TimeText.h"
#include "playback/CSfPlay.h"
#include "playback/PlayNotify.h"
#include "resources/CommandIds.h"
#include "selection/ui/CTaskDlg.h"
#include "sonagram/CSfSon.h"
#include "sonagram/ui/CSonDoc.h"
#include "sonagram/ui/CSonFrm.h"
#include "sonagram/ui/CSonScrollView.h"
#include "sonagram/ui/CSonScrollView2.h"
#include "sonagram/ui/SonagramWindows.h"
#include "support/AnalysisFiles.h"
#include "support/FakeViewServices.h"

#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace TaskFlags;

constexpr uint32_t kRate = 8000;
// The window shows frames 4000 .. 12000 of a tone of 1000 Hz. The image pane
// is 432 x 300: a plot from 28 to 428 (400 pixels, 20 frames or 2.5 ms each)
// and from 4 to 285. Lfft 256 up to 4000 Hz gives 128 rows, the tone's bin
// 32 in row 95; a screen 64 pixels wide gives 32 columns.
constexpr uint32_t kStart = 4000;
constexpr uint32_t kEnd = 12000;
const QSize kPaneSize(432, 300);
constexpr int kPlotTop = 4;
constexpr int kPlotBottom = 285;

void SendMouse(QWidget* widget, QEvent::Type type, int x, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPointF at(x, 100);
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xffffff;
}

// The rows of column x of the plot in the pitch contour's colour.
std::vector<int> PitchRows(const QImage& image, int x) {
    std::vector<int> rows;
    for (int y = kPlotTop; y < kPlotBottom; ++y)
        if (Rgb(image, x, y) == (PitchColour().rgb() & 0xffffff))
            rows.push_back(y);
    return rows;
}

// The number after label= in text, or -1 where there is none.
double NumberAfter(const std::string& text, const std::string& label) {
    const size_t at = text.find(label);
    return at == std::string::npos ? -1.0 : std::atof(text.c_str() + at + label.size());
}

// Mouse and key input as a table can hold it: "h128" hovers, "p128" presses,
// "P128" presses with Shift, "d128" drags with the button held, "r128"
// releases; keys are "L", "R", "H", "E", "A" (Ctrl+A), prefixed "^" for Ctrl
// and "+" for Shift.
void Input(QWidget* view, const QString& steps) {
    for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
        const QChar kind = step[0];
        const int x = step.mid(1).toInt();
        if (kind == 'h') {
            SendMouse(view, QEvent::MouseMove, x, Qt::NoButton, Qt::NoButton);
        } else if (kind == 'p' || kind == 'P') {
            SendMouse(view, QEvent::MouseButtonPress, x, Qt::LeftButton, Qt::LeftButton,
                      kind == 'P' ? Qt::ShiftModifier : Qt::NoModifier);
        } else if (kind == 'd') {
            SendMouse(view, QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton);
        } else if (kind == 'r') {
            SendMouse(view, QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton);
        } else {
            Qt::KeyboardModifiers modifiers;
            QString name = step;
            while (name.size() > 1 && (name[0] == '^' || name[0] == '+')) {
                modifiers |= name[0] == '^' ? Qt::ControlModifier : Qt::ShiftModifier;
                name = name.mid(1);
            }
            static const std::map<QString, Qt::Key> keys{{"L", Qt::Key_Left}, {"R", Qt::Key_Right},
                                                         {"H", Qt::Key_Home}, {"E", Qt::Key_End},
                                                         {"A", Qt::Key_A},    {"W", Qt::Key_W}};
            if (name == "A")
                modifiers |= Qt::ControlModifier;
            QTest::keyClick(view, keys.at(name), modifiers);
        }
    }
}

} // namespace

class SonWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void toneIsADarkLineOnWhite();
    void mouseAndKeys_data();
    void mouseAndKeys();
    void newSizeKeepsTheFramesTheUserSelected();
    void taskDialogSetsTheSelection();
    void insertionFromTheSelection();
    void keyWLogsTheColumnUnderTheCursor();
    void playbackMovesTheCursorLine();
    void levelPaneCursorAndPeakJumps();
    void f6InTheLevelPaneGoesToTheImageWhichPlaysWithIt();
    void keyFShowsThePitchOfAVoicedSound();
    void colourMapRepaintsFromTheCellsWithABar();
    void pointerReadsTheCellUnderIt();

private:
    // A head on the tone with frames start .. end as its task.
    CSfHead* Head(uint32_t start, uint32_t end);
    // The image pane alone, kPaneSize, on a sonagram of head's task.
    bool OpenPane(CSfHead& head);
    // The whole window: image pane over level pane.
    bool OpenWindow(CSfHead& head, QSize size);
    CSfSon& Son() const { return static_cast<CSfSon&>(*item_); }
    std::string Info() const { return services_->LastInfo(); }

    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<FakeViewServices> services_;
    std::unique_ptr<CSfHead> head_;
    std::unique_ptr<CSfBase> item_;
    std::unique_ptr<CSonScrollView> pane_;
    std::unique_ptr<CSonFrm> frame_;
};

void SonWindowTest::init() {
    dir_ = std::make_unique<TempDir>();
    services_ = std::make_unique<FakeViewServices>();
    services_->screenWidth = 64;
    FftSettings& son = services_->settings.Son();
    son.Lfft = son.Lwdw = 256;
    son.IWin = 2;
    son.Range = 70;
    son.Fmax = 8000; // above half the rate: lowered to 4000
}

void SonWindowTest::cleanup() {
    frame_.reset();
    pane_.reset();
    item_.reset();
    head_.reset();
    services_.reset();
    dir_.reset();
}

CSfHead* SonWindowTest::Head(uint32_t start, uint32_t end) {
    head_ = OpenSamples(*dir_, Sine(16000, 1000, kRate, 10000), kRate);
    if (head_)
        SetHeadTask(*head_, start, end);
    return head_.get();
}

bool SonWindowTest::OpenPane(CSfHead& head) {
    item_ = MakeSonagramItem(head, services_->settings);
    if (!item_)
        return false;
    pane_ = std::make_unique<CSonScrollView>(*services_, std::make_unique<CSonDoc>(&Son()));
    pane_->resize(kPaneSize);
    pane_->show();
    if (!QTest::qWaitForWindowExposed(pane_.get()))
        return false;
    QCoreApplication::processEvents();
    return pane_->Drawable() && pane_->size() == kPaneSize;
}

bool SonWindowTest::OpenWindow(CSfHead& head, QSize size) {
    item_ = MakeSonagramItem(head, services_->settings);
    if (!item_)
        return false;
    auto* view = new CSonScrollView(*services_, std::make_unique<CSonDoc>(&Son()));
    frame_ = std::make_unique<CSonFrm>(*services_, view);
    frame_->resize(size);
    frame_->show();
    if (!QTest::qWaitForWindowExposed(frame_.get()))
        return false;
    QCoreApplication::processEvents();
    return view->Drawable();
}

void SonWindowTest::toneIsADarkLineOnWhite() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenPane(*head));
    const QImage& image = pane_->Image();
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QCOMPARE(image.size(), QSize(32, 128));
    QCOMPARE(Son().Param().Fmax, 4000.0f);
    QCOMPARE(Son().Param().Fmin, 0.0f);
    // The loudest cell is black, its neighbour bins 6 dB down a dark grey,
    // everything else the white background.
    for (int x = 0; x < 32; ++x) {
        QCOMPARE(image.pixelColor(x, 95), QColor(Qt::black));
        QVERIFY(qGray(image.pixel(x, 94)) < 40);
        QCOMPARE(image.pixelColor(x, 10), QColor(Qt::white));
        QCOMPARE(image.pixelColor(x, 127), QColor(Qt::white));
    }

    // On screen the 128 rows stretch over 281 pixel rows: row 95 covers rows
    // 4 + 95 x 281 / 128 = 212.5 to 214.7. Stretched without smoothing, the
    // middle of the line is black, the white plot around it pure white.
    const QImage shown = pane_->grab().toImage();
    QCOMPARE(Rgb(shown, 200, 213), 0u);
    QCOMPARE(Rgb(shown, 200, 100), 0xffffffu);
    QCOMPARE(Rgb(shown, 200, 240), 0xffffffu);
    // No cursor or selection yet: the cursor rests on the plot's left edge.
    QCOMPARE(Son().Param().view.cursorX, 28);
    QCOMPARE(Son().Param().view.viewFlags, kShown);
}

void SonWindowTest::mouseAndKeys_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<uint>("start");
    QTest::addColumn<uint>("end");
    QTest::addColumn<uint>("cursor");
    QTest::addColumn<QString>("length");

    QTest::newRow("a click collapses the selection")
        << "h128 p128 d228 r228 h150 p150 r150" << 6440u << 6440u << 6440u << "[0000] 0.000s";
    QTest::newRow("a drag selects")
        << "h128 p128 d228 r228" << 6000u << 8000u << 6000u << "[0100] 0.250s";
    QTest::newRow("the right edge dragged past the left swaps them")
        << "h128 p128 d228 d50 r50" << 4440u << 6000u << 6000u << "[0078] 0.195s";
    QTest::newRow("shift-click moves the nearer edge, not the cursor")
        << "h100 p100 r100 h150 P200 r200" << 5440u << 7440u << 5440u << "[0100] 0.250s";
    QTest::newRow("left at the plot edge does nothing")
        << "H L" << 4000u << 4000u << 4000u << "[0000] 0.000s";
    QTest::newRow("ctrl-left with fewer than ten pixels left does nothing")
        << "h37 p37 r37 ^L" << 4180u << 4180u << 4180u << "[0000] 0.000s";
    QTest::newRow("end stops on the last pixel")
        << "E R" << 11980u << 11980u << 11980u << "[0000] 0.000s";
    QTest::newRow("ctrl-a selects the whole range")
        << "h100 p100 r100 A" << 4000u << 12000u << 5440u << "[0400] 1.000s";
    QTest::newRow("shift-end selects from the cursor to the end")
        << "h100 p100 r100 +E" << 5440u << 12000u << 5440u << "[0328] 0.820s";
}

void SonWindowTest::mouseAndKeys() {
    QFETCH(QString, input);
    QFETCH(uint, start);
    QFETCH(uint, end);
    QFETCH(uint, cursor);
    QFETCH(QString, length);
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenPane(*head));
    Input(pane_.get(), input);
    const SfFftParam& p = Son().Param();
    QCOMPARE(p.start, start);
    QCOMPARE(p.end, end);
    QCOMPARE(uint(p.view.cursorFrame), cursor);
    // The item's task is the selection: what an insertion analyses.
    SfTask task;
    Son().GetTask(task);
    QCOMPARE(task.start, start);
    QCOMPARE(task.end, end);
    const std::string info = Info();
    // The stated lines end with the block length; the readout of the point
    // the pointer last rested on follows them.
    const std::string tail = "BlockLe:\t" + length.toStdString();
    const size_t at = info.find(tail);
    QVERIFY2(at != std::string::npos, info.c_str());
    const std::string rest = info.substr(at + tail.size());
    QVERIFY2(rest.empty() || rest.rfind("\r\nTime:\t", 0) == 0, info.c_str());
}

void SonWindowTest::newSizeKeepsTheFramesTheUserSelected() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenPane(*head));
    Input(pane_.get(), "h128 p128 d228 r228");
    QCOMPARE(Son().Param().start, 6000u);
    // 7 frames per pixel and a fraction: the pixels move, the frames stay,
    // through several sizes and back.
    for (int w : {1171, 333, 29, 30, 432}) {
        pane_->resize(w, 300);
        QCoreApplication::processEvents();
        pane_->grab();
        QCOMPARE(Son().Param().start, 6000u);
        QCOMPARE(Son().Param().end, 8000u);
        QCOMPARE(uint(Son().Param().view.cursorFrame), 6000u);
    }
    // Back at the first size, the marks are where they were: the selection
    // starts with the cursor at pixel 128.
    QVERIFY2(Info().find("CurPos:\t[0100] 0.750s") != std::string::npos, Info().c_str());
    QVERIFY2(Info().find("BlockLe:\t[0100] 0.250s") != std::string::npos, Info().c_str());
    // The whole plot height of the selection is inverted: white turned black.
    const QImage shown = pane_->grab().toImage();
    QCOMPARE(Rgb(shown, 180, kPlotTop + 1), 0u);
    QCOMPARE(Rgb(shown, 180, kPlotBottom - 2), 0u);
    QCOMPARE(Rgb(shown, 240, kPlotTop + 1), 0xffffffu);
}

void SonWindowTest::taskDialogSetsTheSelection() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenPane(*head));
    Input(pane_.get(), "h300 p300 r300");
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CTaskDlg*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        dialog->findChild<QLineEdit*>(QString::number(CTaskDlg::kStartEditId))->setText("5005");
        dialog->findChild<QLineEdit*>(QString::number(CTaskDlg::kEndEditId))->setText("7040");
        dialog->accept();
    });
    pane_->RunTaskDialog();
    QVERIFY(seen);
    const SfFftParam& p = Son().Param();
    QCOMPARE(p.start, 5005u);
    QCOMPARE(p.end, 7040u);
    QCOMPARE(uint(p.view.cursorFrame), 5005u);
    // Frame 5005 is pixel 50.25 from the plot edge, rounded 50; 7040 is 152.
    QVERIFY2(Info().find("BlockSt:\t[0050] 0.625s") != std::string::npos, Info().c_str());
    QVERIFY2(Info().find("BlockEn:\t[0152] 0.880s") != std::string::npos, Info().c_str());
    // A repaint does not take the typed frames from the pixels.
    pane_->resize(500, 300);
    pane_->grab();
    QCOMPARE(p.start, 5005u);
    QCOMPARE(p.end, 7040u);
}

void SonWindowTest::insertionFromTheSelection() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenPane(*head));
    QStringList texts;
    const auto run = [&](const QString& text) {
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            texts.clear();
            for (QAction* action : menu->actions())
                texts << action->text();
            for (QAction* action : menu->actions())
                if (action->text() == text)
                    action->trigger();
            menu->close();
        });
        QTest::keyClick(pane_.get(), Qt::Key_F10, Qt::ShiftModifier);
    };
    // Nothing selected: a new sonagram has no range and is refused.
    QVERIFY(!MakeSonagramItem(Son(), services_->settings));

    Input(pane_.get(), "h128 p128 d228 r228");
    run("Insert &Wav");
    run("Insert &Fft");
    run("Insert &Son");
    QCOMPARE(texts, (QStringList{"Insert &Wav", "Insert &Fft", "Insert &Son", "Show &Info", "&Task",
                                 "Show &Pitch", "Colour &Map", "", "Export &Data...",
                                 "Export I&mage..."}));
    QCOMPARE(services_->inserts.size(), size_t(3));
    QCOMPARE(services_->inserts[0].first, int(InsertRequest::Waveform));
    QCOMPARE(services_->inserts[1].first, int(InsertRequest::Spectrum));
    QCOMPARE(services_->inserts[2].first, int(InsertRequest::Sonagram));
    for (const auto& insert : services_->inserts)
        QCOMPARE(insert.second, item_.get());

    // A sonagram inserted from this one analyses its selection, under the
    // same head.
    std::unique_ptr<CSfBase> inner = MakeSonagramItem(Son(), services_->settings);
    QVERIFY(inner);
    auto& son = static_cast<CSfSon&>(*inner);
    QCOMPARE(son.GetHead(), head);
    QCOMPARE(son.Range().start, 6000u);
    QCOMPARE(son.Range().end, 8000u);
    QCOMPARE(son.GetName(), std::string("SON: 0, 0.75s_1s 256"));

    run("Show &Info");
    QCOMPARE(services_->desktop.messages.size(), size_t(1));
    QCOMPARE(services_->desktop.messages[0].second, MessageIcon::Information);
    QVERIFY(services_->desktop.messages[0].first.find("\nFMax:\t4000.000000") != std::string::npos);
}

void SonWindowTest::keyWLogsTheColumnUnderTheCursor() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenPane(*head));
    Son().Levels().values[10] = 61.5f;
    // Pixel 128 is frame 6000, column trunc(2000 x 32 / 8000) = 8; pixel 178
    // is frame 7000, column 12. 6500 lies in column 10.
    Input(pane_.get(), "h153 p153 r153 W");
    QCOMPARE(services_->dataLog.size(), size_t(1));
    QCOMPARE(services_->dataLog[0],
             "SON\t" + head->Info().path + "\t0\t0.5\t1.5\t256\t2\t0.8125\t61.5\n");
}

void SonWindowTest::playbackMovesTheCursorLine() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenPane(*head));
    const QImage before = pane_->grab().toImage();
    // 0.75 s into the file is frame 6000, a quarter of the range: pixel 128;
    // white there turns black.
    PlayNotify notify;
    notify.Write(head->Info().handle, 0.75);
    QCoreApplication::postEvent(pane_.get(), new PlayNotifyEvent(0, &notify));
    QCoreApplication::processEvents();
    QCOMPARE(Son().Param().view.cursorX, 128);
    const QImage after = pane_->grab().toImage();
    QCOMPARE(Rgb(after, 128, 50), 0u);
    QCOMPARE(Rgb(after, 129, 50), Rgb(before, 129, 50));
    // Another file's position moves nothing, and the cursor frame stays.
    notify.Write(head->Info().handle + 1, 1.25);
    QCoreApplication::postEvent(pane_.get(), new PlayNotifyEvent(0, &notify));
    QCoreApplication::processEvents();
    QCOMPARE(Son().Param().view.cursorX, 128);
    QCOMPARE(uint(Son().Param().view.cursorFrame), kStart);

    // F6 with a selection plays it; Esc stops.
    Input(pane_.get(), "h128 p128 d228 r228");
    QTest::keyClick(pane_.get(), Qt::Key_F6);
    QVERIFY(services_->player.IsPlaying());
    QTest::keyClick(pane_.get(), Qt::Key_Escape);
    QVERIFY(!services_->player.IsPlaying());
}

void SonWindowTest::f6InTheLevelPaneGoesToTheImageWhichPlaysWithIt() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenWindow(*head, QSize(700, 560)));
    CSonScrollView2* levels = frame_->LevelPane();
    QWidget* image = frame_->ImagePane();
    for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
        levels->setFocus();
        QTest::keyClick(levels, Qt::Key_F6, modifiers);
        QVERIFY(image->hasFocus());
        QVERIFY(!services_->Player().IsPlaying());
    }
    // The image keeps F6 for playing its selection: the focus stays.
    QTest::keyClick(image, Qt::Key_F6);
    QVERIFY(image->hasFocus());
    services_->Player().StopPlay();
    // The level pane's plot ends where the image's does, with and without the
    // colour bar, so a time lies at one x in both.
    for (int32_t map : {kMapViridis, kMapGrey}) {
        frame_->ImagePane()->SetColourMap(map);
        QCOMPARE(levels->LevelRect().left, frame_->ImagePane()->ImageRect().left);
        QCOMPARE(levels->LevelRect().right, frame_->ImagePane()->ImageRect().right);
    }
}

void SonWindowTest::levelPaneCursorAndPeakJumps() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenWindow(*head, QSize(700, 560)));
    CSonScrollView2* levels = frame_->LevelPane();
    SonLevels& curve = Son().Levels();
    QCOMPARE(curve.values.size(), size_t(32));
    QCOMPARE(curve.cursorShown, 1);
    levels->setFocus();
    const auto column = [&] { return curve.cursorColumn; };
    // A rising curve has no maximum to jump to: the cursor stays.
    for (int i = 0; i < 32; ++i)
        curve.values[size_t(i)] = float(i);
    QTest::keyClick(levels, Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(column(), 0);
    // Rising to 20, then falling: the jump ends just after the maximum, and
    // on the falling part every value is one, so the jumps go step by step.
    for (int i = 21; i < 32; ++i)
        curve.values[size_t(i)] = float(40 - i);
    QTest::keyClick(levels, Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(column(), 21);
    QTest::keyClick(levels, Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(column(), 22);
    QTest::keyClick(levels, Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(column(), 21);
    QTest::keyClick(levels, Qt::Key_Left);
    QCOMPARE(column(), 20);
    QTest::keyClick(levels, Qt::Key_End);
    QTest::keyClick(levels, Qt::Key_Right);
    QCOMPARE(column(), 31);
    QTest::keyClick(levels, Qt::Key_Home);
    QTest::keyClick(levels, Qt::Key_Left);
    QCOMPARE(column(), 0);

    // The last pixel of the plot rounds to the column past the end: held at
    // the last one.
    const int right = levels->width() - 4;
    SendMouse(levels, QEvent::MouseButtonPress, right - 1, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(column(), 31);
    QCOMPARE(curve.cursorX, right - 1);
    QCOMPARE(Info(), ShortPathText(head->Info().path, 25) + "\r\nRMS\r\n[0031] 1.46875s 9dB");
    QTest::keyClick(levels, Qt::Key_W);
    QCOMPARE(services_->dataLog.size(), size_t(1));
    QCOMPARE(services_->dataLog[0],
             "RMS\t" + head->Info().path + "\t0\t0.5\t1.5\t0\t0\t1.46875\t9\n");
    // The level pane offers no menu.
    QTest::keyClick(levels, Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(!QApplication::activePopupWidget());
}

void SonWindowTest::keyFShowsThePitchOfAVoicedSound() {
    // One second of a steady voice at 150 Hz, sampled at 16 kHz.
    head_ = OpenSamples(*dir_, Voiced(16000, 150, 16000, 12000), 16000);
    QVERIFY(head_);
    SetHeadTask(*head_, 0, 16000);
    QVERIFY(OpenPane(*head_));
    // Off by default: the plain image and the plain info text.
    QVERIFY(!pane_->Pitch().Shown());
    Input(pane_.get(), "h228 p228 r228");
    const std::string plain = Info();
    QVERIFY2(plain.find("F0=") == std::string::npos, plain.c_str());
    const QImage before = pane_->grab().toImage();
    for (int x = 30; x < 426; ++x)
        QVERIFY(PitchRows(before, x).empty());

    QTest::keyClick(pane_.get(), Qt::Key_F);
    QVERIFY(pane_->Pitch().Shown());
    // A frame every 10 ms, all voiced at 150 Hz.
    const PitchContour& contour = pane_->Pitch().Contour();
    QVERIFY(contour.f0.size() > 90);
    for (double f0 : contour.f0)
        QVERIFY2(std::abs(f0 - 150) < 1, qPrintable(QString::number(f0)));
    // The info lines stay as they were, and the pitch at the cursor follows:
    // 150 Hz is D3 and 37 cents with A4 at 440 Hz.
    const std::string info = Info();
    QVERIFY2(info.rfind(plain + "\r\nF0=", 0) == 0, info.c_str());
    QVERIFY2(std::abs(NumberAfter(info, "\r\nF0=") - 150) < 1, info.c_str());
    QVERIFY2(info.find("Hz, D3+37Cent") != std::string::npos, info.c_str());

    // The contour crosses the image at the height of 150 Hz on its scale of
    // 75 .. 600 Hz over the plot's 281 rows: row 284 - 40 = 244, a line two
    // pixels thick. The scale's labels stand right of column 390.
    const QImage shown = pane_->grab().toImage();
    for (int x : {60, 150, 300, 380}) {
        const std::vector<int> rows = PitchRows(shown, x);
        QVERIFY2(!rows.empty() && rows.front() >= 242 && rows.back() <= 246,
                 qPrintable(QString("column %1: %2 rows").arg(x).arg(rows.size())));
    }

    // The menu entry is checked, and hides it again.
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            if (action->text() == "Show &Pitch" && action->isChecked()) {
                seen = true;
                action->trigger();
            }
        menu->close();
    });
    QTest::keyClick(pane_.get(), Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(seen);
    QVERIFY(!pane_->Pitch().Shown());
    QCOMPARE(Info(), plain);
    QVERIFY(PitchRows(pane_->grab().toImage(), 150).empty());
}

void SonWindowTest::colourMapRepaintsFromTheCellsWithABar() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenPane(*head));
    const std::vector<uint8_t> indices = pane_->Cells().index;
    const int greyRight = pane_->ImageRect().right;
    pane_->SetColourMap(kMapViridis);
    // The same cells, coloured anew: the tone the brightest yellow of the
    // map, the background its darkest purple; the plot makes room for the bar.
    QCOMPARE(pane_->Cells().index, indices);
    QCOMPARE(pane_->Image().pixel(5, 95), qRgb(253, 231, 37));
    QCOMPARE(pane_->Image().pixel(5, 10), qRgb(68, 1, 84));
    QVERIFY(pane_->ImageRect().right < greyRight - 20);
    const QImage shown = pane_->grab().toImage();
    const int barX = pane_->ImageRect().right + 8;
    const PlotRect r = pane_->ImageRect();
    // The bar runs from the background colour at its foot to the loudest at its top.
    QCOMPARE(Rgb(shown, barX, r.bottom - 2), 0x440154u);
    const QRgb top = shown.pixel(barX, r.top + 1);
    QVERIFY(qRed(top) > 240 && qGreen(top) > 220 && qBlue(top) < 60);
    pane_->SetColourMap(kMapGrey);
    QCOMPARE(pane_->ImageRect().right, greyRight);
    QCOMPARE(pane_->Image().pixelColor(5, 95), QColor(Qt::black));
}

void SonWindowTest::pointerReadsTheCellUnderIt() {
    CSfHead* head = Head(kStart, kEnd);
    QVERIFY(head);
    QVERIFY(OpenPane(*head));
    const PlotRect r = pane_->ImageRect();
    // The tone's row 95 of 128 on the plot's height, and a row far above it.
    for (int row : {95, 20}) {
        const int y = r.top + (2 * row + 1) * (r.bottom - r.top) / 256;
        const int x = r.left + 40;
        QTest::mouseMove(pane_.get(), QPoint(x, y));
        QCoreApplication::processEvents();
        QCOMPARE(pane_->ReadoutPoint(), std::optional<QPoint>(QPoint(x, y)));
        const SonReadout readout = pane_->ReadoutAt(x, y);
        QCOMPARE(readout.row, row);
        QCOMPARE(readout.level, pane_->Cells().LevelAt(readout.column, row));
        const std::string info = Info();
        QVERIFY2(info.rfind(ShortPathText(head->Info().path, 25) + "\r\nCurPos:", 0) == 0,
                 info.c_str());
        QVERIFY2(info.find(SonReadoutText(readout, false, services_->settings.Btf(),
                                          services_->settings.Btn())) != std::string::npos,
                 info.c_str());
    }
    // The tone's cells are the loudest: dBMax of the item.
    QCOMPARE(pane_->ReadoutAt(r.left + 40, r.top + 191 * (r.bottom - r.top) / 256).level,
             Son().Param().results.dBMax);
}

QTEST_MAIN(SonWindowTest)
#include "SonWindowTest.moc"
