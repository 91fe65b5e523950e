#include "playback/ShortPiece.h"

#include "playback/CSfPlay.h"
#include "playback/PlaySettings.h"
#include "soundfile/SfInfo.h"

#include <algorithm>

bool PlayShortPiece(CSfPlay& player, SettingsStore& store, const SfInfo& info, uint32_t frame,
                    std::weak_ptr<PlayNotifySink> window) {
    if (info.rate <= 0)
        return false;
    return PlayCursorPiece(player, store, info, frame, uint32_t(info.rate) / 10, std::move(window));
}

bool PlayCursorPiece(CSfPlay& player, SettingsStore& store, const SfInfo& info, uint32_t frame,
                     uint32_t frames, std::weak_ptr<PlayNotifySink> window) {
    if (!LoadPlaySettings(store).PlayWithCursor || info.rate <= 0)
        return false;
    const uint32_t end = uint32_t(std::min<uint64_t>(info.frames, uint64_t(frame) + frames));
    return player.PlayRange(info, frame, end, std::move(window), {}, false) == PlayOutcome::Started;
}
