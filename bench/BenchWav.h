// The sound files the benchmarks measure on: made once, kept in /tmp (or where
// an environment variable says) and reused by later runs.
#pragma once

#include "soundfile/DesktopServices.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SfItems.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

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

// A 16-bit mono WAV of frames at rate, frame t holding sample(t), made at path
// unless an earlier run made it. sample is called for t = 0, 1, ... in order,
// so it may carry state from one frame to the next. Returns path.
template <typename Sample>
std::string MonoBenchFile(const std::string& path, uint32_t rate, uint32_t frames, Sample sample) {
    if (BenchFileReady(path, 44 + int64_t(frames) * 2))
        return path;
    FILE* f = CreateBenchWav(path, 1, rate, frames);
    std::vector<int16_t> block(1 << 16);
    for (uint32_t t = 0; t < frames;) {
        const uint32_t count = std::min<uint32_t>(uint32_t(block.size()), frames - t);
        for (uint32_t i = 0; i < count; ++i, ++t)
            block[i] = sample(t);
        std::fwrite(block.data(), 2, count, f);
    }
    std::fclose(f);
    return path;
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

// The coding argument of GigabyteBenchFile for float samples; integers give
// their width in bytes.
inline constexpr int kFloatCoding = 5;

// A WAV file of 1 GiB of stereo samples at 44.1 kHz in the coding, random over
// its whole range (floats within full scale), in /tmp or $KAVIREL_BENCH_DIR.
inline std::string GigabyteBenchFile(int coding) {
    constexpr int64_t kDataBytes = int64_t(1) << 30;
    const bool isFloat = coding == kFloatCoding;
    const int bytesPerSample = isFloat ? 4 : coding;
    const uint32_t frames = uint32_t(kDataBytes / (2 * bytesPerSample));
    const std::string path = BenchPath("KAVIREL_BENCH_DIR", "/tmp") + "/kavirel-bench-1g-" +
                             (isFloat ? std::string("float") : std::to_string(8 * coding) + "bit") +
                             ".wav";
    if (BenchFileReady(path, 44 + int64_t(frames) * 2 * bytesPerSample))
        return path;
    FILE* f = CreateBenchWav(path, 2, 44100, frames, uint16_t(bytesPerSample),
                             isFloat ? kWaveFormatFloat : kWaveFormatPcm);
    std::vector<uint8_t> block(3 << 20);
    uint32_t seed = 1;
    for (int64_t written = 0; written < kDataBytes; written += int64_t(block.size())) {
        for (size_t i = 0; i < block.size(); i += isFloat ? 4 : 1) {
            seed = seed * 1664525u + 1013904223u;
            if (isFloat) {
                const float x = float(int32_t(seed)) / 2147483648.0f;
                std::memcpy(&block[i], &x, 4);
            } else {
                block[i] = uint8_t(seed >> 24);
            }
        }
        std::fwrite(block.data(), 1,
                    size_t(std::min<int64_t>(int64_t(block.size()), kDataBytes - written)), f);
    }
    std::fclose(f);
    return path;
}
