// The sonagram of a 60 s range of 44.1 kHz mono audio at W = 512 columns,
// with the default short FFT and with a long one. The file is made once as
// $KAVIREL_BENCH_SON_FILE (default /tmp/kavirel-bench-son-60s.wav) and read
// from the page cache.
#include "sonagram/CSfSon.h"
#include "sonagram/ComputeSonagram.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfItems.h"
#include "spectrum/MagnitudeSpectrum.h"
#include "spectrum/WindowFunction.h"

#include "BenchWav.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kFrames = kRate * 60;

// A gliding tone over noise, so that every column has a spectrum to sort.
std::string BenchFile() {
    uint32_t seed = 1;
    double phase = 0.0;
    return MonoBenchFile(BenchPath("KAVIREL_BENCH_SON_FILE", "/tmp/kavirel-bench-son-60s.wav"),
                         kRate, kFrames, [&](uint32_t t) {
                             seed = seed * 1664525u + 1013904223u;
                             phase += 2.0 * M_PI * (200.0 + 4000.0 * t / kFrames) / kRate;
                             return int16_t(8000.0 * std::sin(phase) + double(int32_t(seed) >> 22));
                         });
}

CSfHead& Head() {
    static const std::unique_ptr<CSfHead> head = OpenBenchHead(BenchFile(), kFrames);
    return *head;
}

void BM_Sonagram(benchmark::State& state) {
    FftSettings settings;
    settings.Lfft = int32_t(state.range(0));
    settings.Lwdw = settings.Lfft;
    settings.IWin = 4;
    settings.Range = 70;
    settings.Fmax = 8000.0f;
    const auto son = CSfSon::Create(Head(), settings);
    QuietDesktop desktop;
    SonagramCells cells;
    for (auto _ : state) {
        if (ComputeSonagram(*son, cells, desktop, 1024) != // W = 512
            SonagramOutcome::Computed)
            state.SkipWithError("nothing computed");
        benchmark::DoNotOptimize(cells.index.data());
    }
    state.counters["W"] = cells.width;
    state.counters["H"] = cells.height;
}

// What every sonagram must do at least: read and window the same 512 frames
// and transform them, into one reused frame.
void BM_BareColumns(benchmark::State& state) {
    const int lfft = int(state.range(0));
    std::vector<float> window(lfft);
    std::vector<float> frame(lfft);
    MakeWindow(window.data(), lfft, lfft, 4);
    const SfInfo& info = Head().Info();
    const double hop = double(kFrames) / 512;
    for (auto _ : state) {
        for (int i = 0; i < 512; ++i) {
            ReadWindowedSamples(info, frame.data(), uint32_t(lfft), uint32_t(i * hop + 0.5), 0,
                                window.data());
            MagnitudeSpectrum(frame.data(), lfft, true);
        }
        benchmark::DoNotOptimize(frame.data());
    }
}

} // namespace

BENCHMARK(BM_BareColumns)->Arg(1024)->Arg(65536)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Sonagram)->Arg(1024)->Arg(65536)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
