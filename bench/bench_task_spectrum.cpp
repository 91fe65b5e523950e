// The averaged spectrum of ten minutes of 44.1 kHz mono (Lfft 2048, Shift
// 2048, Blackman, dB), as a spectrum window computes it on opening, against a
// bare loop that only reads the same frames and runs the same FFTW transform
// on each. The ratio of the two is printed after the table.
// The file is made once as $KAVIREL_BENCH_SPECTRUM_FILE
// (default /tmp/kavirel-bench-10min.wav) and is read from the page cache.
#include "soundfile/AnalysisThreads.h"
#include "soundfile/CSfSettings.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/MemoryStore.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfItems.h"
#include "spectrum/CSfFft.h"
#include "spectrum/TaskSpectrum.h"

#include "BenchRatio.h"
#include "BenchWav.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr uint32_t kFrames = 10u * 60u * kRate;
constexpr int kLfft = 2048;
constexpr double kPi = 3.14159265358979323846;

// Speech-like material: a few drifting tones over noise, 16-bit mono.
std::string BenchFile() {
    uint32_t seed = 1;
    return MonoBenchFile(BenchPath("KAVIREL_BENCH_SPECTRUM_FILE", "/tmp/kavirel-bench-10min.wav"),
                         kRate, kFrames, [&](uint32_t t) {
                             seed = seed * 1664525u + 1013904223u;
                             const double s = double(t) / kRate;
                             const double tone =
                                 6000 * std::sin(2 * kPi * (180 + 20 * std::sin(s)) * s) +
                                 3000 * std::sin(2 * kPi * 1230 * s);
                             return int16_t(tone + int(seed >> 21) - 1024);
                         });
}

CSfHead& Head() {
    static CSfHead* head = OpenBenchHead(BenchFile(), kFrames - kLfft).release();
    return *head;
}

// The argument is the number of threads, 0 for every core.
void TaskSpectrumRun(benchmark::State& state) {
    SetAnalysisThreads(int(state.range(0)));
    CSfHead& head = Head();
    MemoryStore store;
    CSfSettings settings(store); // Lfft 2048, Shift 2048, Blackman, dB
    QuietDesktop desktop;
    for (auto _ : state) {
        CSfFft item(head, settings);
        if (ComputeTaskSpectrum(item, desktop, 1024) != SpectrumOutcome::Computed)
            state.SkipWithError("nothing computed");
        benchmark::DoNotOptimize(item.Param().results.spectrum->data());
    }
}

// The same frames read and transformed, nothing else: no window, no levels,
// no sums, no envelope.
void BareLoopRun(benchmark::State& state) {
    const SfInfo& info = Head().Info();
    float* frame = fftwf_alloc_real(kLfft);
    fftwf_complex* bins = fftwf_alloc_complex(kLfft / 2 + 1);
    const fftwf_plan plan = fftwf_plan_dft_r2c_1d(kLfft, frame, bins, FFTW_ESTIMATE);
    const uint32_t end = info.task.end;
    for (auto _ : state) {
        for (uint32_t position = 0; position < end; position += kLfft) {
            ReadSamples(info, frame, kLfft, position, 0);
            fftwf_execute(plan);
        }
        benchmark::DoNotOptimize(bins);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(bins);
    fftwf_free(frame);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("TaskSpectrum/average", TaskSpectrumRun)
        ->Arg(1)
        ->Arg(0)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BareLoop/read+fftw", BareLoopRun)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter("TaskSpectrum/average", "BareLoop/read+fftw",
                           "Averaged spectrum over the bare loop");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
