#include "app/shell/CProjectTree.h"

#include "app/shell/TreeIcons.h"
#include "app/ui/CBaseDoc.h"
#include "app/ui/CBaseFrm.h"
#include "app/ui/CBaseScrollView.h"
#include "app/ui/ViewKeys.h"
#include "soundfile/CanonicalPath.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SfItems.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <functional>
#include <vector>

namespace {

constexpr int kItemRole = Qt::UserRole;

// The nodes of a sub-tree, children before their parent.
void CollectPostOrder(QTreeWidgetItem* node, std::vector<QTreeWidgetItem*>& out) {
    for (int i = 0; i < node->childCount(); ++i)
        CollectPostOrder(node->child(i), out);
    out.push_back(node);
}

} // namespace

CProjectTree::CProjectTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setIconSize(QSize(16, 16));
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* node, QTreeWidgetItem*) {
                if (!ItemOf(node))
                    return;
                clicked_ = true;
                Activate(node);
                clicked_ = false;
            });
}

CProjectTree::~CProjectTree() {
    // Items under a head go before the head, whose file they read.
    while (topLevelItemCount() > 0)
        RemoveNode(topLevelItem(topLevelItemCount() - 1));
}

CSfBase* CProjectTree::ItemOf(const QTreeWidgetItem* node) const {
    return node ? reinterpret_cast<CSfBase*>(node->data(0, kItemRole).value<quintptr>()) : nullptr;
}

CSfHead* CProjectTree::FindHead(const std::string& path) const {
    const std::string wanted = CanonicalSoundPath(path);
    for (int i = 0; i < topLevelItemCount(); ++i) {
        CSfBase* item = ItemOf(topLevelItem(i));
        if (item && item->GetKind() == kKindHead) {
            auto* head = static_cast<CSfHead*>(item);
            if (CanonicalSoundPath(head->Info().path) == wanted)
                return head;
        }
    }
    return nullptr;
}

QTreeWidgetItem* CProjectTree::FindNode(const CSfBase* item) const {
    std::function<QTreeWidgetItem*(QTreeWidgetItem*)> search = [&](QTreeWidgetItem* node) {
        if (ItemOf(node) == item)
            return node;
        for (int i = 0; i < node->childCount(); ++i)
            if (QTreeWidgetItem* found = search(node->child(i)))
                return found;
        return static_cast<QTreeWidgetItem*>(nullptr);
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (QTreeWidgetItem* found = search(topLevelItem(i)))
            return found;
    return nullptr;
}

void CProjectTree::AddHead(std::unique_ptr<CSfHead> head) {
    auto* node = new QTreeWidgetItem(this);
    node->setText(0, QString::fromStdString(head->GetName()));
    node->setIcon(0, TreeIcon(0));
    node->setData(0, kItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(head.get())));
    items_[head.get()] = std::move(head);
    node->setExpanded(true);
    setCurrentItem(node);
}

void CProjectTree::AddItem(std::unique_ptr<CSfBase> item, QTreeWidgetItem* parent) {
    auto* node = new QTreeWidgetItem(parent);
    node->setText(0, QString::fromStdString(item->GetName()));
    node->setIcon(0, TreeIcon(item->GetKind()));
    node->setData(0, kItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(item.get())));
    items_[item.get()] = std::move(item);
    parent->setExpanded(true);
}

void CProjectTree::SelectItem(const CSfBase* item) {
    QTreeWidgetItem* node = FindNode(item);
    if (!node)
        return;
    if (currentItem() != node) {
        // A window that becomes active keeps the keyboard: the tree only
        // follows it.
        const QSignalBlocker blocker(this);
        setCurrentItem(node);
    }
    currentHead_ = ItemOf(node)->GetHead();
    emit HeadWindowChanged();
}

