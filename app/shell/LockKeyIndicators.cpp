#include "app/shell/LockKeyIndicators.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <optional>

LockKeyIndicators::LockKeyIndicators(QStatusBar& bar) : QObject(&bar) {
    const char* names[] = {"CAP", "NUM", "SCRL"};
    const char* tips[] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    for (size_t i = 0; i < panes_.size(); ++i) {
        auto* pane = new QLabel(QString::fromLatin1(names[i]), &bar);
        pane->setObjectName(QString::fromLatin1(names[i]));
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setToolTip(QString::fromLatin1(tips[i]));
        // As wide as the widest name, so that the panes do not jump.
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance("SCRL") + 8);
        bar.addPermanentWidget(pane);
        panes_[i] = pane;
    }
    Update();
    if (!SystemLockStates())
        return;
    qGuiApp->installEventFilter(this);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &LockKeyIndicators::Update);
    timer->start(500);
}

void LockKeyIndicators::Show(const LockStates& states) {
    const bool on[] = {states.caps, states.num, states.scroll};
    for (size_t i = 0; i < panes_.size(); ++i)
        panes_[i]->setEnabled(on[i]);
}

bool LockKeyIndicators::eventFilter(QObject* watched, QEvent* event) {
    // Only the lock keys change the states; reading them is a round trip to
    // the X server, which other keys, delivered to many objects, need not pay.
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            Update();
    }
    return QObject::eventFilter(watched, event);
}

void LockKeyIndicators::Update() {
    const std::optional<LockStates> states = SystemLockStates();
    for (QLabel* pane : panes_)
        pane->setVisible(states.has_value());
    if (states)
        Show(*states);
}
