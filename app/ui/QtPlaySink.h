// Playback notifications as Qt events: the worker posts, the window handles
// the event on the user-interface thread and reads the position then.
#pragma once

#include "playback/PlayNotify.h"
#include "playback/PlayNotifySink.h"

#include <QEvent>
#include <memory>
#include <mutex>
#include <optional>

class QObject;
struct SfInfo;

class PlayNotifyEvent : public QEvent {
public:
    PlayNotifyEvent(int code, const PlayNotify* notify);
    static QEvent::Type EventType();

    int Code() const { return code_; }
    const PlayNotify* Notify() const { return notify_; }
    // The position reported for the file of info; none without a record, or
    // when the record already describes a playback of another file that
    // replaced that one.
    std::optional<PlayPoint> PointFor(const SfInfo& info) const;

private:
    int code_;
    const PlayNotify* notify_;
};

class QtPlaySink : public PlayNotifySink {
public:
    explicit QtPlaySink(QObject* target) : target_(target) {}
    void PostPlayNotify(int code, const PlayNotify* notify) override;
    // Called by the window before it goes: nothing is posted to it afterwards.
    void Detach();

private:
    std::mutex mutex_;
    QObject* target_;
};

// A window's sink: made with the window, detached when it goes.
class PlaySinkHolder {
public:
    explicit PlaySinkHolder(QObject* target) : sink_(std::make_shared<QtPlaySink>(target)) {}
    ~PlaySinkHolder() { sink_->Detach(); }
    PlaySinkHolder(const PlaySinkHolder&) = delete;
    PlaySinkHolder& operator=(const PlaySinkHolder&) = delete;
    std::weak_ptr<PlayNotifySink> Sink() const { return sink_; }

private:
    std::shared_ptr<QtPlaySink> sink_;
};
