// The overview over 1 GiB WAV files of 8-, 16-, 24-bit and float stereo
// samples held in the page cache: the one pass on the analysis threads, and
// the separate envelope and level passes it replaces, each against a plain
// loop of positioned reads of the same blocks. The files are made once in
// /tmp (or in $KAVIREL_BENCH_DIR) and reused.
#include "soundfile/AnalysisThreads.h"
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

struct OpenedBenchFile {
    SfInfo info;
    explicit OpenedBenchFile(int bytesPerSample) {
        info.path = GigabyteBenchFile(bytesPerSample);
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

// The second argument is the number of threads, 0 for every core.
void BM_Overview(benchmark::State& state) {
    const SfInfo& info = File(int(state.range(0)));
    SetAnalysisThreads(int(state.range(1)));
    QuietDesktop desktop;
    std::vector<float> overview(size_t(4 * kWidth) * 2);
    for (auto _ : state) {
        PrepareOverview(info, overview.data(), kWidth, desktop);
        benchmark::DoNotOptimize(overview.data());
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

// The first argument is the sample width in bytes, or 5 for floats.
BENCHMARK(BM_PlainReads)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Overview)
    ->ArgsProduct({{1, 2, 3, kFloatCoding}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_PrepareWav)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_PrepareRms)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK_MAIN();
