#include "app/ui/CBaseFrm.h"

#include "app/ui/CBaseScrollView.h"
#include "app/ui/ViewServices.h"

#include <QCloseEvent>

CBaseFrm::CBaseFrm(ViewServices& services, CBaseScrollView* view, QWidget* parent)
    : CBaseFrm(services, view, view, parent) {}

CBaseFrm::CBaseFrm(ViewServices& services, QWidget* content, CBaseScrollView* view, QWidget* parent)
    : QMdiSubWindow(parent), services_(services), view_(view) {
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
            services_.RemoveItem(item);
    }
    QMdiSubWindow::closeEvent(event);
}
