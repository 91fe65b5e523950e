// The short piece of sound that cursor keys play where the cursor lands.
#pragma once

#include <cstdint>
#include <memory>

class CSfPlay;
class PlayNotifySink;
class SettingsStore;
struct SfInfo;

// Plays a tenth of a second of info's file from frame, reporting to window,
// when the user has switched cursor playing on. The switch is read from the
// store at each call, so the options dialog takes effect with the next key.
// True when playback started.
bool PlayShortPiece(CSfPlay& player, SettingsStore& store, const SfInfo& info, uint32_t frame,
                    std::weak_ptr<PlayNotifySink> window);

// As PlayShortPiece, with a piece of the given length: the sonagram window
// plays one analysis frame.
bool PlayCursorPiece(CSfPlay& player, SettingsStore& store, const SfInfo& info, uint32_t frame,
                     uint32_t frames, std::weak_ptr<PlayNotifySink> window);
