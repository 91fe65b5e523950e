#include "support/TestFiles.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>

void AppendLe16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void AppendLe32(Bytes& b, uint32_t v) {
    AppendLe16(b, v & 0xFFFF);
    AppendLe16(b, v >> 16);
}
void AppendBe16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
void AppendBe32(Bytes& b, uint32_t v) {
    AppendBe16(b, v >> 16);
    AppendBe16(b, v & 0xFFFF);
}
void AppendId(Bytes& b, const char* id) {
    b.insert(b.end(), id, id + 4);
}

Bytes PcmBytes(const std::vector<int32_t>& values, int bytesPerSample, bool bigEndian) {
    Bytes out;
    for (int32_t v : values) {
        const uint32_t u = bytesPerSample == 1 ? uint32_t(v + 128) : uint32_t(v);
        Bytes sample;
        for (int i = 0; i < bytesPerSample; ++i)
            sample.push_back(uint8_t(u >> (8 * i)));
        if (bigEndian)
            out.insert(out.end(), sample.rbegin(), sample.rend());
        else
            out.insert(out.end(), sample.begin(), sample.end());
    }
    return out;
}

Bytes Chunk(const char* id, const Bytes& body) {
    Bytes b;
    AppendId(b, id);
    AppendLe32(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

Bytes MakeWav(const WavSpec& layout, const Bytes& data) {
    Bytes fmt;
    AppendLe16(fmt, layout.extensibleSubFormat ? 0xFFFE : layout.formatTag);
    AppendLe16(fmt, layout.channels);
    AppendLe32(fmt, layout.rate);
    AppendLe32(fmt, layout.rate * layout.channels * layout.bytesPerSample);
    AppendLe16(fmt, layout.channels * layout.bytesPerSample);
    AppendLe16(fmt, layout.bytesPerSample * 8);
    if (layout.extensibleSubFormat) {
        AppendLe16(fmt, 22);
        AppendLe16(fmt, layout.bytesPerSample * 8);
        AppendLe32(fmt, 0);
        AppendLe32(fmt, layout.extensibleSubFormat);
        const uint8_t guidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                      0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        fmt.insert(fmt.end(), guidTail, guidTail + 12);
    } else {
        fmt.resize(layout.fmtSize, 0);
    }

    Bytes body;
    AppendId(body, "WAVE");
    for (const Bytes& c : layout.chunksBeforeFmt)
        body.insert(body.end(), c.begin(), c.end());
    const Bytes fmtChunk = Chunk("fmt ", fmt);
    body.insert(body.end(), fmtChunk.begin(), fmtChunk.end());
    for (const Bytes& c : layout.chunksBefore)
        body.insert(body.end(), c.begin(), c.end());
    AppendId(body, "data");
    AppendLe32(body, layout.dataSizeOverride >= 0 ? uint32_t(layout.dataSizeOverride)
                                                  : uint32_t(data.size()));
    body.insert(body.end(), data.begin(), data.end());

    Bytes file;
    AppendId(file, "RIFF");
    AppendLe32(file, uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes MakeAu(uint32_t encoding, uint32_t rate, uint32_t channels, const Bytes& data,
             uint32_t dataSize, uint32_t dataOffset) {
    Bytes b;
    AppendId(b, ".snd");
    AppendBe32(b, dataOffset);
    AppendBe32(b, dataSize);
    AppendBe32(b, encoding);
    AppendBe32(b, rate);
    AppendBe32(b, channels);
    b.resize(dataOffset, 0);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes MakeAiff(int16_t channels, int16_t bits, uint16_t exponent, uint16_t mantissaTop,
               const Bytes& data, uint32_t ssndOffset) {
    const int bytes = bits <= 8 ? 1 : bits <= 16 ? 2 : bits <= 24 ? 3 : 4;
    const uint32_t frames = uint32_t(data.size() / size_t(bytes * channels));
    Bytes b;
    AppendId(b, "FORM");
    AppendBe32(b, uint32_t(46 + ssndOffset + data.size()));
    AppendId(b, "AIFF");
    AppendId(b, "COMM");
    AppendBe32(b, 18);
    AppendBe16(b, uint16_t(channels));
    AppendBe32(b, frames);
    AppendBe16(b, uint16_t(bits));
    AppendBe16(b, exponent);
    AppendBe16(b, mantissaTop);
    AppendBe32(b, 0);
    AppendBe16(b, 0);
    AppendId(b, "SSND");
    AppendBe32(b, uint32_t(8 + ssndOffset + data.size()));
    AppendBe32(b, ssndOffset);
    AppendBe32(b, 0);
    b.resize(b.size() + ssndOffset, 0);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kavirel-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
    const std::string path = path_ + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

std::string TempDir::Fifo(const std::string& name) const {
    const std::string path = path_ + "/" + name;
    if (::mkfifo(path.c_str(), 0600) != 0)
        throw std::runtime_error("cannot make the named pipe " + path);
    return path;
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes StereoTone(int frames) {
    std::vector<int32_t> v;
    for (int i = 0; i < frames; ++i) {
        v.push_back(int32_t(8000 * std::sin(i * 0.05)));
        v.push_back(int32_t(4000 * std::sin(i * 0.11)));
    }
    WavSpec layout;
    layout.channels = 2;
    layout.rate = 8000;
    return MakeWav(layout, PcmBytes(v, 2));
}
