// The sonagram of a 60 s range of 44.1 kHz mono audio at W = 512 columns,
// with the default short FFT and with a long one. The file is made once as
// $KAVIREL_BENCH_SON_FILE (default /tmp/kavirel-bench-son-60s.wav) and read
// from the page cache.
#include "sonagram/CSfSon.h"
#include "sonagram/ComputeSonagram.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/OpenHead.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfItems.h"
#include "spectrum/MagnitudeSpectrum.h"
#include "spectrum/WindowFunction.h"

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

struct QuietDesktop : DesktopServices {
    void SetInfoText(const std::string&) override {}
    void ShowMessage(const std::string&, MessageIcon) override {}
    bool AskRawFormat(const std::string&, RawFormat&) override { return false; }
};

void PutLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A gliding tone over noise, so that every column has a spectrum to sort.
std::string BenchFile() {
    const char* env = std::getenv("KAVIREL_BENCH_SON_FILE");
    const std::string path = env ? env : "/tmp/kavirel-bench-son-60s.wav";
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && st.st_size == 44 + int64_t(kFrames) * 2)
        return path;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    PutLe32(h + 4, 36 + kFrames * 2);
    PutLe32(h + 16, 16);
    h[20] = 1;
    h[22] = 1;
    PutLe32(h + 24, kRate);
    PutLe32(h + 28, kRate * 2);
    h[32] = 2;
    h[34] = 16;
    std::memcpy(h + 36, "data", 4);
    PutLe32(h + 40, kFrames * 2);
    std::fwrite(h, 1, sizeof h, f);
    std::vector<int16_t> samples(kFrames);
    uint32_t seed = 1;
    double phase = 0.0;
    for (uint32_t t = 0; t < kFrames; ++t) {
        seed = seed * 1664525u + 1013904223u;
        phase += 2.0 * M_PI * (200.0 + 4000.0 * t / kFrames) / kRate;
        samples[t] = int16_t(8000.0 * std::sin(phase) + double(int32_t(seed) >> 22));
    }
    std::fwrite(samples.data(), 2, samples.size(), f);
    std::fclose(f);
    return path;
}

struct BenchHead {
    CSfHead head;
    BenchHead() {
        head.Info().path = BenchFile();
        QuietDesktop desktop;
        if (!OpenAndRecognise(head.Info(), desktop))
            std::abort();
        head.Info().task.start = 0;
        head.Info().task.end = kFrames;
    }
};

CSfHead& Head() {
    static BenchHead file;
    return file.head;
}

void BM_Sonagram(benchmark::State& state) {
    SetScreenWidth(1024); // W = 512
    SfFftParam settings;
    settings.Lfft = int32_t(state.range(0));
    settings.Lwdw = settings.Lfft;
    settings.IWin = 4;
    settings.Range = 70;
    settings.Fmax = 8000.0f;
    const auto son = CSfSon::Create(Head(), settings);
    QuietDesktop desktop;
    SonagramCells cells;
    for (auto _ : state) {
        if (ComputeSonagram(*son, cells, desktop) != SonagramOutcome::Computed)
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
