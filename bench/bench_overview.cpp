// The overview passes over a 1 GiB 16-bit stereo WAV held in the page cache,
// each against a plain loop of positioned reads of the same blocks.
// The file is made once as $KAVIREL_BENCH_FILE (default /tmp/kavirel-bench-1g.wav).
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
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr uint32_t kRate = 44100;
constexpr uint32_t kFrames = (1u << 30) / 4;

std::string BenchFile() {
    const std::string path = BenchPath("KAVIREL_BENCH_FILE", "/tmp/kavirel-bench-1g.wav");
    if (BenchFileReady(path, 44 + int64_t(kFrames) * 4))
        return path;
    FILE* f = CreateBenchWav(path, 2, kRate, kFrames);
    std::vector<int16_t> block(1 << 20);
    uint32_t seed = 1;
    for (uint32_t written = 0; written < kFrames * 2; written += uint32_t(block.size())) {
        for (int16_t& s : block) {
            seed = seed * 1664525u + 1013904223u;
            s = int16_t(seed >> 16);
        }
        std::fwrite(block.data(), 2, block.size(), f);
    }
    std::fclose(f);
    return path;
}

struct OpenedBenchFile {
    SfInfo info;
    OpenedBenchFile() {
        info.path = BenchFile();
        QuietDesktop desktop;
        if (OpenAndRecognise(info, desktop) != OpenOutcome::Opened)
            std::abort();
    }
    ~OpenedBenchFile() { sfclose(info.handle); }
};

OpenedBenchFile& File() {
    static OpenedBenchFile file;
    return file;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(File().info.frames) * 4);
}

void BM_PlainReads(benchmark::State& state) {
    const SfInfo& info = File().info;
    const int64_t block = int64_t(info.frames / kWidth) * info.blockAlign;
    std::vector<char> buffer(static_cast<size_t>(block));
    for (auto _ : state) {
        int64_t position = info.dataOffset;
        for (int k = 0; k < kWidth; ++k)
            position += sfread(info.handle, buffer.data(), block, position);
        benchmark::DoNotOptimize(buffer.data());
    }
    SetBytes(state);
}

void BM_PrepareWav(benchmark::State& state) {
    QuietDesktop desktop;
    std::vector<float> envelope(size_t(2 * kWidth) * 2);
    for (auto _ : state) {
        PrepareWav(File().info, envelope.data(), 2 * kWidth, desktop);
        benchmark::DoNotOptimize(envelope.data());
    }
    SetBytes(state);
}

void BM_PrepareRms(benchmark::State& state) {
    QuietDesktop desktop;
    std::vector<float> levels(size_t(2 * kWidth) * 2);
    for (auto _ : state) {
        PrepareRms(File().info, levels.data(), 2 * kWidth, desktop);
        benchmark::DoNotOptimize(levels.data());
    }
    SetBytes(state);
}

} // namespace

BENCHMARK(BM_PlainReads)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PrepareWav)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PrepareRms)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
