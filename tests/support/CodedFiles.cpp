#include "support/CodedFiles.h"

#include <cstring>

const Coding kCodings[9] = {
    {"8-bit WAV", Container::Wav, 1},          {"16-bit WAV", Container::Wav, 2},
    {"24-bit WAV", Container::Wav, 3},         {"32-bit WAV", Container::Wav, 4},
    {"float WAV", Container::FloatWav, 4},     {"8-bit AIFF", Container::Aiff, 1},
    {"16-bit big-endian", Container::Aiff, 2}, {"24-bit big-endian", Container::Aiff, 3},
    {"32-bit big-endian", Container::Aiff, 4},
};

Bytes Samples(const Coding& coding, int channels, uint32_t frames) {
    Bytes out(size_t(frames) * size_t(channels) * size_t(coding.bytesPerSample));
    uint32_t seed = frames * 7u + uint32_t(coding.bytesPerSample);
    for (size_t i = 0; i < out.size(); i += size_t(coding.bytesPerSample)) {
        seed = seed * 1664525u + 1013904223u;
        if (coding.container == Container::FloatWav) {
            const float x = float(int32_t(seed)) / 1.9e9f;
            std::memcpy(&out[i], &x, 4);
        } else {
            for (int b = 0; b < coding.bytesPerSample; ++b)
                out[i + size_t(b)] = uint8_t(seed >> (8 * (3 - b)));
        }
    }
    return out;
}

std::string MakeFile(const TempDir& dir, const Coding& coding, int channels, uint32_t frames) {
    const Bytes data = Samples(coding, channels, frames);
    const std::string name = std::to_string(frames) + "-" + std::to_string(channels);
    if (coding.container == Container::Aiff)
        return dir.Write(
            name + ".aif",
            MakeAiff(int16_t(channels), int16_t(8 * coding.bytesPerSample), 0x400E, 0xAC44, data));
    WavSpec layout;
    layout.formatTag = coding.container == Container::FloatWav ? 3 : 1;
    layout.channels = uint16_t(channels);
    layout.bytesPerSample = uint16_t(coding.bytesPerSample);
    return dir.Write(name + ".wav", MakeWav(layout, data));
}
