// The base of every analysis view: its item, its context menu, and what
// activating it does to the head window and the project tree.
#pragma once

#include <QWidget>
#include <memory>

class CBaseDoc;
class CSfBase;
class QMenu;
class ViewServices;

class CBaseScrollView : public QWidget {
    Q_OBJECT
public:
    CBaseScrollView(ViewServices& services, std::unique_ptr<CBaseDoc> document,
                    QWidget* parent = nullptr);
    ~CBaseScrollView() override;

    CBaseDoc* Document() const { return document_.get(); }
    virtual CSfBase* GetItem() const;
    // Shows this view's range in the head window (task words 1 to 3).
    virtual void PublishTask() {}
    virtual void ShowInfo() {}

    // Called when the view's frame becomes the active window.
    void Activated();

protected:
    ViewServices& Services() const { return services_; }
    // The view's own popup; null when it has none.
    virtual QMenu* CreateContextMenu() { return nullptr; }
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OpenContextMenu(const QPoint& globalPos);
    ViewServices& services_;
    std::unique_ptr<CBaseDoc> document_;
};
