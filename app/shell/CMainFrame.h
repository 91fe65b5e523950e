// The main window: the MDI area with the analysis windows, the toolbar, the
// status bar, the project bar (info text above the project tree) and the head
// bar (the head window).
#pragma once

#include <QMainWindow>
#include <map>

class CHeadWnd;
class CProjectTree;
class CSfBase;
class ViewServices;
class QAction;
class QDockWidget;
class QMdiArea;
class QMenu;
class QPlainTextEdit;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The head window and the analysis windows reach the program through services.
    explicit CMainFrame(ViewServices& services);
    ~CMainFrame() override;

    // The project bar and the head bar; called once the frame is shown.
    void CreateBars();

    QMdiArea& MdiArea() const { return *mdiArea_; }
    CProjectTree* Tree() const { return tree_; }
    CHeadWnd* HeadWindow() const { return headWindow_; }
    QPlainTextEdit* InfoBox() const { return infoBox_; }
    QDockWidget* ProjectBar() const { return projectBar_; }
    QDockWidget* HeadBar() const { return headBar_; }
    // The action of a command id, or null when the program does not offer it.
    QAction* Action(int id) const;

    // Numbered File-menu entries for the recent files, newest first.
    void SetRecentFiles(const QStringList& paths);

    // A view asks for an item to be inserted for its own item (a sonagram,
    // spectrum or waveform request).
    void InsertRequest(int request, CSfBase* item);

signals:
    void OpenFileRequested();
    void OpenRecentFile(const QString& path);
    void PlayOptionsRequested();
    void AboutRequested();

private:
    QAction* AddCommand(QMenu* menu, int id, const QString& text,
                        const QKeySequence& shortcut = QKeySequence());
    void BuildMenus();
    void UpdateWindowMenu();

    ViewServices& services_;
    QMdiArea* mdiArea_;
    QDockWidget* projectBar_ = nullptr;
    QDockWidget* headBar_ = nullptr;
    CProjectTree* tree_ = nullptr;
    CHeadWnd* headWindow_ = nullptr;
    QPlainTextEdit* infoBox_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    std::map<int, QAction*> actions_;
};
