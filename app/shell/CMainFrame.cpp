#include "app/shell/CMainFrame.h"

#include "app/shell/CProjectTree.h"
#include "app/shell/CommandPrompts.h"
#include "app/shell/HelpWindow.h"
#include "app/shell/LockKeyIndicators.h"
#include "app/shell/ToolbarIcons.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/CBaseScrollView.h"
#include "app/ui/ExportFiles.h"
#include "app/ui/PrintPage.h"
#include "app/ui/ViewServices.h"
#include "resources/CommandIds.h"
#include "soundfile/DesktopServices.h"
#include "waveform/ui/CHeadWnd.h"

#include <QApplication>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <algorithm>

namespace {

constexpr int kRecentFiles = 8;

// The local files a drag carries; links to anything else are not sound files
// that can be opened.
QStringList LocalFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile());
    return paths;
}

} // namespace

CMainFrame::CMainFrame(ViewServices& services) : services_(services), mdiArea_(new QMdiArea(this)) {
    setWindowTitle("Kavirel");
    setCentralWidget(mdiArea_);
    mdiArea_->setWhatsThis("The analysis windows. The Window menu cascades or tiles them; F1 "
                           "opens the manual.");
    statusBar()->setWhatsThis("The status bar: what the command under the pointer does.");
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    setAcceptDrops(true);
    BuildMenus();
    statusBar()->showMessage("Ready");
    lockKeys_ = new LockKeyIndicators(*statusBar());
    // Popup menus of the windows and bars prompt in the status bar too.
    qApp->installEventFilter(new CommandPromptFilter(this));
    // The MDI area writes its own caption for a maximised window, from the
    // one it found: the caption is put right again after every change.
    connect(this, &QWidget::windowTitleChanged, this, [this] { UpdateCaption(); });
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        UpdateWindowMenu();
        UpdateCaption();
        if (auto* frame = qobject_cast<CBaseFrm*>(window); frame && !frame->IsClosing())
            frame->View()->Activated();
    });
}

CMainFrame::~CMainFrame() {
    // The MDI area closes its windows after this part of the frame has gone;
    // their activations must no longer reach the frame's menus and views.
    disconnect(mdiArea_, nullptr, this, nullptr);
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text,
                                const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    action->setData(id);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    actions_[id] = action;
    return action;
}

QAction* CMainFrame::Action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, const QString& tip,
                                const QKeySequence& shortcut) {
    QAction* action = AddCommand(menu, id, text, shortcut);
    // The status bar shows the prompt, the button's tooltip its short form.
    action->setStatusTip(tip.section('\n', 0, 0));
    action->setToolTip(tip.section('\n', 1, 1));
    return action;
}

