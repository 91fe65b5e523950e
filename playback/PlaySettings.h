// The playback settings kept in the settings section "Play".
#pragma once

#include <cstdint>

class SettingsStore;

struct PlaySettings {
    static constexpr int32_t kMinBlockNumber = 2;
    static constexpr int32_t kMaxBlockNumber = 16;
    static constexpr int32_t kMinBlockLength = 4096;    // 2^12 bytes
    static constexpr int32_t kMaxBlockLength = 1048576; // 2^20 bytes
    static constexpr int32_t kMinDisplayRefresh = 1;
    static constexpr int32_t kMaxDisplayRefresh = 1000;
    static constexpr int32_t kMinPlayRatio = 10;
    static constexpr int32_t kMaxPlayRatio = 200;

    int32_t DeviceID = -1;       // -1: the system's default output
    int32_t BlockNumber = 4;     // blocks in the ring
    int32_t BlockLength = 16384; // bytes per block before rounding to whole frames
    int32_t DisplayRefresh = 50; // milliseconds between position reports
    int32_t PlayRatio = 100;     // percent of the file's sample rate
    int32_t EightBitSigned = 0;  // nonzero: 8-bit files play as 16-bit samples
    int32_t PlayWithCursor = 0;  // nonzero: cursor keys play a short piece
};

// Brings every value into the range the options dialog offers: the block
// count to 2 .. 16, the block length to the nearest power of two 2^12 .. 2^20
// (the smaller one when halfway), the refresh to 1 .. 1000 ms and the ratio
// to 10 .. 200 %. A refresh of 0 would make the worker report without pause
// and a ratio of 0 a device rate of 0.
PlaySettings ClampPlaySettings(const PlaySettings& settings);

// Reads section "Play"; missing values take the defaults, then ClampPlaySettings.
PlaySettings LoadPlaySettings(SettingsStore& store);
void SavePlaySettings(SettingsStore& store, const PlaySettings& settings);
