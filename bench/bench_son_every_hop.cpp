// The sonagram of 10 minutes of 44.1 kHz mono audio with a frame every 256
// frames (Lfft 1024, about 103,000 frames) at W = 640 columns; the repaint of
// its image in another colour map, and the readout under the pointer. The
// file is made once as $KAVIREL_BENCH_HOP_FILE (default
// /tmp/kavirel-bench-son-10min.wav) and read from the page cache.
#include "sonagram/CSfSon.h"
#include "sonagram/ComputeSonagram.h"
#include "sonagram/SonReadout.h"
#include "sonagram/SonagramAxis.h"
#include "sonagram/ui/SonagramImage.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SfItems.h"

#include "BenchWav.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kFrames = kRate * 600;

// Speech-like bursts of a gliding tone over noise, with a click now and then.
std::string BenchFile() {
    uint32_t seed = 1;
    double phase = 0.0;
    return MonoBenchFile(BenchPath("KAVIREL_BENCH_HOP_FILE", "/tmp/kavirel-bench-son-10min.wav"),
                         kRate, kFrames, [&](uint32_t t) {
                             seed = seed * 1664525u + 1013904223u;
                             phase += 2.0 * M_PI * (200.0 + 400.0 * std::sin(t * 1e-5)) / kRate;
                             const double burst = (t / 8000) % 3 == 0 ? 0.0 : 8000.0;
                             return int16_t(burst * std::sin(phase) + double(int32_t(seed) >> 22) +
                                            (t % 1000003 == 500000 ? 20000 : 0));
                         });
}

CSfHead& Head() {
    static const std::unique_ptr<CSfHead> head = OpenBenchHead(BenchFile(), kFrames);
    return *head;
}

std::unique_ptr<CSfSon> EveryHopItem() {
    FftSettings settings;
    settings.Lfft = 1024;
    settings.Lwdw = 1024;
    settings.IWin = 4;
    settings.Range = 70;
    settings.Fmax = 8000.0f;
    settings.Frames = kFramesEveryHop;
    settings.Hop = 256;
    return CSfSon::Create(Head(), settings);
}

const SonagramCells& Cells() {
    static SonagramCells cells;
    static const auto son = [] {
        auto item = EveryHopItem();
        QuietDesktop desktop;
        ComputeSonagram(*item, cells, desktop, 1280);
        return item;
    }();
    return cells;
}

void BM_EveryHopTenMinutes(benchmark::State& state) {
    const auto son = EveryHopItem();
    QuietDesktop desktop;
    SonagramCells cells;
    for (auto _ : state) {
        if (ComputeSonagram(*son, cells, desktop, 1280) != SonagramOutcome::Computed)
            state.SkipWithError("nothing computed");
        benchmark::DoNotOptimize(cells.index.data());
    }
    state.counters["W"] = cells.width;
    state.counters["H"] = cells.height;
    state.counters["frames"] = double(kFrames / 256);
}

// What the window does on a new map: the indexed image with the map's palette
// and the 32-bit copy it stretches.
void BM_ColourMapChange(benchmark::State& state) {
    const SonagramCells& cells = Cells();
    int32_t map = 0;
    for (auto _ : state) {
        map = (map + 1) % 6;
        const QImage image = SonagramImage(cells, map);
        const QImage stretchable = image.convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(stretchable.constBits());
    }
}

// The readout of one pointer position and its text.
void BM_PointerReadout(benchmark::State& state) {
    const SonagramCells& cells = Cells();
    const PlotRect plot{28, 4, 1248, 700};
    const FrequencyAxis axis(FreqAxisKind::Log, 43.07, 8000.0);
    int x = plot.left;
    for (auto _ : state) {
        x = x + 7 < plot.right ? x + 7 : plot.left;
        const SonReadout r = ReadoutAt(cells, plot, axis, 0.0, 600.0, x, 300);
        benchmark::DoNotOptimize(SonReadoutText(r, false, 440.0, 0));
    }
}

} // namespace

BENCHMARK(BM_EveryHopTenMinutes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ColourMapChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointerReadout)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