void CProjectTree::Activate(QTreeWidgetItem* node) {
    CSfBase* item = ItemOf(node);
    if (!item)
        return;
    currentHead_ = item->GetHead();
    emit HeadWindowChanged();
    if (CBaseFrm* frame = CBaseFrm::Of(item->GetWindow())) {
        if (QMdiArea* area = frame->mdiArea())
            area->setActiveSubWindow(frame);
        frame->View()->update();
    }
    setFocus(Qt::OtherFocusReason);
}

void CProjectTree::RemoveItem(const CSfBase* item) {
    if (QTreeWidgetItem* node = FindNode(item))
        RemoveNode(node);
}

void CProjectTree::RemoveNode(QTreeWidgetItem* node) {
    std::vector<QTreeWidgetItem*> nodes;
    CollectPostOrder(node, nodes);
    std::vector<std::unique_ptr<CSfBase>> removed;
    for (QTreeWidgetItem* n : nodes) {
        CSfBase* item = ItemOf(n);
        if (!item)
            continue;
        // The view forgets its item first, so its frame closing does not come
        // back here, and a late paint finds no item instead of a deleted one.
        if (CBaseFrm* frame = CBaseFrm::Of(item->GetWindow())) {
            frame->View()->Document()->ForgetItem();
            if (!frame->IsClosing())
                frame->close();
        }
        if (item->GetKind() == kKindHead)
            emit HeadClosing(static_cast<CSfHead*>(item));
        if (item == currentHead_)
            currentHead_ = nullptr;
        auto owned = items_.find(item);
        if (owned != items_.end()) {
            removed.push_back(std::move(owned->second));
            items_.erase(owned);
        }
    }
    const bool wasCurrent = node == currentItem();
    {
        // Removing the node moves the selection; the new node is activated
        // below, once the removed items are gone.
        const QSignalBlocker blocker(this);
        delete node;
    }
    // Children before parents: an item may read its head's file until it goes.
    removed.clear();
    if (topLevelItemCount() == 0) {
        currentHead_ = nullptr;
        emit InfoCleared();
    } else if (wasCurrent || !currentHead_) {
        if (QTreeWidgetItem* next = currentItem())
            currentHead_ = ItemOf(next)->GetHead();
    }
    emit HeadWindowChanged();
}

void CProjectTree::DeleteSelected() {
    QTreeWidgetItem* node = currentItem();
    CSfBase* item = ItemOf(node);
    if (!item)
        return;
    const bool head = item->GetKind() == kKindHead;
    RemoveNode(node);
    // With the last analysis of a file gone, its task starts afresh.
    if (!head) {
        QTreeWidgetItem* next = currentItem();
        CSfBase* selected = ItemOf(next);
        if (selected && selected->GetKind() == kKindHead && next->childCount() == 0)
            static_cast<CSfHead*>(selected)->Info().task = SfTask{};
        emit HeadWindowChanged();
    }
}

bool CProjectTree::event(QEvent* event) {
    // The tree's keys come before the main window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsPlayKey(key) || IsStopKey(key) || IsSelectAll(key) || key->key() == Qt::Key_Delete) {
            event->accept();
            return true;
        }
    }
    return QTreeWidget::event(event);
}

void CProjectTree::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        DeleteSelected();
        return;
    }
    if (currentHead_) {
        if (IsPlayKey(event)) {
            emit PlayWholeHead(currentHead_);
            return;
        }
        if (IsStopKey(event)) {
            emit StopPlayback();
            return;
        }
        if (IsSelectAll(event)) {
            currentHead_->Info().task.start = 0;
            currentHead_->Info().task.end = currentHead_->Info().frames;
            Activate(currentItem());
        }
    }
    QTreeWidget::keyPressEvent(event);
}

void CProjectTree::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    if (clicked_) {
        clicked_ = false;
        Activate(currentItem());
    }
}

void CProjectTree::mousePressEvent(QMouseEvent* event) {
    clicked_ = true;
    QTreeWidget::mousePressEvent(event);
    // A click on the node already selected while a window had the focus
    // brings that window to the front again.
    if (clicked_ && hasFocus()) {
        clicked_ = false;
        Activate(currentItem());
    }
}
