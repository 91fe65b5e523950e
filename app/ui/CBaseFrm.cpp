#include "app/ui/CBaseFrm.h"

#include "app/ui/CBaseScrollView.h"
#include "app/ui/ViewServices.h"
#include "soundfile/SfItems.h"

#include <QCloseEvent>
#include <QFileInfo>

namespace {

QString FilePath(const CBaseScrollView* view) {
    return QString::fromStdString(view->SoundFilePath());
}

} // namespace

CBaseFrm::CBaseFrm(ViewServices& services, CBaseScrollView* view, QWidget* parent)
    : CBaseFrm(services, view, view, parent) {}

CBaseFrm::CBaseFrm(ViewServices& services, QWidget* content, CBaseScrollView* view, QWidget* parent)
    : QMdiSubWindow(parent), services_(services), view_(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(content);
}

QString CBaseFrm::FileName() const {
    return QFileInfo(FilePath(view_)).fileName();
}

void CBaseFrm::SetTitle(const QString& title) {
    setWindowTitle(title);
    const QString path = FilePath(view_);
    setToolTip(path.isEmpty() ? title : title + "\n" + path);
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
