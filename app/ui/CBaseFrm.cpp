#include "app/ui/CBaseFrm.h"

#include "app/shell/CSfApp.h"
#include "app/ui/CBaseScrollView.h"

#include <QCloseEvent>

CBaseFrm::CBaseFrm(CBaseScrollView* view, QWidget* parent) : CBaseFrm(view, view, parent) {}

CBaseFrm::CBaseFrm(QWidget* content, CBaseScrollView* view, QWidget* parent)
    : QMdiSubWindow(parent), view_(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(content);
}

CBaseFrm* CBaseFrm::Of(QObject* window) {
    for (QObject* o = window; o; o = o->parent())
        if (auto* frame = qobject_cast<CBaseFrm*>(o))
            return frame;
    return nullptr;
}

void CBaseFrm::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        if (CSfBase* item = view_->GetItem())
            CSfApp::Instance()->RemoveItem(item);
    }
    QMdiSubWindow::closeEvent(event);
}
