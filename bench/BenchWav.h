// The sound files the benchmarks measure on: made once, kept in /tmp (or where
// an environment variable says) and reused by later runs.
#pragma once

#include "soundfile/DesktopServices.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SfItems.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>

// A desktop that shows nothing and asks nothing.
struct QuietDesktop : DesktopServices {
    void SetInfoText(const std::string&) override {}
    void ShowMessage(const std::string&, MessageIcon) override {}
    bool AskRawFormat(const std::string&, RawFormat&) override { return false; }
};

// $variable, else fallback.
inline std::string BenchPath(const char* variable, const char* fallback) {
    const char* env = std::getenv(variable);
    return env ? env : fallback;
}

// True when path holds a file of exactly bytes bytes from an earlier run.
inline bool BenchFileReady(const std::string& path, int64_t bytes) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && st.st_size == bytes;
}

// The format tags of WAV files: integer and IEEE float samples.
inline constexpr uint8_t kWaveFormatPcm = 1;
inline constexpr uint8_t kWaveFormatFloat = 3;

// A new WAV file (16-bit integers unless said) with its 44-byte header
// written; the caller writes the frames and closes it. Aborts when the file
// cannot be made.
inline FILE* CreateBenchWav(const std::string& path, uint16_t channels, uint32_t rate,
                            uint32_t frames, uint16_t bytesPerSample = 2,
                            uint8_t formatTag = kWaveFormatPcm) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    auto le32 = [](unsigned char* p, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            p[i] = static_cast<unsigned char>(v >> (8 * i));
    };
    const uint32_t align = uint32_t(bytesPerSample) * channels;
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    le32(h + 4, 36 + frames * align);
    le32(h + 16, 16);
    h[20] = formatTag;
    h[22] = static_cast<unsigned char>(channels);
    le32(h + 24, rate);
    le32(h + 28, rate * align);
    h[32] = static_cast<unsigned char>(align);
    h[34] = static_cast<unsigned char>(8 * bytesPerSample);
    std::memcpy(h + 36, "data", 4);
    le32(h + 40, frames * align);
    std::fwrite(h, 1, sizeof h, f);
    return f;
}

// The file at path opened as a head whose selection is frames 0 .. end, the
// range the benchmarks analyse. Aborts when the file cannot be opened.
inline std::unique_ptr<CSfHead> OpenBenchHead(const std::string& path, uint32_t end) {
    auto head = std::make_unique<CSfHead>();
    head->Info().path = path;
    QuietDesktop desktop;
    if (OpenAndRecognise(head->Info(), desktop) != OpenOutcome::Opened)
        std::abort();
    head->Info().task.start = 0;
    head->Info().task.end = end;
    return head;
}
