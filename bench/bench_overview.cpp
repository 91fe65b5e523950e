// The overview passes over 1 GiB WAV files of 8-, 16- and 24-bit stereo
// samples held in the page cache, each against a plain loop of positioned
// reads of the same blocks. The files are made once in /tmp (or in
// $KAVIREL_BENCH_DIR) and reused.
#include "soundfile/DesktopServices.h"
#include "soundfile/OpenHead.h"
#include "soundfile/Overview.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include "BenchWav.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr uint32_t kRate = 44100;
constexpr int64_t kDataBytes = int64_t(1) << 30;

std::string BenchFile(int bytesPerSample) {
    const uint32_t frames = uint32_t(kDataBytes / (2 * bytesPerSample));
    const std::string path = BenchPath("KAVIREL_BENCH_DIR", "/tmp") + "/kavirel-bench-1g-" +
                             std::to_string(8 * bytesPerSample) + "bit.wav";
    if (BenchFileReady(path, 44 + int64_t(frames) * 2 * bytesPerSample))
        return path;
    FILE* f = CreateBenchWav(path, 2, kRate, frames, uint16_t(bytesPerSample));
    std::vector<uint8_t> block(3 << 20);
    uint32_t seed = 1;
    for (int64_t written = 0; written < kDataBytes; written += int64_t(block.size())) {
        for (uint8_t& b : block) {
            seed = seed * 1664525u + 1013904223u;
            b = uint8_t(seed >> 24);
        }
        std::fwrite(block.data(), 1,
                    size_t(std::min<int64_t>(int64_t(block.size()), kDataBytes - written)), f);
    }
    std::fclose(f);
    return path;
}

struct OpenedBenchFile {
    SfInfo info;
    explicit OpenedBenchFile(int bytesPerSample) {
        info.path = BenchFile(bytesPerSample);
        QuietDesktop desktop;
        if (OpenAndRecognise(info, desktop) != OpenOutcome::Opened)
            std::abort();
    }
    ~OpenedBenchFile() { sfclose(info.handle); }
};

const SfInfo& File(int bytesPerSample) {
    static std::map<int, std::unique_ptr<OpenedBenchFile>> files;
    auto& file = files[bytesPerSample];
    if (!file)
        file = std::make_unique<OpenedBenchFile>(bytesPerSample);
    return file->info;
}

void SetBytes(benchmark::State& state, const SfInfo& info) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(info.frames) * info.blockAlign);
}

void BM_PlainReads(benchmark::State& state) {
    const SfInfo& info = File(int(state.range(0)));
    const int64_t block = int64_t(info.frames / kWidth) * info.blockAlign;
    std::vector<char> buffer(static_cast<size_t>(block));
    for (auto _ : state) {
        int64_t position = info.dataOffset;
        for (int k = 0; k < kWidth; ++k)
            position += sfread(info.handle, buffer.data(), block, position);
        benchmark::DoNotOptimize(buffer.data());
    }
    SetBytes(state, info);
}

void BM_PrepareWav(benchmark::State& state) {
    const SfInfo& info = File(int(state.range(0)));
    QuietDesktop desktop;
    std::vector<float> envelope(size_t(2 * kWidth) * 2);
    for (auto _ : state) {
        PrepareWav(info, envelope.data(), 2 * kWidth, desktop);
        benchmark::DoNotOptimize(envelope.data());
    }
    SetBytes(state, info);
}

void BM_PrepareRms(benchmark::State& state) {
    const SfInfo& info = File(int(state.range(0)));
    QuietDesktop desktop;
    std::vector<float> levels(size_t(2 * kWidth) * 2);
    for (auto _ : state) {
        PrepareRms(info, levels.data(), 2 * kWidth, desktop);
        benchmark::DoNotOptimize(levels.data());
    }
    SetBytes(state, info);
}

} // namespace

// The argument is the sample width in bytes.
BENCHMARK(BM_PlainReads)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PrepareWav)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PrepareRms)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
