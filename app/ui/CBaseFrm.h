// The MDI child frame of an analysis window. Closing it removes its item,
// and the items inserted under it, from the project tree.
#pragma once

#include <QMdiSubWindow>

class CBaseScrollView;
class ViewServices;

class CBaseFrm : public QMdiSubWindow {
    Q_OBJECT
public:
    // The frame takes the view as its widget; closing removes the view's item
    // through services.
    CBaseFrm(ViewServices& services, CBaseScrollView* view, QWidget* parent = nullptr);
    // A window of several panes: content is the frame's widget and holds
    // view, the pane whose item the window shows.
    CBaseFrm(ViewServices& services, QWidget* content, CBaseScrollView* view,
             QWidget* parent = nullptr);

    CBaseScrollView* View() const { return view_; }
    // True once the frame has begun to close.
    bool IsClosing() const { return closing_; }

    // The name of the sound file the window analyses, without its folder;
    // empty when its item is gone. Windows of different files may share a
    // title: their tooltips and the Window menu add this name.
    QString FileName() const;
    // Sets the title, and the tooltip to the title with the file's full path.
    void SetTitle(const QString& title);

    // The frame that holds a view's widget, or null.
    static CBaseFrm* Of(QObject* window);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ViewServices& services_;
    CBaseScrollView* view_;
    bool closing_ = false;
};
