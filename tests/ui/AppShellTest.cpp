// The desktop program as a user meets it: start-up, opening files, the
// project tree, the head window's selection and the window services.
#include "support/TestFiles.h"

#include "app/shell/CMainFrame.h"
#include "app/shell/CProjectTree.h"
#include "app/shell/CSfApp.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/CBaseScrollView.h"
#include "app/ui/WindowImage.h"
#include "resources/CommandIds.h"
#include "sonagram/CSfSon.h"
#include "sonagram/ui/CSonFrm.h"
#include "soundfile/OverviewCache.h"
#include "soundfile/QtSettingsStore.h"
#include "soundfile/SfItems.h"
#include "spectrum/CSfFft.h"
#include "spectrum/ui/CFftFrm.h"
#include "spectrum/ui/CFftScrollView.h"
#include "waveform/CSfWav.h"
#include "waveform/ui/CHeadWnd.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <tuple>

namespace {

// Answers the next message box with OK and remembers its text.
class MessageCatcher : public QObject {
public:
    MessageCatcher() {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.push_back(box->text());
                box->accept();
            }
        });
        timer_.start();
    }
    QStringList texts;

private:
    QTimer timer_;
};

bool IsOpen(int handle) {
    return handle >= 0 && ::fcntl(handle, F_GETFD) != -1;
}

} // namespace

class AppShellTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDir> config_;
    std::unique_ptr<TempDir> files_;

    std::unique_ptr<CSfApp> Start(const QStringList& args = {"kavirel"}) {
        auto app = std::make_unique<CSfApp>(args);
        app->HeadWindow()->resize(822, 116);
        return app;
    }

