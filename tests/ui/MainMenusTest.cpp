// The main window's menus, toolbar and help as a user meets them: printing
// offered with the analysis windows, the Window menu's list and its
// arrangements, the manual on F1 with every key of the menus, and the
// Analysis options sending the data log to the file chosen.
#include "support/AnalysisFiles.h"
#include "support/AppWindows.h"

#include "app/shell/CMainFrame.h"
#include "app/shell/CProjectTree.h"
#include "app/shell/CSfApp.h"
#include "app/shell/HelpWindow.h"
#include "app/shell/LockKeyIndicators.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/CBaseScrollView.h"
#include "app/ui/DataLogFile.h"
#include "resources/CommandIds.h"
#include "sonagram/ui/CSonFrm.h"
#include "sonagram/ui/CSonScrollView2.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/SfItems.h"
#include "spectrum/ui/CFftFrm.h"
#include "spectrum/ui/CFftScrollView2.h"
#include "spectrum/ui/CSfParamGenPage.h"
#include "spectrum/ui/CSfParamSheet.h"
#include "waveform/ui/CHeadWnd.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <map>
#include <memory>

namespace {

// Every action reachable from the menu bar, submenus included.
QList<QAction*> MenuActions(const QMenuBar& bar) {
    QList<QAction*> all;
    QList<QAction*> queue = bar.actions();
    while (!queue.isEmpty()) {
        QAction* a = queue.takeFirst();
        all.push_back(a);
        if (a->menu())
            queue += a->menu()->actions();
    }
    return all;
}

QMenu* Menu(const QMenuBar& bar, const QString& text) {
    for (QAction* a : bar.actions())
        if (a->text() == text)
            return a->menu();
    return nullptr;
}

} // namespace

class MainMenusTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> config_;
    std::unique_ptr<TempDir> files_;
    std::unique_ptr<CSfApp> app_;

    CMainFrame& Frame() const { return *app_->MainFrame(); }

    // Opens a window of the kind on a second of a tone.
    CBaseScrollView* Insert(int request) {
        CSfHead* head = app_->Tree()->CurrentHead();
        if (!head) {
            const std::string path = files_->Write(
                "tone.wav", MakeWav(MonoWav16(8000), PcmBytes(Sine(8000, 440, 8000, 8000), 2)));
            if (!app_->OpenHead(QString::fromStdString(path)))
                return nullptr;
            head = app_->Tree()->CurrentHead();
        }
        CBaseScrollView* view = InsertWindow(*app_, *head, request, 800, 4000);
        QCoreApplication::processEvents();
        return view;
    }