void CMainFrame::BuildMenus() {
    fileMenu_ = menuBar()->addMenu("&File");
    QAction* open = AddCommand(fileMenu_, Cmd::FileOpen, "&Open...",
                               "Open Soundfile\nOpen Soundfile", QKeySequence("Ctrl+O"));
    open->setIcon(OpenFileIcon());
    connect(open, &QAction::triggered, this, &CMainFrame::OpenFileRequested);
    // Printing is offered while an analysis window is open.
    QAction* print =
        AddCommand(fileMenu_, Cmd::FilePrint, "&Print...",
                   "Print the active window on one page\nPrint", QKeySequence("Ctrl+P"));
    print->setIcon(PrintIcon());
    connect(print, &QAction::triggered, this, &CMainFrame::PrintActive);
    connect(AddCommand(fileMenu_, Cmd::PrintPreview, "Print Pre&view",
                       "Show the printed page of the active window\nPrint Preview"),
            &QAction::triggered, this, &CMainFrame::PreviewActive);
    connect(AddCommand(fileMenu_, Cmd::PrintSetup, "P&rint Setup...",
                       "Choose the printer, the paper and its orientation\nPrint Setup"),
            &QAction::triggered, this, &CMainFrame::PrintSetup);
    AddExportCommands();
    recentSeparator_ = fileMenu_->addSeparator();
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* recent = fileMenu_->addAction(QString());
        recent->setVisible(false);
        recent->setStatusTip("Open this sound file");
        connect(recent, &QAction::triggered, this,
                [this, recent] { emit OpenRecentFile(recent->data().toString()); });
        recentActions_.push_back(recent);
    }
    fileMenu_->addSeparator();
    connect(AddCommand(fileMenu_, Cmd::AppExit, "E&xit", "Quit Kavirel\nExit"), &QAction::triggered,
            this, &QWidget::close);

    QMenu* options = menuBar()->addMenu("&Options");
    connect(AddCommand(options, Cmd::OptionsAnalysis, "&Analysis", "Analysis\nAnalysis"),
            &QAction::triggered, this, &CMainFrame::AnalysisOptionsRequested);
    connect(AddCommand(options, Cmd::OptionsPlay, "&Play", "Playoptions\nPlayoptions"),
            &QAction::triggered, this, &CMainFrame::PlayOptionsRequested);

    QMenu* view = menuBar()->addMenu("&View");
    QToolBar* toolbar = addToolBar("Toolbar");
    toolbar->setObjectName("Toolbar");
    toolbar->setAllowedAreas(Qt::TopToolBarArea);
    toolbar->setMovable(false);
    toolbar->setWhatsThis("Open a sound file, print the active analysis window, show the "
                          "program's version, or click the arrow with the question mark and "
                          "then any window, bar or control to learn what it is.");
    QAction* toggleToolbar = toolbar->toggleViewAction();
    toggleToolbar->setText("&Toolbar");
    toggleToolbar->setStatusTip("Show or hide the toolbar");
    view->addAction(toggleToolbar);
    actions_[Cmd::ViewToolbar] = toggleToolbar;
    QAction* toggleStatus = view->addAction("&Status Bar");
    toggleStatus->setCheckable(true);
    toggleStatus->setChecked(true);
    toggleStatus->setStatusTip("Show or hide the status bar");
    connect(toggleStatus, &QAction::toggled, statusBar(), &QWidget::setVisible);
    actions_[Cmd::ViewStatusBar] = toggleStatus;

    windowMenu_ = menuBar()->addMenu("&Window");
    connect(AddCommand(windowMenu_, Cmd::WindowCascade, "&Cascade",
                       "Arrange the analysis windows so that they overlap\nCascade"),
            &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
    connect(AddCommand(windowMenu_, Cmd::WindowTile, "&Tile",
                       "Arrange the analysis windows side by side\nTile"),
            &QAction::triggered, mdiArea_, &QMdiArea::tileSubWindows);
    connect(AddCommand(windowMenu_, Cmd::WindowArrange, "&Arrange Icons",
                       "Line up the minimised analysis windows along the bottom\nArrange Icons"),
            &QAction::triggered, this, &CMainFrame::ArrangeIcons);
    connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::ListWindows);

    QMenu* help = menuBar()->addMenu("&Help");
    connect(AddCommand(help, Cmd::HelpTopics, "&Help Topics", "List the help topics\nHelp Topics",
                       QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &CMainFrame::ShowHelp);
    help->addSeparator();
    QAction* about = AddCommand(help, Cmd::AppAbout, "&About Kavirel...",
                                "Show the program's name and version\nAbout");
    about->setIcon(AboutIcon());
    connect(about, &QAction::triggered, this, &CMainFrame::AboutRequested);
    // Context help is a mode of the pointer: the next click explains what it
    // lands on. It has no menu entry, only its key and button.
    QAction* contextHelp = QWhatsThis::createAction(this);
    contextHelp->setIcon(ContextHelpIcon());
    contextHelp->setData(int(Cmd::ContextHelp));
    contextHelp->setStatusTip("Click this, then a window, bar or control to learn what it is");
    contextHelp->setToolTip("Help");
    addAction(contextHelp);
    actions_[Cmd::ContextHelp] = contextHelp;

    toolbar->addAction(open);
    toolbar->addSeparator();
    // The button stays on the bar, disabled while nothing can be printed;
    // the menu entries come and go with the analysis windows.
    toolbarPrint_ = toolbar->addAction(print->icon(), "Print", this, &CMainFrame::PrintActive);
    toolbarPrint_->setData(int(Cmd::FilePrint));
    toolbarPrint_->setStatusTip(print->statusTip());
    toolbar->addSeparator();
    toolbar->addAction(about);
    toolbar->addAction(contextHelp);
    UpdateWindowMenu();
}

