#include "app/ui/QtPlaySink.h"

#include "soundfile/SfInfo.h"

#include <QCoreApplication>

PlayNotifyEvent::PlayNotifyEvent(int code, const PlayNotify* notify)
    : QEvent(EventType()), code_(code), notify_(notify) {}

QEvent::Type PlayNotifyEvent::EventType() {
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

std::optional<PlayPoint> PlayNotifyEvent::PointFor(const SfInfo& info) const {
    if (!notify_)
        return std::nullopt;
    const PlayPoint point = notify_->Read();
    if (point.handle != info.handle)
        return std::nullopt;
    return point;
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
