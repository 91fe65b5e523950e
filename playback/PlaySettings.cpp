#include "playback/PlaySettings.h"

#include "soundfile/SettingsStore.h"

#include <algorithm>
#include <cstdlib>

namespace {

const char* const kSection = "Play";

int32_t NearestBlockLength(int32_t length) {
    int32_t best = PlaySettings::kMinBlockLength;
    for (int32_t candidate = PlaySettings::kMinBlockLength;
         candidate <= PlaySettings::kMaxBlockLength; candidate *= 2) {
        if (std::llabs(int64_t(candidate) - length) < std::llabs(int64_t(best) - length))
            best = candidate;
    }
    return best;
}

} // namespace

PlaySettings ClampPlaySettings(const PlaySettings& settings) {
    PlaySettings s = settings;
    s.BlockNumber =
        std::clamp(s.BlockNumber, PlaySettings::kMinBlockNumber, PlaySettings::kMaxBlockNumber);
    s.BlockLength = NearestBlockLength(s.BlockLength);
    s.DisplayRefresh = std::clamp(s.DisplayRefresh, PlaySettings::kMinDisplayRefresh,
                                  PlaySettings::kMaxDisplayRefresh);
    s.PlayRatio = std::clamp(s.PlayRatio, PlaySettings::kMinPlayRatio, PlaySettings::kMaxPlayRatio);
    return s;
}

PlaySettings LoadPlaySettings(SettingsStore& store) {
    const PlaySettings defaults;
    PlaySettings s;
    s.DeviceID = store.GetInt(kSection, "DeviceID", defaults.DeviceID);
    s.BlockNumber = store.GetInt(kSection, "BlockNumber", defaults.BlockNumber);
    s.BlockLength = store.GetInt(kSection, "BlockLength", defaults.BlockLength);
    s.DisplayRefresh = store.GetInt(kSection, "DisplayRefresh", defaults.DisplayRefresh);
    s.PlayRatio = store.GetInt(kSection, "PlayRatio", defaults.PlayRatio);
    s.EightBitSigned = store.GetInt(kSection, "8BitSigned", defaults.EightBitSigned);
    s.PlayWithCursor = store.GetInt(kSection, "PlayWithCursor", defaults.PlayWithCursor);
    return ClampPlaySettings(s);
}

void SavePlaySettings(SettingsStore& store, const PlaySettings& settings) {
    store.SetInt(kSection, "DeviceID", settings.DeviceID);
    store.SetInt(kSection, "BlockNumber", settings.BlockNumber);
    store.SetInt(kSection, "BlockLength", settings.BlockLength);
    store.SetInt(kSection, "DisplayRefresh", settings.DisplayRefresh);
    store.SetInt(kSection, "PlayRatio", settings.PlayRatio);
    store.SetInt(kSection, "8BitSigned", settings.EightBitSigned);
    store.SetInt(kSection, "PlayWithCursor", settings.PlayWithCursor);
}
