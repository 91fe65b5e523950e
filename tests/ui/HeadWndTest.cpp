// The head window on its own, built with fake services around a real file:
// the selection as mouse and keys leave it through repaints, and the info
// text while and after a file plays.
#include "support/FakeViewServices.h"
#include "support/TestFiles.h"

#include "playback/CSfPlay.h"
#include "resources/CommandIds.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SfItems.h"
#include "waveform/ui/CHeadWnd.h"

#include <QMenu>
#include <QtTest>
#include <cmath>
#include <memory>

class HeadWndTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> files_;
    std::unique_ptr<FakeViewServices> services_;
    std::unique_ptr<CSfHead> head_;
    std::unique_ptr<CHeadWnd> wnd_;

    // A window whose plot is 796 pixels wide over frames frames.
    SfTask& Open(int frames) {
        head_ = OpenHeadFile(files_->Write("tone.wav", StereoTone(frames)), services_->desktop,
                             services_->screenWidth);
        services_->currentHead = head_.get();
        wnd_ = std::make_unique<CHeadWnd>(*services_);
        wnd_->resize(822, 116);
        wnd_->show();
        wnd_->setFocus();
        return services_->CurrentHead()->Info().task;
    }
    // Paints the window as a screen update would.
    void Paint() { wnd_->grab(); }
    void Press(int x, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(wnd_.get(), Qt::LeftButton, modifiers, QPoint(x, 20));
        Paint();
    }
    void Drag(int x) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 20), wnd_->mapToGlobal(QPointF(x, 20)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(wnd_.get(), &move);
        Paint();
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(wnd_.get(), Qt::Key(key), modifiers);
        Paint();
    }