void CMainFrame::CreateBars() {
    // The project bar: the info text above the project tree.
    projectBar_ = new QDockWidget("Project", this);
    projectBar_->setObjectName("ProjectBar");
    projectBar_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* projectBody = new QWidget(projectBar_);
    auto* layout = new QVBoxLayout(projectBody);
    layout->setContentsMargins(4, 4, 4, 4);
    infoBox_ = new QPlainTextEdit(projectBody);
    infoBox_->setObjectName("1003");
    infoBox_->setWhatsThis("The info box: the measurements of the window you work in, the "
                           "selection of the head window, and playback positions.");
    infoBox_->setReadOnly(true);
    // Files dropped on the text go to the frame, which opens them.
    infoBox_->setAcceptDrops(false);
    infoBox_->setFocusPolicy(Qt::NoFocus);
    infoBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    infoBox_->setFixedHeight(infoBox_->fontMetrics().lineSpacing() * 6 + 12);
    tree_ = new CProjectTree(projectBody);
    tree_->setObjectName("1002");
    tree_->setWhatsThis("The project tree: a node for every open sound file, with the analysis "
                        "windows inserted from it below. Click a node to bring its window to "
                        "the front; Delete closes it with everything below it; Enter plays the "
                        "file.");
    projectBar_->setWhatsThis(tree_->whatsThis());
    layout->addWidget(infoBox_);
    layout->addWidget(tree_, 1);
    projectBar_->setWidget(projectBody);
    // The widest line the box shows, a spectrum cursor's bin, frequency,
    // level and note, fits beside a scroll bar at any font size.
    const QString widestLine("[0000] 00000.0Hz, -00.0000dB, C#10-00.00Cent");
    const int infoWidth = infoBox_->fontMetrics().horizontalAdvance(widestLine) +
                          2 * int(infoBox_->document()->documentMargin()) +
                          2 * infoBox_->frameWidth() +
                          style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                          layout->contentsMargins().left() + layout->contentsMargins().right();
    projectBar_->setMinimumWidth(std::max(240, infoWidth));
    addDockWidget(Qt::RightDockWidgetArea, projectBar_);

    // The head bar: the head window along the top.
    headBar_ = new QDockWidget("Head", this);
    headBar_->setObjectName("HeadBar");
    headBar_->setWhatsThis("The head bar holds the head window, the overview of the current "
                           "sound file.");
    headBar_->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    auto* headBody = new QWidget(headBar_);
    auto* headLayout = new QVBoxLayout(headBody);
    headLayout->setContentsMargins(4, 4, 4, 4);
    headWindow_ = new CHeadWnd(services_, headBody);
    headLayout->addWidget(headWindow_);
    headBar_->setWidget(headBody);
    addDockWidget(Qt::TopDockWidgetArea, headBar_);
    // The overview's usual height, given up first where a short screen (or a
    // large scale factor) leaves no room for it.
    resizeDocks({headBar_}, {160}, Qt::Vertical);

    QMenu* view = nullptr;
    for (QAction* a : menuBar()->actions())
        if (a->text() == "&View")
            view = a->menu();
    QAction* toggleHead = headBar_->toggleViewAction();
    toggleHead->setText("&Head");
    QAction* toggleProject = projectBar_->toggleViewAction();
    toggleProject->setText("&Project");
    toggleHead->setStatusTip(CommandPrompt(Cmd::ViewHead));
    toggleProject->setStatusTip(CommandPrompt(Cmd::ViewProject));
    view->addAction(toggleHead);
    view->addAction(toggleProject);
    actions_[Cmd::ViewHead] = toggleHead;
    actions_[Cmd::ViewProject] = toggleProject;
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
    for (int i = 0; i < recentActions_.size(); ++i) {
        QAction* action = recentActions_[i];
        const bool used = i < paths.size();
        action->setVisible(used);
        if (used) {
            action->setText(QString("&%1 %2").arg(i + 1).arg(paths[i]));
            action->setData(paths[i]);
        }
    }
    recentSeparator_->setVisible(!paths.isEmpty());
}

