#include "app/ui/CSplitFrm.h"

#include "app/ui/CBaseScrollView.h"

#include <QEvent>
#include <QKeyEvent>
#include <QSplitter>

namespace {

QSplitter* NewSplitter() {
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

} // namespace

CSplitFrm::CSplitFrm(ViewServices& services, CBaseScrollView* upper, QWidget* lower,
                     int upperStretch, int lowerStretch, QWidget* parent)
    : CBaseFrm(services, NewSplitter(), upper, parent),
      splitter_(static_cast<QSplitter*>(widget())), lower_(lower), upperStretch_(upperStretch),
      lowerStretch_(lowerStretch) {
    splitter_->addWidget(upper);
    splitter_->addWidget(lower);
    splitter_->setStretchFactor(0, upperStretch);
    splitter_->setStretchFactor(1, lowerStretch);
    splitter_->installEventFilter(this);
}

bool CSplitFrm::eventFilter(QObject* watched, QEvent* event) {
    // The first size the window gets is split by the stretch factors; later
    // the user's dragging of the handle and the stretch factors rule.
    if (watched == splitter_ && event->type() == QEvent::Resize && !split_ &&
        splitter_->height() > 0) {
        split_ = true;
        const int h = splitter_->height() - splitter_->handleWidth();
        const int upper = h * upperStretch_ / (upperStretch_ + lowerStretch_);
        splitter_->setSizes({upper, h - upper});
    }
    return CBaseFrm::eventFilter(watched, event);
}

void CSplitFrm::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers others =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (event->key() != Qt::Key_F6 || others != Qt::NoModifier)
        return CBaseFrm::keyPressEvent(event);
    const int count = splitter_->count();
    int at = 0;
    for (int i = 0; i < count; ++i)
        if (QWidget* pane = splitter_->widget(i);
            pane == focusWidget() || pane->isAncestorOf(focusWidget()))
            at = i;
    const int step = (event->modifiers() & Qt::ShiftModifier) ? count - 1 : 1;
    splitter_->widget((at + step) % count)->setFocus(Qt::TabFocusReason);
    event->accept();
}
