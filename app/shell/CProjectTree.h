// The project tree: one root node per opened sound file (a head) with the
// analysis items inserted under it. It owns every item; a node's data is its
// item. Selecting a node makes its head the current head and brings its window
// to the front.
#pragma once

#include <QTreeWidget>
#include <map>
#include <memory>
#include <string>

class CSfBase;
class CSfHead;

class CProjectTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CProjectTree(QWidget* parent = nullptr);
    ~CProjectTree() override;

    CSfHead* CurrentHead() const { return currentHead_; }

    // The head of a file already open, found by the file's canonical path.
    CSfHead* FindHead(const std::string& path) const;
    // Depth-first over the whole tree, children before the next sibling.
    QTreeWidgetItem* FindNode(const CSfBase* item) const;
    CSfBase* ItemOf(const QTreeWidgetItem* node) const;
    int HeadCount() const { return topLevelItemCount(); }

    // The last root node; expanded and selected.
    void AddHead(std::unique_ptr<CSfHead> head);
    // The last child of parent; the parent is expanded.
    void AddItem(std::unique_ptr<CSfBase> item, QTreeWidgetItem* parent);

    // Marks the item's node as selected and its head as current, without
    // taking the focus from the window that asked.
    void SelectItem(const CSfBase* item);
    // Removes the item's node with its sub-tree: the windows of the removed
    // items close, the items are deleted, a removed head's file is closed.
    void RemoveItem(const CSfBase* item);

    // The item being inserted, for the new document of its kind to take.
    CSfBase* Pending() const { return pending_; }
    void SetPending(CSfBase* item) { pending_ = item; }

signals:
    // The head window must be drawn again (the current head or its task changed).
    void HeadWindowChanged();
    void PlayWholeHead(CSfHead* head);
    void StopPlayback();
    // A head is about to be deleted and its file closed.
    void HeadClosing(CSfHead* head);
    // The info text box is to be emptied (the last node went).
    void InfoCleared();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Activate(QTreeWidgetItem* node);
    void DeleteSelected();
    void RemoveNode(QTreeWidgetItem* node);

    std::map<const CSfBase*, std::unique_ptr<CSfBase>> items_;
    CSfHead* currentHead_ = nullptr;
    CSfBase* pending_ = nullptr;
    bool clicked_ = false;
};
