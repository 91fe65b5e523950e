#include "app/shell/CMainFrame.h"

#include "app/shell/CProjectTree.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/CBaseScrollView.h"
#include "app/ui/ViewServices.h"
#include "resources/CommandIds.h"
#include "waveform/ui/CHeadWnd.h"

#include <QApplication>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kRecentFiles = 8;

} // namespace

CMainFrame::CMainFrame(ViewServices& services) : services_(services), mdiArea_(new QMdiArea(this)) {
    setWindowTitle("Kavirel");
    setCentralWidget(mdiArea_);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    BuildMenus();
    statusBar()->showMessage("Ready");
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        UpdateWindowMenu();
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

void CMainFrame::BuildMenus() {
    fileMenu_ = menuBar()->addMenu("&File");
    connect(AddCommand(fileMenu_, Cmd::FileOpen, "&Open...", QKeySequence("Ctrl+O")),
            &QAction::triggered, this, &CMainFrame::OpenFileRequested);
    recentSeparator_ = fileMenu_->addSeparator();
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* recent = fileMenu_->addAction(QString());
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this,
                [this, recent] { emit OpenRecentFile(recent->data().toString()); });
        recentActions_.push_back(recent);
    }
    fileMenu_->addSeparator();
    connect(AddCommand(fileMenu_, Cmd::AppExit, "E&xit"), &QAction::triggered, this,
            &QWidget::close);

    QMenu* options = menuBar()->addMenu("&Options");
    connect(AddCommand(options, Cmd::OptionsPlay, "&Play"), &QAction::triggered, this,
            &CMainFrame::PlayOptionsRequested);

    QMenu* view = menuBar()->addMenu("&View");
    QToolBar* toolbar = addToolBar("Toolbar");
    toolbar->setObjectName("Toolbar");
    toolbar->setAllowedAreas(Qt::TopToolBarArea);
    toolbar->setMovable(false);
    QAction* toggleToolbar = toolbar->toggleViewAction();
    toggleToolbar->setText("&Toolbar");
    view->addAction(toggleToolbar);
    actions_[Cmd::ViewToolbar] = toggleToolbar;
    QAction* toggleStatus = view->addAction("&Status Bar");
    toggleStatus->setCheckable(true);
    toggleStatus->setChecked(true);
    connect(toggleStatus, &QAction::toggled, statusBar(), &QWidget::setVisible);
    actions_[Cmd::ViewStatusBar] = toggleStatus;

    windowMenu_ = menuBar()->addMenu("&Window");
    connect(AddCommand(windowMenu_, Cmd::WindowCascade, "&Cascade"), &QAction::triggered, mdiArea_,
            &QMdiArea::cascadeSubWindows);
    connect(AddCommand(windowMenu_, Cmd::WindowTile, "&Tile"), &QAction::triggered, mdiArea_,
            &QMdiArea::tileSubWindows);
    windowMenu_->menuAction()->setVisible(false);

    QMenu* help = menuBar()->addMenu("&Help");
    QAction* about = AddCommand(help, Cmd::AppAbout, "&About Kavirel...");
    connect(about, &QAction::triggered, this, &CMainFrame::AboutRequested);
    toolbar->addAction(Action(Cmd::FileOpen));
    toolbar->addAction(about);
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
    infoBox_->setReadOnly(true);
    infoBox_->setFocusPolicy(Qt::NoFocus);
    infoBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    infoBox_->setFixedHeight(infoBox_->fontMetrics().lineSpacing() * 6 + 12);
    tree_ = new CProjectTree(projectBody);
    tree_->setObjectName("1002");
    layout->addWidget(infoBox_);
    layout->addWidget(tree_, 1);
    projectBar_->setWidget(projectBody);
    projectBar_->setMinimumWidth(240);
    addDockWidget(Qt::RightDockWidgetArea, projectBar_);

    // The head bar: the head window along the top.
    headBar_ = new QDockWidget("Head", this);
    headBar_->setObjectName("HeadBar");
    headBar_->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    auto* headBody = new QWidget(headBar_);
    auto* headLayout = new QVBoxLayout(headBody);
    headLayout->setContentsMargins(4, 4, 4, 4);
    headWindow_ = new CHeadWnd(services_, headBody);
    headLayout->addWidget(headWindow_);
    headBar_->setWidget(headBody);
    headBar_->setMinimumHeight(160);
    addDockWidget(Qt::TopDockWidgetArea, headBar_);

    QMenu* view = nullptr;
    for (QAction* a : menuBar()->actions())
        if (a->text() == "&View")
            view = a->menu();
    QAction* toggleHead = headBar_->toggleViewAction();
    toggleHead->setText("&Head");
    QAction* toggleProject = projectBar_->toggleViewAction();
    toggleProject->setText("&Project");
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
    windowMenu_->menuAction()->setVisible(!mdiArea_->subWindowList().isEmpty());
}

void CMainFrame::InsertRequest(int request, CSfBase* item) {
    services_.InsertItem(request, item);
}
