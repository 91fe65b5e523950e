// A window that follows playback. The desktop program implements it by
// posting an event with QCoreApplication::postEvent; tests record the codes.
#pragma once

class PlayNotify;

// Why a notification was posted. Receivers move their cursor whatever the code.
enum PlayCode : int {
    kPlayStarting = 1, // the worker took the start request; nothing is read yet
    kPlayBlockDone = 2,
    kPlayClosed = 3,   // the device is closed; playback is over
    kPlayTick = 4,     // the report interval passed without another event
    kPlayReplaced = 5, // a new playback starts; this one is about to stop
    kPlayQueued = 9,   // a block went to the device
};

class PlayNotifySink {
public:
    virtual ~PlayNotifySink() = default;

    // Called on the playback worker, and for kPlayReplaced on the thread that
    // calls PlayRange. Must return at once: posting, never handling, so that
    // the worker never waits for the user interface.
    virtual void PostPlayNotify(int code, const PlayNotify* notify) = 0;
};