void CMainFrame::UpdateWindowMenu() {
    // With an analysis window open the menus are those of the windows:
    // printing, and the Window menu.
    const bool windows = !mdiArea_->subWindowList().isEmpty();
    windowMenu_->menuAction()->setVisible(windows);
    for (const int id : {Cmd::FilePrint, Cmd::PrintPreview}) {
        Action(id)->setVisible(windows);
        Action(id)->setEnabled(ActiveAnalysisFrame() != nullptr);
    }
    toolbarPrint_->setEnabled(ActiveAnalysisFrame() != nullptr);
}

void CMainFrame::UpdateCaption() {
    // The caption adds the title of the active document, in brackets while
    // it fills the area. While another program has the focus the window last
    // active still counts.
    QMdiSubWindow* window = mdiArea_->currentSubWindow();
    QString caption = "Kavirel";
    if (window && !window->windowTitle().isEmpty())
        caption += window->isMaximized() ? " - [" + window->windowTitle() + "]"
                                         : " - " + window->windowTitle();
    if (windowTitle() != caption)
        setWindowTitle(caption);
}

void CMainFrame::AddExportCommands() {
    fileMenu_->addSeparator();
    connect(AddCommand(fileMenu_, Cmd::FileExportData, "Export &Data...",
                       "Write the numbers of the active window to a CSV or tab-separated "
                       "file\nExport Data",
                       QKeySequence("Ctrl+E")),
            &QAction::triggered, this, &CMainFrame::ExportActiveData);
    connect(AddCommand(fileMenu_, Cmd::FileExportImage, "Export &Image...",
                       "Write the picture of the active window as PNG, SVG, PDF or BMP\nExport "
                       "Image"),
            &QAction::triggered, this, &CMainFrame::ExportActiveImage);
    // The head window exports when it has the focus or no analysis window is
    // open; pictures come from analysis windows only.
    connect(fileMenu_, &QMenu::aboutToShow, this, [this] {
        Action(Cmd::FileExportData)
            ->setEnabled(ActiveAnalysisFrame() || (headWindow_ && services_.CurrentHead()));
        Action(Cmd::FileExportImage)->setEnabled(ActiveAnalysisFrame() != nullptr);
    });
    // Closed, the menu leaves the keys live: the commands do nothing when
    // there is nothing to export, and what there is may change before the
    // menu opens again.
    connect(fileMenu_, &QMenu::aboutToHide, this, [this] {
        Action(Cmd::FileExportData)->setEnabled(true);
        Action(Cmd::FileExportImage)->setEnabled(true);
    });
}

CBaseScrollView* CMainFrame::ExportingView() const {
    CBaseFrm* frame = ActiveAnalysisFrame();
    if (!frame)
        return nullptr;
    // The pane with the focus, else the window's own view, else any pane with
    // numbers (the level pane below a sonagram).
    auto* focused = qobject_cast<CBaseScrollView*>(QApplication::focusWidget());
    if (focused && focused->ExportsData() && CBaseFrm::Of(focused) == frame)
        return focused;
    if (frame->View()->ExportsData())
        return frame->View();
    for (CBaseScrollView* pane : frame->findChildren<CBaseScrollView*>())
        if (pane->ExportsData())
            return pane;
    return frame->View();
}

void CMainFrame::ExportActiveData() {
    const bool headFocused = headWindow_ && headWindow_->hasFocus();
    CBaseScrollView* view = ExportingView();
    if ((headFocused || !view) && headWindow_ && services_.CurrentHead()) {
        headWindow_->ExportData();
        return;
    }
    if (view && view->ExportsData())
        ExportViewData(*view, services_);
    else if (view)
        services_.Desktop().ShowMessage("This window has no numbers to export.",
                                        MessageIcon::Information);
}