private slots:
    void init() {
        files_ = std::make_unique<TempDir>();
        services_ = std::make_unique<FakeViewServices>();
        services_->screenWidth = 400;
        // A block every 20 ms: playback lasts long enough to be seen.
        services_->output.SetPace(std::chrono::milliseconds(20));
    }

    void cleanup() {
        wnd_.reset();
        services_.reset();
        head_.reset();
        files_.reset();
    }

    void aDragStartsWhereTheButtonWentDown() {
        // 7961 frames over 796 pixels: a pixel is not a whole number of
        // frames, so a frame turned back into a pixel lands one to the left.
        SfTask& task = Open(7961);
        QCOMPARE(wnd_->PlotRect().width(), 796);
        Press(600);
        QCOMPARE(task.selectLeft, 600);
        QTest::mouseRelease(wnd_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(600, 20));
        Press(600);
        for (int x = 610; x <= 700; x += 10)
            Drag(x);
        QCOMPARE(task.selectLeft, 600);
        QCOMPARE(task.selectRight, 700);
        QCOMPARE(task.start, uint32_t(7961.0 / 796 * 578));
        QVERIFY(QString::fromStdString(services_->LastInfo()).contains("Start:\t[0578] "));

        // The next channel keeps the selection where the user put it.
        Key(Qt::Key_Down);
        QCOMPARE(task.channel, 1);
        QCOMPARE(task.selectLeft, 600);
        QCOMPARE(task.selectRight, 700);
        QCOMPARE(task.start, uint32_t(7961.0 / 796 * 578));
    }

    void shiftRightAfterAClickGrowsTheSelectionRight() {
        SfTask& task = Open(7961);
        Press(396);
        for (int i = 0; i < 4; ++i)
            Key(Qt::Key_Right, Qt::ShiftModifier);
        const QString info = QString::fromStdString(services_->LastInfo());
        QVERIFY2(info.contains("Start:\t[0374] "), qPrintable(info));
        QVERIFY2(info.contains("End:\t[0378] "), qPrintable(info));
        Key(Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(task.selectLeft, 396);
        QCOMPARE(task.selectRight, 399);
    }

    void framesFromElsewhereSetThePixels() {
        SfTask& task = Open(7961);
        Press(300);
        // As the task dialog or an activated waveform window leave them.
        task.start = 1000;
        task.end = 3000;
        wnd_->Refresh();
        QCOMPARE(task.selectLeft, int(796.0 / 7961 * 1000) + 22);
        QCOMPARE(task.selectRight, int(796.0 / 7961 * 3000) + 22);
        // A new width draws the same frames at new pixels.
        wnd_->resize(422, 116);
        Paint();
        QCOMPARE(task.selectLeft, int(396.0 / 7961 * 1000) + 22);
        QCOMPARE(task.start, 1000u);
    }

    void thePlayPositionGoesWhenPlaybackStops() {
        SfTask& task = Open(16000);
        Press(100);
        const std::string selection = services_->LastInfo();
        QVERIFY(QString::fromStdString(selection).contains("Start:\t[0078] "));
        Key(Qt::Key_F4);
        QTRY_VERIFY(services_->LastInfo().rfind("PLAY ", 0) == 0);
        QTRY_VERIFY(task.playCursor > 22);
        Key(Qt::Key_Escape);
        QVERIFY(!services_->Player().IsPlaying());
        // The stopped player has posted every notification: positions still
        // on their way, and the closing one, leave the selection on show.
        QCoreApplication::sendPostedEvents();
        QCOMPARE(services_->LastInfo(), selection);

        // Playback that ends by itself does the same.
        wnd_->setFocus();
        Press(790);
        Key(Qt::Key_F8);
        QTRY_VERIFY_WITH_TIMEOUT(!services_->Player().IsPlaying(), 5000);
        QCoreApplication::sendPostedEvents();
        QVERIFY(QString::fromStdString(services_->LastInfo()).contains("Start:\t[0768] "));
    }

    // Playback started in an analysis window moves the line here while it
    // plays; once over, the line is back where the user left it and the
    // info text is the one that window showed.
    void playbackFromElsewhereLeavesNoLine() {
        SfTask& task = Open(16000);
        Press(100);
        QCOMPARE(task.playCursor, 100);
        const SfInfo& info = head_->Info();
        for (bool stopped : {true, false}) {
            QCOMPARE(services_->Player().PlayRange(info, 8000, stopped ? 16000 : 9600,
                                                   wnd_->PlaySink(), {}, stopped),
                     PlayOutcome::Started);
            QTRY_VERIFY(task.playCursor > 400);
            if (stopped)
                services_->Player().StopPlay();
            else
                QTRY_VERIFY_WITH_TIMEOUT(!services_->Player().IsPlaying(), 5000);
            // The window that played shows its cursor text after it stops.
            services_->Desktop().SetInfoText("SON cursor");
            QCoreApplication::sendPostedEvents();
            Paint();
            QCOMPARE(task.playCursor, 100);
            QCOMPARE(services_->LastInfo(), std::string("SON cursor"));
        }
        // The window's own playback still ends with its selection on show.
        Key(Qt::Key_F4);
        QTRY_VERIFY(task.playCursor > 100);
        Key(Qt::Key_Escape);
        QCoreApplication::sendPostedEvents();
        QVERIFY(QString::fromStdString(services_->LastInfo()).contains("Start:\t[0078] "));
    }

    // Two channels: a grey line between the strips and L and R in them.
    void channelsAreSeparatedAndNamed() {
        Open(8000);
        const QImage image = wnd_->grab().toImage();
        const QRect plot = wnd_->PlotRect();
        const int H = plot.height();
        const QColor mid = wnd_->palette().color(QPalette::Mid);
        const QColor ink = wnd_->palette().color(QPalette::WindowText);
        const int between = H / 2 + 5 - 1;
        for (int x = plot.left() + 1; x < plot.right() - 1; x += 37)
            QCOMPARE(image.pixelColor(x, between).rgb(), mid.rgb());
        // The name's ink, right of the strip's frame and below its top.
        std::vector<QImage> names;
        for (int c = 0; c < 2; ++c) {
            const int top = c * H / 2 + 5;
            const QImage name = image.copy(plot.left() + 3, top + 2, 14, 10);
            int inked = 0;
            for (int y = 0; y < name.height(); ++y)
                for (int x = 0; x < name.width(); ++x)
                    inked += qGray(name.pixel(x, y)) < qGray(ink.rgb()) + 96;
            QVERIFY2(inked > 4, qPrintable(QString("channel %1: %2 pixels").arg(c).arg(inked)));
            names.push_back(name);
        }
        QVERIFY(names[0] != names[1]);
    }

    void menuCommandsGoToTheServices() {
        Open(4000);
        std::unique_ptr<QMenu> menu(wnd_->CreateContextMenu());
        const std::vector<std::pair<int, int>> inserts{
            {Cmd::HeadInsertWav, InsertRequest::Waveform},
            {Cmd::HeadInsertFft, InsertRequest::Spectrum},
            {Cmd::HeadInsertSon, InsertRequest::Sonagram}};
        for (const auto& [command, request] : inserts) {
            services_->inserts.clear();
            for (QAction* action : menu->actions())
                if (action->data().toInt() == command)
                    action->trigger();
            QCOMPARE(services_->inserts.size(), size_t(1));
            QCOMPARE(services_->inserts[0].first, request);
            QCOMPARE(services_->inserts[0].second, static_cast<CSfBase*>(services_->CurrentHead()));
        }
    }
};

QTEST_MAIN(HeadWndTest)
#include "HeadWndTest.moc"
