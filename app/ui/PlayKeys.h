// The play keys of the head window and the analysis views: Enter and F4 play
// the whole range, F6 the selection (with Shift over and over until stopped),
// F8 from a frame to the range's end; Esc, F7 and keypad 0 stop.
#pragma once

#include <cstdint>
#include <memory>

class CSfPlay;
class PlayNotifySink;
class QKeyEvent;
struct SfInfo;

// What a window's play keys reach, in frames of the file of info, and the
// windows that follow the playback.
struct PlayKeyFrames {
    const SfInfo& info;
    uint32_t rangeStart;
    uint32_t rangeEnd;
    uint32_t selectionStart;
    uint32_t selectionEnd;
    // F8 plays from here to rangeEnd.
    uint32_t restStart;
    std::weak_ptr<PlayNotifySink> window1;
    std::weak_ptr<PlayNotifySink> window2;
};

enum class PlayKeyOutcome { NotPlayKey, Played, Stopped };

// Plays or stops for a play key; any other key is left to the window.
PlayKeyOutcome HandlePlayKey(const QKeyEvent* event, CSfPlay& player, const PlayKeyFrames& frames);
