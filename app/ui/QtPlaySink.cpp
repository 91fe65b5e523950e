#include "app/ui/QtPlaySink.h"

#include <QCoreApplication>

PlayNotifyEvent::PlayNotifyEvent(int code, const PlayNotify* notify)
    : QEvent(EventType()), code_(code), notify_(notify) {}

QEvent::Type PlayNotifyEvent::EventType() {
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void QtPlaySink::PostPlayNotify(int code, const PlayNotify* notify) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (target_)
        QCoreApplication::postEvent(target_, new PlayNotifyEvent(code, notify));
}

void QtPlaySink::Detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    target_ = nullptr;
}
