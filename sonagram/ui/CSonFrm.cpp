#include "sonagram/ui/CSonFrm.h"

#include "sonagram/ui/CSonScrollView.h"
#include "sonagram/ui/CSonScrollView2.h"

#include <QEvent>
#include <QSplitter>

namespace {

QSplitter* NewSplitter() {
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

} // namespace

CSonFrm::CSonFrm(ViewServices& services, CSonScrollView* view, QWidget* parent)
    : CBaseFrm(services, NewSplitter(), view, parent), splitter_(static_cast<QSplitter*>(widget())),
      image_(view), level_(new CSonScrollView2(services, *view)) {
    splitter_->addWidget(image_);
    splitter_->addWidget(level_);
    splitter_->setStretchFactor(0, 4);
    splitter_->setStretchFactor(1, 1);
    splitter_->installEventFilter(this);
}

bool CSonFrm::eventFilter(QObject* watched, QEvent* event) {
    // The first size the window gets is split 4 : 1; later the user's
    // dragging of the handle and the stretch factors rule.
    if (watched == splitter_ && event->type() == QEvent::Resize && !split_ &&
        splitter_->height() > 0) {
        split_ = true;
        const int h = splitter_->height() - splitter_->handleWidth();
        splitter_->setSizes({h * 4 / 5, h - h * 4 / 5});
    }
    return CBaseFrm::eventFilter(watched, event);
}