void CMainFrame::ExportActiveImage() {
    if (CBaseFrm* frame = ActiveAnalysisFrame())
        ExportViewImage(*frame->View(), services_);
}

void CMainFrame::ListWindows() {
    for (QAction* listed : windowList_)
        delete listed;
    windowList_.clear();
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (!windows.isEmpty())
        windowList_.push_back(windowMenu_->addSeparator());
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        const QString number = i < 9 ? QString("&%1 ").arg(i + 1) : QString("%1 ").arg(i + 1);
        // Windows of different files may have the same title.
        QString text = number + window->windowTitle();
        if (auto* frame = qobject_cast<CBaseFrm*>(window); frame && !frame->FileName().isEmpty())
            text += "  (" + frame->FileName() + ")";
        QAction* entry = windowMenu_->addAction(text);
        entry->setCheckable(true);
        entry->setChecked(window == mdiArea_->activeSubWindow());
        entry->setStatusTip("Bring this window to the front");
        connect(entry, &QAction::triggered, this, [this, window = QPointer(window)] {
            if (window) {
                if (window->isMinimized())
                    window->showNormal();
                mdiArea_->setActiveSubWindow(window);
            }
        });
        windowList_.push_back(entry);
    }
}

void CMainFrame::ArrangeIcons() {
    // Minimised windows go in rows along the bottom of the area, left to
    // right, a row above the last when one is full.
    const QSize area = mdiArea_->viewport()->size();
    int x = 0;
    int y = area.height();
    int rowHeight = 0;
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= rowHeight;
            rowHeight = 0;
        }
        if (x == 0)
            rowHeight = size.height();
        rowHeight = std::max(rowHeight, size.height());
        window->move(x, y - rowHeight);
        x += size.width();
    }
}

CBaseFrm* CMainFrame::ActiveAnalysisFrame() const {
    auto* frame = qobject_cast<CBaseFrm*>(mdiArea_->activeSubWindow());
    return frame && !frame->IsClosing() ? frame : nullptr;
}

QPrinter& CMainFrame::Printer() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void CMainFrame::PrintActive() {
    CBaseFrm* frame = ActiveAnalysisFrame();
    if (!frame)
        return;
    QPrinter& printer = Printer();
    // Every window prints exactly one page.
    printer.setFromTo(1, 1);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, 1);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // The window may have closed while the dialog was up.
    if (dialog.exec() != QDialog::Accepted || ActiveAnalysisFrame() != frame)
        return;
    const PrintOutcome outcome = PrintView(*frame->View(), printer);
    if (outcome != PrintOutcome::Printed)
        services_.Desktop().ShowMessage(
            PrintOutcomeText(outcome).toStdString(),
            outcome == PrintOutcome::PageTooSmall ? MessageIcon::Information : MessageIcon::Stop);
}

void CMainFrame::PreviewActive() {
    CBaseFrm* frame = ActiveAnalysisFrame();
    if (!frame)
        return;
    QPrintPreviewDialog preview(&Printer(), this);
    preview.setWindowTitle("Print Preview - " + frame->windowTitle());
    preview.resize(size() * 4 / 5);
    QPointer<CBaseScrollView> view = frame->View();
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [view](QPrinter* printer) {
        QPainter painter(printer);
        if (view)
            PaintPreviewPage(*view, *printer, painter);
    });
    preview.exec();
}

void CMainFrame::PrintSetup() {
    QPageSetupDialog dialog(&Printer(), this);
    dialog.exec();
}

void CMainFrame::ShowHelp() {
    if (!help_)
        help_ = new HelpWindow(this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalFiles(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this, [this, paths] { emit FilesDropped(paths); }, Qt::QueuedConnection);
}

void CMainFrame::InsertRequest(int request, CSfBase* item) {
    services_.InsertItem(request, item);
}
