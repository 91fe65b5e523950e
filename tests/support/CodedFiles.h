// Sound files of every sample coding the analyses read, filled with samples
// over the coding's whole range from a fixed seed.
#pragma once

#include "support/TestFiles.h"

#include <cstdint>
#include <string>

enum class Container { Wav, FloatWav, Aiff };

struct Coding {
    const char* name;
    Container container;
    int bytesPerSample;
};

// 8, 16, 24 and 32-bit WAV, float WAV, and 8 to 32-bit big-endian AIFF.
extern const Coding kCodings[9];

// Samples over the whole range of the coding (floats a little past full
// scale, so some clamp), from a fixed seed.
Bytes Samples(const Coding& coding, int channels, uint32_t frames);

// A file of the coding in dir, named by its frames and channels.
std::string MakeFile(const TempDir& dir, const Coding& coding, int channels, uint32_t frames);
