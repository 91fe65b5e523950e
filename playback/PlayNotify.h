// Where playback stands: the record every playback notification points at.
// The worker rewrites it before each notification and the user-interface
// thread reads it when it handles one, so that a late reader sees the newest
// position; the pair is read and written as a whole, never torn.
#pragma once

#include <cstdint>
#include <mutex>

struct PlayPoint {
    int32_t handle = -1;   // file handle of the sound that plays
    double position = 0.0; // seconds of file time from the start of the sound data
};

class PlayNotify {
public:
    void Write(int32_t handle, double position);
    PlayPoint Read() const;

private:
    mutable std::mutex mutex_;
    PlayPoint point_;
};
