// The main window: the MDI area with the analysis windows, the toolbar, the
// status bar, the project bar (info text above the project tree) and the head
// bar (the head window).
#pragma once

#include "app/shell/HelpWindow.h"

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>

class CBaseFrm;
class CBaseScrollView;
class CHeadWnd;
class CProjectTree;
class CSfBase;
class ViewServices;
class QAction;
class QDockWidget;
class LockKeyIndicators;
class QMdiArea;
class QMenu;
class QPlainTextEdit;
class QPrinter;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The head window and the analysis windows reach the program through services.
    explicit CMainFrame(ViewServices& services);
    ~CMainFrame() override;

    // The project bar and the head bar; called once the frame is shown.
    void CreateBars();

    QMdiArea& MdiArea() const { return *mdiArea_; }
    LockKeyIndicators& LockKeys() const { return *lockKeys_; }
    // "Kavirel", with the title of the active analysis window added.
    void UpdateCaption();
    CProjectTree* Tree() const { return tree_; }
    CHeadWnd* HeadWindow() const { return headWindow_; }
    QPlainTextEdit* InfoBox() const { return infoBox_; }
    QDockWidget* ProjectBar() const { return projectBar_; }
    QDockWidget* HeadBar() const { return headBar_; }
    // The action of a command id, or null when the program does not offer it.
    QAction* Action(int id) const;

    // Numbered File-menu entries for the recent files, newest first.
    void SetRecentFiles(const QStringList& paths);

    // The analysis window that Print and Print Preview act on, or null.
    CBaseFrm* ActiveAnalysisFrame() const;
    // The printer, paper and orientation chosen in Print Setup and the print
    // dialog, kept for the whole session.
    QPrinter& Printer();
    // Print: the print dialog for one page, then the active window's page.
    void PrintActive();
    void PreviewActive();
    void PrintSetup();
    // Export Data (Ctrl+E): the numbers of the active window's focused pane,
    // or of the head window; Export Image: the active window's picture.
    void ExportActiveData();
    void ExportActiveImage();
    // Help Topics: the manual's window.
    void ShowHelp();
    HelpWindow* Help() const { return help_; }
    // Window menu: minimised windows in rows along the bottom of the area.
    void ArrangeIcons();

    // A view asks for an item to be inserted for its own item (a sonagram,
    // spectrum or waveform request).
    void InsertRequest(int request, CSfBase* item);

signals:
    void OpenFileRequested();
    void OpenRecentFile(const QString& path);
    void AnalysisOptionsRequested();
    void PlayOptionsRequested();
    void AboutRequested();
    // Sound files dropped onto the window, in the order the drop lists them;
    // sent after the drop has ended, so that their dialogs never block the
    // program the files came from.
    void FilesDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* AddCommand(QMenu* menu, int id, const QString& text,
                        const QKeySequence& shortcut = QKeySequence());
    // With the status-bar prompt and the tooltip, given as "prompt\ntip".
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QString& tip,
                        const QKeySequence& shortcut = QKeySequence());
    void BuildMenus();
    void AddExportCommands();
    // The pane whose numbers Export Data writes; null without an analysis window.
    CBaseScrollView* ExportingView() const;
    void UpdateWindowMenu();
    // The numbered entries of the open windows at the end of the Window menu.
    void ListWindows();

    ViewServices& services_;
    QMdiArea* mdiArea_;
    QDockWidget* projectBar_ = nullptr;
    QDockWidget* headBar_ = nullptr;
    CProjectTree* tree_ = nullptr;
    CHeadWnd* headWindow_ = nullptr;
    QPlainTextEdit* infoBox_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    LockKeyIndicators* lockKeys_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QList<QAction*> windowList_;
    QAction* toolbarPrint_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    QPointer<HelpWindow> help_;
    std::map<int, QAction*> actions_;
};