private slots:
    void init() {
        config_ = std::make_unique<TempDir>();
        files_ = std::make_unique<TempDir>();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config_->Path()));
        app_ = std::make_unique<CSfApp>(QStringList{"kavirel"});
    }

    void cleanup() {
        RemoveAllHeads(*app_);
        app_.reset();
        files_.reset();
        config_.reset();
    }

    void printingComesWithTheAnalysisWindows() {
        QToolBar* toolbar = Frame().findChild<QToolBar*>("Toolbar");
        QAction* toolbarPrint = nullptr;
        for (QAction* a : toolbar->actions())
            if (a->data().toInt() == Cmd::FilePrint)
                toolbarPrint = a;
        QVERIFY(toolbarPrint && toolbarPrint->isVisible());
        const auto offered = [&](bool windowOpen) {
            QCOMPARE(Frame().Action(Cmd::FilePrint)->isVisible(), windowOpen);
            QCOMPARE(Frame().Action(Cmd::FilePrint)->isEnabled(), windowOpen);
            QCOMPARE(Frame().Action(Cmd::PrintPreview)->isVisible(), windowOpen);
            QCOMPARE(Menu(*Frame().menuBar(), "&Window")->menuAction()->isVisible(), windowOpen);
            QCOMPARE(toolbarPrint->isEnabled(), windowOpen);
            QVERIFY(Frame().Action(Cmd::PrintSetup)->isVisible());
        };
        offered(false);
        QCOMPARE(Frame().Action(Cmd::FilePrint)->shortcut(), QKeySequence("Ctrl+P"));
        CBaseScrollView* view = Insert(InsertRequest::Waveform);
        QVERIFY(view);
        offered(true);
        CBaseFrm::Of(view)->close();
        QCoreApplication::processEvents();
        offered(false);
        // Tooltips and status-bar prompts on the buttons.
        for (QAction* a : toolbar->actions()) {
            if (a->isSeparator())
                continue;
            QVERIFY2(!a->toolTip().isEmpty() && !a->statusTip().isEmpty(), qPrintable(a->text()));
            QVERIFY(!a->icon().pixmap(QSize(16, 16), 2.0).isNull());
        }
    }

    void ctrlPPrintsTheActiveWindowAfterThePrintDialog_data() {
        QTest::addColumn<int>("request");
        QTest::addColumn<QPageSize>("paper");
        QTest::addColumn<bool>("printed");
        const int spectrum = InsertRequest::Spectrum;
        const int sonagram = InsertRequest::Sonagram;
        QTest::newRow("A4") << spectrum << QPageSize(QPageSize::A4) << true;
        QTest::newRow("A6 is too small") << spectrum << QPageSize(QPageSize::A6) << false;
        QTest::newRow("sonagram A4") << sonagram << QPageSize(QPageSize::A4) << true;
        QTest::newRow("sonagram A6 is too small") << sonagram << QPageSize(QPageSize::A6) << false;
    }
    void ctrlPPrintsTheActiveWindowAfterThePrintDialog() {
        QFETCH(int, request);
        QFETCH(QPageSize, paper);
        QFETCH(bool, printed);
        CBaseScrollView* view = Insert(request);
        QVERIFY(view);
        const QString pdf = QString::fromStdString(files_->Path()) + "/printed.pdf";
        QPrinter& printer = Frame().Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(paper);
        printer.setPageOrientation(QPageLayout::Portrait);
        QStringList seen;
        // Answers the print dialog with OK and the message box after it.
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&seen] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
                // It offers one page, the only one there is.
                seen << QString("print dialog %1-%2").arg(dialog->minPage()).arg(dialog->maxPage());
                dialog->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                seen << box->text();
                box->accept();
            }
        });
        answer.start(20);
        Frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Frame()));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_P, Qt::ControlModifier);
        answer.stop();
        QCOMPARE(seen.value(0), QString("print dialog 1-1"));
        QCOMPARE(QFile::exists(pdf), printed);
        QCOMPARE(seen.size(), printed ? 1 : 2);
        if (!printed)
            QVERIFY(seen[1].contains("too small"));
    }

    void menuMnemonicsPassTheAnalysisPanes_data() {
        QTest::addColumn<int>("request");
        QTest::addColumn<bool>("lowerPane");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("taken");
        const int spectrum = InsertRequest::Spectrum;
        const int sonagram = InsertRequest::Sonagram;
        const int alt = Qt::AltModifier;
        QTest::newRow("W logs") << spectrum << false << int(Qt::Key_W) << 0 << true;
        QTest::newRow("Alt+W opens Window") << spectrum << false << int(Qt::Key_W) << alt << false;
        QTest::newRow("Alt+G") << spectrum << false << int(Qt::Key_G) << alt << false;
        QTest::newRow("F measures") << spectrum << true << int(Qt::Key_F) << 0 << true;
        QTest::newRow("Alt+F opens File") << spectrum << true << int(Qt::Key_F) << alt << false;
        QTest::newRow("Alt+S") << spectrum << true << int(Qt::Key_S) << alt << false;
        QTest::newRow("sonagram W logs") << sonagram << false << int(Qt::Key_W) << 0 << true;
        QTest::newRow("sonagram Shift+P plays")
            << sonagram << false << int(Qt::Key_P) << int(Qt::ShiftModifier) << true;
        QTest::newRow("sonagram Alt+W opens Window")
            << sonagram << false << int(Qt::Key_W) << alt << false;
        QTest::newRow("sonagram Meta+P")
            << sonagram << false << int(Qt::Key_P) << int(Qt::MetaModifier) << false;
        QTest::newRow("level W logs") << sonagram << true << int(Qt::Key_W) << 0 << true;
        QTest::newRow("level Alt+W opens Window")
            << sonagram << true << int(Qt::Key_W) << alt << false;
    }
    void menuMnemonicsPassTheAnalysisPanes() {
        QFETCH(int, request);
        QFETCH(bool, lowerPane);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, taken);
        CBaseScrollView* view = Insert(request);
        QVERIFY(view);
        QWidget* pane = view;
        if (lowerPane) {
            if (auto* spectrum = qobject_cast<CFftFrm*>(CBaseFrm::Of(view)))
                pane = spectrum->FramePane();
            if (auto* sonagram = qobject_cast<CSonFrm*>(CBaseFrm::Of(view)))
                pane = sonagram->LevelPane();
        }
        QVERIFY(pane != view || !lowerPane);
        QKeyEvent overrideEvent(QEvent::ShortcutOverride, key, Qt::KeyboardModifiers(modifiers));
        overrideEvent.ignore();
        QApplication::sendEvent(pane, &overrideEvent);
        QCOMPARE(overrideEvent.isAccepted(), taken);
    }

    // Every entry of a popup prompts in the status bar, as the menus do, and
    // the bar toggles too.
    void popupCommandsPromptInTheStatusBar() {
        QVERIFY(Insert(InsertRequest::Waveform));
        std::unique_ptr<QMenu> menu(app_->HeadWindow()->CreateContextMenu());
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu.get()));
        const std::map<int, QString> stated{
            {Cmd::HeadInsertWav, "Wav"},
            {Cmd::HeadInsertFft, "Insert Fft"},
            {Cmd::HeadInsertSon, "Insert Son"},
            {Cmd::HeadShowInfo, "Show Info"},
            {Cmd::HeadTask, "Task"},
        };
        int prompted = 0;
        for (QAction* action : menu->actions()) {
            const auto it = stated.find(action->data().toInt());
            if (it == stated.end())
                continue;
            QCOMPARE(action->statusTip(), it->second);
            ++prompted;
        }
        QCOMPARE(prompted, int(stated.size()));
        // The prompt reaches the main window's status bar.
        QAction* fft = nullptr;
        for (QAction* action : menu->actions())
            if (action->data().toInt() == Cmd::HeadInsertFft)
                fft = action;
        QVERIFY(fft);
        fft->showStatusText(menu.get());
        QCOMPARE(Frame().statusBar()->currentMessage(), QString("Insert Fft"));
        menu->close();
        QCOMPARE(Frame().Action(Cmd::ViewHead)->statusTip(), QString("Show or hide the head"));
        QCOMPARE(Frame().Action(Cmd::ViewProject)->statusTip(),
                 QString("Show or hide the project"));
    }

    void lockKeyPanesShowTheStates() {
        LockKeyIndicators& keys = Frame().LockKeys();
        QStringList names;
        for (QLabel* pane : keys.Panes()) {
            names << pane->text();
            QCOMPARE(pane->parentWidget(), Frame().statusBar());
        }
        QCOMPARE(names, (QStringList{"CAP", "NUM", "SCRL"}));
        keys.Show({true, false, true});
        QVERIFY(keys.Panes()[0]->isEnabled());
        QVERIFY(!keys.Panes()[1]->isEnabled());
        QVERIFY(keys.Panes()[2]->isEnabled());
        keys.Show({false, true, false});
        QVERIFY(!keys.Panes()[0]->isEnabled());
        QVERIFY(keys.Panes()[1]->isEnabled());
    }

    void windowMenuListsAndArrangesTheWindows() {
        CBaseScrollView* wave = Insert(InsertRequest::Waveform);
        CBaseScrollView* spectrum = Insert(InsertRequest::Spectrum);
        QVERIFY(wave && spectrum);
        QMenu* window = Menu(*Frame().menuBar(), "&Window");
        QStringList texts;
        for (QAction* a : window->actions())
            texts << a->text();
        QCOMPARE(texts.mid(0, 3), QStringList({"&Cascade", "&Tile", "&Arrange Icons"}));
        emit window->aboutToShow();
        QList<QAction*> listed;
        for (QAction* a : window->actions())
            if (a->isCheckable())
                listed << a;
        QCOMPARE(listed.size(), 2);
        // The stated title, then the file it analyses: windows of two files
        // with the same range are told apart.
        const QString title = CBaseFrm::Of(wave)->windowTitle();
        QVERIFY(!title.isEmpty() && !title.contains("tone.wav"));
        QCOMPARE(listed[0]->text(), "&1 " + title + "  (tone.wav)");
        QVERIFY(CBaseFrm::Of(spectrum)->toolTip().startsWith(CBaseFrm::Of(spectrum)->windowTitle() +
                                                             "\n"));
        QVERIFY(CBaseFrm::Of(spectrum)->toolTip().endsWith("/tone.wav"));
        // The main window's caption names the active window.
        QCOMPARE(Frame().windowTitle(), "Kavirel - " + CBaseFrm::Of(spectrum)->windowTitle());
        QVERIFY(!listed[0]->isChecked() && listed[1]->isChecked());
        listed[0]->trigger();
        QCOMPARE(Frame().MdiArea().activeSubWindow(), CBaseFrm::Of(wave));
        // A second look lists them again, not twice.
        emit window->aboutToShow();
        int checkable = 0;
        for (QAction* a : window->actions())
            checkable += a->isCheckable();
        QCOMPARE(checkable, 2);

        CBaseFrm::Of(wave)->showMinimized();
        CBaseFrm::Of(spectrum)->showMinimized();
        QCoreApplication::processEvents();
        Frame().Action(Cmd::WindowArrange)->trigger();
        const int bottom = Frame().MdiArea().viewport()->height();
        const QRect first = CBaseFrm::Of(wave)->geometry();
        const QRect second = CBaseFrm::Of(spectrum)->geometry();
        QCOMPARE(first.bottom() + 1, bottom);
        QCOMPARE(second.bottom() + 1, bottom);
        QCOMPARE(first.left(), 0);
        QCOMPARE(second.left(), first.right() + 1);
    }

    void f1OpensTheManualWithEveryKeyOfTheMenus() {
        Frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Frame()));
        QTest::keyClick(&Frame(), Qt::Key_F1);
        HelpWindow* help = Frame().Help();
        QVERIFY(help && help->isVisible());
        const QString manual = help->Browser().toPlainText();
        QVERIFY(manual.size() > 5000);
        QStringList keys;
        for (QAction* a : MenuActions(*Frame().menuBar()))
            if (!a->shortcut().isEmpty())
                keys << a->shortcut().toString(QKeySequence::PortableText);
        keys << Frame().Action(Cmd::ContextHelp)->shortcut().toString(QKeySequence::PortableText);
        QVERIFY(keys.contains("Ctrl+O") && keys.contains("F1") && keys.contains("Shift+F1"));
        // And the keys of the windows.
        keys << "Ctrl+B"
             << "Ctrl+C"
             << "Ctrl+A"
             << "Shift+F10"
             << "F4"
             << "F6"
             << "F7"
             << "F8"
             << "Esc"
             << "Ctrl+Left"
             << "Ctrl+Right"
             << "Home"
             << "End"
             << "Delete";
        for (const QString& key : keys)
            QVERIFY2(manual.contains(key), qPrintable(key));
        for (const char* line : {"FFT", "SON", "RMS", "tab", "kavirel-cli sonagram"})
            QVERIFY2(manual.contains(line), qPrintable(line));

        QTreeWidget& contents = help->Contents();
        QVERIFY(contents.topLevelItemCount() >= 10);
        QVERIFY(!contents.findItems("The data log", Qt::MatchExactly).isEmpty());
        QVERIFY(help->Find("ZeroCrossF0"));
        QCOMPARE(help->Browser().textCursor().selectedText(), QString("ZeroCrossF0"));
        QVERIFY(help->Find("ZeroCrossF0"));
        QVERIFY(!help->Find("no such words in it"));
    }

    void acceptedOptionsSendTheDataLogToTheNewFile() {
        const QString log = QString::fromStdString(files_->Path()) + "/measured.txt";
        QTimer::singleShot(0, this, [log] {
            auto* sheet = qobject_cast<CSfParamSheet*>(QApplication::activeModalWidget());
            QVERIFY(sheet);
            sheet->GeneralPage()
                .findChild<QLineEdit*>(QString::number(CSfParamGenPage::kDataLogEdit))
                ->setText(log);
            sheet->accept();
        });
        Frame().Action(Cmd::OptionsAnalysis)->trigger();
        QCOMPARE(app_->Settings().DataLogFile(), log.toStdString());
        app_->WriteDataLog("FFT\tline\n");
        const Bytes written = ReadFileBytes(log.toStdString());
        QCOMPARE(std::string(written.begin(), written.end()), std::string("FFT\tline\n"));
    }
};

QTEST_MAIN(MainMenusTest)
#include "MainMenusTest.moc"
