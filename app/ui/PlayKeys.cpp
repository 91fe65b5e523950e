#include "app/ui/PlayKeys.h"

#include "app/ui/ViewKeys.h"
#include "playback/CSfPlay.h"

#include <QKeyEvent>

PlayKeyOutcome HandlePlayKey(const QKeyEvent* event, CSfPlay& player, const PlayKeyFrames& frames) {
    const auto play = [&](uint32_t start, uint32_t end, bool loop) {
        player.PlayRange(frames.info, start, end, frames.window1, frames.window2, loop);
    };
    if (IsPlayKey(event)) {
        play(frames.rangeStart, frames.rangeEnd, false);
        return PlayKeyOutcome::Played;
    }
    if (IsStopKey(event)) {
        player.StopPlay();
        return PlayKeyOutcome::Stopped;
    }
    if (event->key() == Qt::Key_F6) {
        // An empty selection has nothing to play, and nothing to loop forever.
        if (frames.selectionStart < frames.selectionEnd)
            play(frames.selectionStart, frames.selectionEnd,
                 event->modifiers() & Qt::ShiftModifier);
        return PlayKeyOutcome::Played;
    }
    if (event->key() == Qt::Key_F8) {
        play(frames.restStart, frames.rangeEnd, false);
        return PlayKeyOutcome::Played;
    }
    return PlayKeyOutcome::NotPlayKey;
}