private slots:
    void init() {
        config_ = std::make_unique<TempDir>();
        files_ = std::make_unique<TempDir>();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config_->Path()));
    }

    void cleanup() {
        files_.reset();
        config_.reset();
    }

    void startsEmptyOrWithTheFileNamed() {
        {
            auto app = Start();
            QCOMPARE(app->Tree()->HeadCount(), 0);
            QVERIFY(app->Tree()->CurrentHead() == nullptr);
            QVERIFY(app->MainFrame()->Action(Cmd::FileOpen)->isEnabled());
        }
        const std::string path = files_->Write("tone.wav", StereoTone(8000));
        auto app = Start({"kavirel", QString::fromStdString(path)});
        QCOMPARE(app->Tree()->HeadCount(), 1);
        CSfHead* head = app->Tree()->CurrentHead();
        QVERIFY(head);
        QCOMPARE(app->Tree()->topLevelItem(0)->text(0).toStdString(), head->GetName());
        QCOMPARE(head->GetWindow(), static_cast<QObject*>(app->HeadWindow()));
        QVERIFY(app->MainFrame()->InfoBox()->toPlainText().contains("Chan: 0"));
    }

    void theOpenDialogAddsSoundFilesAfterItsFiveFilters() {
        const QStringList& filters = CSfApp::SoundFileFilters();
        QCOMPARE(filters.mid(0, 5), (QStringList{"Wave Files (*.wav)", "AIFF Files (*.aif *.aiff)",
                                                 "Sun/NeXT Files (*.au *.snd)",
                                                 "Raw Files (*.raw *.pcm)", "All Files (*)"}));
        QCOMPARE(filters.size(), 6);
        QVERIFY(filters[5].startsWith("Sound Files ("));
        for (const char* pattern : {"*.wav", "*.aiff", "*.aifc", "*.au", "*.raw", "*.flac", "*.ogg",
                                    "*.opus", "*.mp3", "*.caf", "*.w64"})
            QVERIFY2(filters[5].split(QRegularExpression("[ ()]")).contains(pattern), pattern);

        // Such a file opens as a head that keeps its own path and names its format.
        const std::string flac = files_->Path() + "/tone.flac";
        const std::string wav = files_->Write("tone.wav", StereoTone(8000));
        QCOMPARE(std::system(("flac -s -o " + flac + " " + wav).c_str()), 0);
        const TempDir cache;
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(cache.Path()));
        auto app = Start();
        QVERIFY(app->OpenHead(QString::fromStdString(flac)));
        qunsetenv("XDG_CACHE_HOME");
        const SfInfo& info = app->Tree()->CurrentHead()->Info();
        QCOMPARE(info.path, flac);
        QCOMPARE(FormatName(info), "FLAC");
        QCOMPARE(info.frames, 8000u);
        QCOMPARE(app->Store().GetString("Recent File List", "File1", ""), flac);
    }

    // A new user starts on every file that opens; a filter once chosen stays.
    void theOpenDialogStartsOnSoundFilesUntilAFilterIsChosen() {
        auto app = Start();
        const auto filterShown = [&app] {
            QString shown;
            QTimer::singleShot(0, [&shown] {
                if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                    shown = dialog->selectedNameFilter();
                    dialog->reject();
                }
            });
            app->OpenHead();
            return shown;
        };
        QCOMPARE(filterShown(), CSfApp::SoundFileFilters().last());
        app->Store().SetInt("", "FOFilterIndex", 2);
        QCOMPARE(filterShown(), QString("AIFF Files (*.aif *.aiff)"));
        app->Store().SetInt("", "FOFilterIndex", 99);
        QCOMPARE(filterShown(), CSfApp::SoundFileFilters().last());
        QCOMPARE(app->Tree()->HeadCount(), 0);
    }

    void theSameFileOpensOnceAndLostFilesLeaveTheRecentList() {
        const std::string path = files_->Write("a.wav", StereoTone(4000));
        auto app = Start();
        QVERIFY(app->OpenHead(QString::fromStdString(path)));
        QVERIFY(app->OpenHead(QString::fromStdString(files_->Path() + "/./a.wav")));
        QCOMPARE(app->Tree()->HeadCount(), 1);
        QCOMPARE(app->Store().GetString("Recent File List", "File1", ""), path);

        // The file goes away: opening it from the list fails, says why and
        // forgets it.
        app->Tree()->RemoveItem(app->Tree()->CurrentHead());
        std::filesystem::remove(path);
        MessageCatcher catcher;
        QVERIFY(!app->OpenHead(QString::fromStdString(path)));
        QCOMPARE(catcher.texts,
                 QStringList{QString::fromStdString(
                     path + "\nFile not found.\nPlease verify the correct file name "
                            "was given.\nIt is removed from the recent file list.")});
        QCOMPARE(app->Store().GetString("Recent File List", "File1", ""), std::string());
        QCOMPARE(app->Tree()->HeadCount(), 0);
    }

    void aFileNamedOnTheCommandLineThatIsMissingIsReported() {
        const std::string missing = files_->Path() + "/gone.wav";
        MessageCatcher catcher;
        auto app = Start({"kavirel", QString::fromStdString(missing)});
        QCOMPARE(
            catcher.texts,
            QStringList{QString::fromStdString(
                missing + "\nFile not found.\nPlease verify the correct file name was given.")});
        QCOMPARE(app->Tree()->HeadCount(), 0);
        // Nothing is kept of it, and nothing else opens.
        QCOMPARE(app->Store().GetString("Recent File List", "File1", ""), std::string());
        QCOMPARE(app->MainFrame()->InfoBox()->toPlainText(), QString());
    }

    void filesOnTheCommandLineOpenOneAfterAnother() {
        const std::string a = files_->Write("a.wav", StereoTone(4000));
        const std::string b = files_->Write("b.wav", StereoTone(6000));
        const std::string missing = files_->Path() + "/gone.wav";
        MessageCatcher catcher;
        auto app = Start({"kavirel", QString::fromStdString(a), QString::fromStdString(missing),
                          QString::fromStdString(b)});
        QCOMPARE(app->Tree()->HeadCount(), 2);
        QCOMPARE(catcher.texts.size(), 1);
        QVERIFY(catcher.texts[0].startsWith(QString::fromStdString(missing + "\nFile not found.")));
        QVERIFY(app->Tree()->topLevelItem(0)->text(0).endsWith("/a.wav"));
        QVERIFY(app->Tree()->topLevelItem(1)->text(0).endsWith("/b.wav"));
        QCOMPARE(app->Tree()->CurrentHead()->Info().frames, 6000u);
        QCOMPARE(app->Store().GetString("Recent File List", "File1", ""), b);
        QCOMPARE(app->Store().GetString("Recent File List", "File2", ""), a);
    }

    void droppedFilesOpenAsHeads() {
        const std::string a = files_->Write("a.wav", StereoTone(4000));
        const std::string b = files_->Write("b.wav", StereoTone(6000));
        auto app = Start();
        CMainFrame* frame = app->MainFrame();
        const QPoint centre = frame->rect().center();

        QMimeData web;
        web.setUrls({QUrl("https://example.org/c.wav")});
        QDragEnterEvent refused(centre, Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &refused);
        QVERIFY(!refused.isAccepted());

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QString::fromStdString(b)),
                       QUrl("https://example.org/c.wav"),
                       QUrl::fromLocalFile(QString::fromStdString(a))});
        QDragEnterEvent enter(centre, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(centre, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &drop);
        QVERIFY(drop.isAccepted());
        // The files open once the drop is over, in the order they were dropped.
        QCOMPARE(app->Tree()->HeadCount(), 0);
        QTRY_COMPARE(app->Tree()->HeadCount(), 2);
        QVERIFY(app->Tree()->topLevelItem(0)->text(0).endsWith("/b.wav"));
        QVERIFY(app->Tree()->topLevelItem(1)->text(0).endsWith("/a.wav"));
        QCOMPARE(app->Store().GetString("Recent File List", "File1", ""), a);
    }

    void startingWritesNoDataLog() {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(files_->Path())));
        {
            auto app = Start();
            QVERIFY(!std::filesystem::exists(files_->Path() + "/DataLog.txt"));
            app->WriteDataLog("SON\t1\n");
            // The status bar says where the line went.
            QCOMPARE(
                app->MainFrame()->statusBar()->currentMessage(),
                "Logged to " +
                    QDir(QString::fromStdString(files_->Path())).absoluteFilePath("DataLog.txt") +
                    ": SON\t1");
            // OK in the Analysis options, the name untouched, keeps the file:
            // the sheet shows the one W writes to.
            QTimer::singleShot(0, [] {
                if (auto* sheet = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    auto* name = sheet->findChild<QLineEdit*>("1075");
                    QVERIFY(name);
                    QCOMPARE(name->text(), QString("DataLog.txt"));
                    sheet->accept();
                }
            });
            app->RunAnalysisOptions();
            app->WriteDataLog("SON\t2\n");
        }
        QDir::setCurrent(before);
        const Bytes log = ReadFileBytes(files_->Path() + "/DataLog.txt");
        QCOMPARE(std::string(log.begin(), log.end()), std::string("SON\t1\nSON\t2\n"));
        QVERIFY(!std::filesystem::exists(files_->Path() + "/DataLog.xls"));
    }

    void deletingAHeadClosesThatFileOnly() {
        const std::string a = files_->Write("a.wav", StereoTone(4000));
        const std::string b = files_->Write("b.wav", StereoTone(4000));
        auto app = Start();
        QVERIFY(app->OpenHead(QString::fromStdString(a)));
        const int handleA = app->Tree()->CurrentHead()->Info().handle;
        QVERIFY(app->OpenHead(QString::fromStdString(b)));
        const int handleB = app->Tree()->CurrentHead()->Info().handle;
        app->Tree()->setCurrentItem(app->Tree()->topLevelItem(0));
        app->Tree()->setFocus();
        QTest::keyClick(app->Tree(), Qt::Key_Delete);
        QCOMPARE(app->Tree()->HeadCount(), 1);
        QVERIFY(!IsOpen(handleA));
        QVERIFY(IsOpen(handleB));
        QCOMPARE(app->Tree()->CurrentHead()->Info().handle, handleB);

        QTest::keyClick(app->Tree(), Qt::Key_Delete);
        QCOMPARE(app->Tree()->HeadCount(), 0);
        QVERIFY(!IsOpen(handleB));
        QVERIFY(app->Tree()->CurrentHead() == nullptr);
        QCOMPARE(app->MainFrame()->InfoBox()->toPlainText(), QString());
    }

    void headWindowSelectsWithMouseAndKeys() {
        const std::string path = files_->Write("m.wav", StereoTone(7960));
        auto app = Start({"kavirel", QString::fromStdString(path)});
        CHeadWnd* wnd = app->HeadWindow();
        CSfHead* head = app->Tree()->CurrentHead();
        SfTask& task = head->Info().task;
        // Plot 796 pixels wide: 10 frames per pixel.
        QCOMPARE(wnd->PlotRect().width(), 796);

        QTest::mouseClick(wnd, Qt::LeftButton, Qt::NoModifier, QPoint(122, 20));
        QCOMPARE(task.selectLeft, 122);
        QCOMPARE(task.start, 1000u);
        QCOMPARE(task.end, 1000u);
        QCOMPARE(task.channel, 0);
        QCOMPARE(task.playCursor, 122);
        // Shift extends the nearer edge; the lower strip is channel 1.
        QTest::mouseClick(wnd, Qt::LeftButton, Qt::ShiftModifier, QPoint(322, 80));
        QCOMPARE(task.selectRight, 322);
        QCOMPARE(task.end, 3000u);
        QCOMPARE(task.channel, 1);
        QVERIFY(task.flags & 0x80);
        const QString info = app->MainFrame()->InfoBox()->toPlainText();
        QVERIFY2(info.contains("Chan: 1\tTotal:  0.995s"), qPrintable(info));
        QVERIFY2(info.contains("Start:\t[0100] 0.125s"), qPrintable(info));
        QVERIFY2(info.contains("End:\t[0300] 0.375s"), qPrintable(info));
        QVERIFY2(info.contains("Length:\t[0200] 0.250s"), qPrintable(info));

        // Down wraps to channel 0; the keys reach the selection editor and the
        // frames follow the pixels it leaves.
        wnd->setFocus();
        QTest::keyClick(wnd, Qt::Key_Down);
        QCOMPARE(task.channel, 0);
        QTest::keyClick(wnd, Qt::Key_Up);
        QCOMPARE(task.channel, 1);
        QTest::keyClick(wnd, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(task.end, 2900u);
        QTest::keyClick(wnd, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(task.start, 0u);
        QCOMPARE(task.end, 7960u);
        QTest::keyClick(wnd, Qt::Key_Home);
        QCOMPARE(task.end, 0u);
        // Selecting the whole file from the tree.
        app->Tree()->setFocus();
        QTest::keyClick(app->Tree(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(task.end, 7960u);
    }

    void methodIsRememberedInTheCache() {
        const std::string path = files_->Write("r.wav", StereoTone(2000));
        auto app = Start({"kavirel", QString::fromStdString(path)});
        app->HeadWindow()->SetMethod(Cmd::MethodRms);
        const Bytes cache = ReadFileBytes(OverviewCachePath(path));
        QVERIFY(cache.size() > 16);
        QCOMPARE(int(cache[12] | cache[13] << 8), Cmd::MethodRms);
        QCOMPARE(app->Tree()->CurrentHead()->Info().overviewMethod, int(Cmd::MethodRms));
    }

    void waveformWindowsHangUnderTheirSourceAndCloseWithIt() {
        const std::string path = files_->Write("w.wav", StereoTone(8000));
        auto app = Start({"kavirel", QString::fromStdString(path)});
        CProjectTree* tree = app->Tree();
        CSfHead* head = tree->CurrentHead();

        // No task: refused with a message, nothing inserted.
        MessageCatcher catcher;
        app->InsertItem(InsertRequest::Waveform, head);
        QCOMPARE(catcher.texts, QStringList{"You have to define a task!"});
        QCOMPARE(tree->topLevelItem(0)->childCount(), 0);

        head->Info().task.start = 800;
        head->Info().task.end = 4800;
        head->Info().task.channel = 1;
        app->InsertItem(InsertRequest::Waveform, head);
        QTreeWidgetItem* headNode = tree->topLevelItem(0);
        QCOMPARE(headNode->childCount(), 1);
        QTreeWidgetItem* wavNode = headNode->child(0);
        CSfBase* wav = tree->ItemOf(wavNode);
        QCOMPARE(wav->GetKind(), 5);
        QCOMPARE(wavNode->text(0), QString("WAV: 1, 0.1s_0.6s"));
        QVERIFY(wav->GetWindow());
        CBaseFrm* frame = CBaseFrm::Of(wav->GetWindow());
        QVERIFY(frame);
        QCOMPARE(frame->windowTitle(), wavNode->text(0));

        // A waveform inserted from the first, for its block, hangs under it.
        static_cast<CSfWav*>(wav)->Task().start = 1600;
        static_cast<CSfWav*>(wav)->Task().end = 3200;
        app->InsertItem(InsertRequest::Waveform, wav);
        QCOMPARE(catcher.texts.size(), 1);
        QCOMPARE(wavNode->childCount(), 1);
        QPointer<CBaseFrm> inner = CBaseFrm::Of(tree->ItemOf(wavNode->child(0))->GetWindow());
        QVERIFY(inner);

        // Closing the outer window removes both nodes and both windows.
        QPointer<CBaseFrm> outer = frame;
        outer->close();
        QTRY_VERIFY(!outer && !inner);
        QCOMPARE(headNode->childCount(), 0);
        QCOMPARE(tree->HeadCount(), 1);

        // Deleting the head closes the windows under it.
        app->InsertItem(InsertRequest::Waveform, head);
        QPointer<CBaseFrm> third = CBaseFrm::Of(tree->ItemOf(headNode->child(0))->GetWindow());
        tree->setCurrentItem(headNode);
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Delete);
        QTRY_VERIFY(!third);
        QCOMPARE(tree->HeadCount(), 0);
    }

    void spectrumWindowsHangUnderTheirSourceAndZoomIntoABox() {
        const std::string path = files_->Write("f.wav", StereoTone(8000));
        auto app = Start({"kavirel", QString::fromStdString(path)});
        CProjectTree* tree = app->Tree();
        CSfHead* head = tree->CurrentHead();
        QTreeWidgetItem* headNode = tree->topLevelItem(0);

        // An instant is a task for a spectrum: it analyses the frame there.
        head->Info().task.start = head->Info().task.end = 800;
        app->InsertItem(InsertRequest::Spectrum, head);
        QCOMPARE(headNode->childCount(), 1);
        QTreeWidgetItem* fftNode = headNode->child(0);
        auto* fft = dynamic_cast<CSfFft*>(tree->ItemOf(fftNode));
        QVERIFY(fft);
        QCOMPARE(fft->GetKind(), int(kKindFft));
        auto* frame = qobject_cast<CFftFrm*>(CBaseFrm::Of(fft->GetWindow()));
        QVERIFY(frame);
        QCOMPARE(frame->windowTitle(), fftNode->text(0));
        QVERIFY(frame->SpectrumPane() && frame->FramePane());
        QTRY_VERIFY(fft->Param().results.spectrum);

        // A box dragged with Ctrl in the spectrum pane: the spectrum inserted
        // from it hangs under it and shows the box's frequencies.
        CFftScrollView* pane = frame->SpectrumPane();
        const int y = pane->height() / 2;
        QTest::mousePress(pane, Qt::LeftButton, Qt::ControlModifier, QPoint(100, y - 20));
        QMouseEvent drag(QEvent::MouseMove, QPointF(300, y + 20),
                         pane->mapToGlobal(QPointF(300, y + 20)), Qt::NoButton, Qt::LeftButton,
                         Qt::ControlModifier);
        QApplication::sendEvent(pane, &drag);
        QTest::mouseRelease(pane, Qt::LeftButton, Qt::ControlModifier, QPoint(300, y + 20));
        app->InsertItem(InsertRequest::Spectrum, fft);
        QCOMPARE(fftNode->childCount(), 1);
        auto* zoomed = dynamic_cast<CSfFft*>(tree->ItemOf(fftNode->child(0)));
        QVERIFY(zoomed);
        QCOMPARE(zoomed->Param().Fmin, fft->Param().view.boxFreqLow);
        QCOMPARE(zoomed->Param().Fmax, fft->Param().view.boxFreqHigh);
        QVERIFY(zoomed->Param().Fmin < zoomed->Param().Fmax);

        // Deleting the spectrum's node closes both windows.
        QPointer<CBaseFrm> outer = frame;
        QPointer<CBaseFrm> inner = CBaseFrm::Of(zoomed->GetWindow());
        tree->setCurrentItem(fftNode);
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Delete);
        QTRY_VERIFY(!outer && !inner);
        QCOMPARE(headNode->childCount(), 0);
    }

    void sonagramWindowsHangUnderTheHeadAndCloseWithTheirNode() {
        const std::string path = files_->Write("s.wav", StereoTone(8000));
        auto app = Start({"kavirel", QString::fromStdString(path)});
        CProjectTree* tree = app->Tree();
        CSfHead* head = tree->CurrentHead();
        QTreeWidgetItem* headNode = tree->topLevelItem(0);

        // An instant is no range for a sonagram.
        MessageCatcher catcher;
        head->Info().task.start = head->Info().task.end = 800;
        app->InsertItem(InsertRequest::Sonagram, head);
        QCOMPARE(catcher.texts, QStringList{"You have to define a task!"});
        QCOMPARE(headNode->childCount(), 0);

        head->Info().task.end = 4800;
        head->Info().task.channel = 1;
        app->InsertItem(InsertRequest::Waveform, head);
        QCOMPARE(headNode->childCount(), 1);
        auto* wav = static_cast<CSfWav*>(tree->ItemOf(headNode->child(0)));
        // From a waveform window the sonagram of its block hangs under the
        // head, beside the waveform, not under it.
        wav->Task().start = 1600;
        wav->Task().end = 3200;
        app->InsertItem(InsertRequest::Sonagram, wav);
        QCOMPARE(headNode->childCount(), 2);
        QTreeWidgetItem* sonNode = headNode->child(1);
        auto* son = dynamic_cast<CSfSon*>(tree->ItemOf(sonNode));
        QVERIFY(son);
        QCOMPARE(sonNode->text(0), QString("SON: 1, 0.2s_0.4s 1024"));
        auto* frame = qobject_cast<CSonFrm*>(CBaseFrm::Of(son->GetWindow()));
        QVERIFY(frame);
        QCOMPARE(frame->windowTitle(), sonNode->text(0));
        QVERIFY(frame->ImagePane() && frame->LevelPane());
        QTRY_VERIFY(!son->Levels().values.empty());

        // Delete on the sonagram's node closes its window only.
        QPointer<CBaseFrm> closing = frame;
        tree->setCurrentItem(sonNode);
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Delete);
        QTRY_VERIFY(!closing);
        QCOMPARE(headNode->childCount(), 1);
        QVERIFY(CBaseFrm::Of(wav->GetWindow()));
    }

    void headMenuCommandsNeedAHead() {
        // (id, enabled, checked) of every head-menu command, submenu included.
        auto commands = [](QMenu* menu) {
            QList<std::tuple<int, bool, bool>> found;
            std::function<void(QMenu*)> walk = [&](QMenu* m) {
                for (QAction* a : m->actions()) {
                    if (a->menu())
                        walk(a->menu());
                    else
                        found.append({a->data().toInt(), a->isEnabled(), a->isChecked()});
                }
            };
            walk(menu);
            return found;
        };
        auto app = Start();
        std::unique_ptr<QMenu> empty(app->HeadWindow()->CreateContextMenu());
        for (const auto& [id, enabled, checked] : commands(empty.get()))
            QVERIFY2(!enabled, qPrintable(QString::number(id)));

        QVERIFY(app->OpenHead(QString::fromStdString(files_->Write("e.wav", StereoTone(900)))));
        std::unique_ptr<QMenu> menu(app->HeadWindow()->CreateContextMenu());
        const auto found = commands(menu.get());
        // Seven commands, a separator and Export Data.
        QCOMPARE(found.size(), 9);
        for (const auto& [id, enabled, checked] : found) {
            QVERIFY2(enabled, qPrintable(QString::number(id)));
            // A new file without cache shows its waveform.
            QCOMPARE(checked, id == Cmd::MethodWav);
        }
    }

    void windowsAreSavedAsBmp() {
        auto app = Start();
        const QString bmp = QString::fromStdString(files_->Path() + "/head.bmp");
        QVERIFY(SaveWindowBmp(app->HeadWindow(), bmp));
        QImage back(bmp, "BMP");
        QCOMPARE(back.size(), app->HeadWindow()->size());
    }
};

QTEST_MAIN(AppShellTest)
#include "AppShellTest.moc"
