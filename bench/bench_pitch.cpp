// The pitch of ten minutes of 44.1 kHz mono with the default parameters (75 to
// 600 Hz, a frame every 10 ms): from the file, as kavirel-cli pitch runs it,
// and from samples already in memory, the tracker alone.
// The file is made once as $KAVIREL_BENCH_PITCH_FILE
// (default /tmp/kavirel-bench-pitch-10min.wav) and is read from the page cache.
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "spectrum/PitchTracker.h"

#include "BenchWav.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr uint32_t kFrames = 10u * 60u * kRate;
constexpr double kPi = 3.14159265358979323846;

// A voice whose pitch wanders between 90 and 270 Hz every few seconds and
// rests for a fifth of each two seconds: pulses with a sharp closure, as the
// glottis makes, over a little noise.
std::string BenchFile() {
    uint32_t seed = 1;
    double phase = 0.0;
    return MonoBenchFile(
        BenchPath("KAVIREL_BENCH_PITCH_FILE", "/tmp/kavirel-bench-pitch-10min.wav"), kRate, kFrames,
        [&](uint32_t t) {
            seed = seed * 1664525u + 1013904223u;
            const double s = double(t) / kRate;
            phase += (180.0 + 90.0 * std::sin(2.0 * kPi * s / 7.0)) / kRate;
            const double p = phase - std::floor(phase);
            const bool voiced = std::fmod(s, 2.0) < 1.6;
            const double pulse = voiced && p < 0.6 ? std::sin(kPi * p / 0.6) : 0.0;
            return int16_t(12000.0 * pulse * pulse + int(seed >> 23) - 256);
        });
}

const SfInfo& Info() {
    static CSfHead* head = OpenBenchHead(BenchFile(), kFrames).release();
    return head->Info();
}

void FileRun(benchmark::State& state) {
    const SfInfo& info = Info();
    for (auto _ : state) {
        const PitchContour contour = TrackFilePitch(info, 0, info.frames, 0, {});
        if (contour.f0.empty())
            state.SkipWithError("no frames");
        benchmark::DoNotOptimize(contour.f0.data());
    }
}

void MemoryRun(benchmark::State& state) {
    const SfInfo& info = Info();
    std::vector<float> samples(info.frames);
    ReadSamples(info, samples.data(), info.frames, 0, 0);
    for (auto _ : state) {
        const PitchContour contour = TrackPitch(samples.data(), samples.size(), kRate, {});
        benchmark::DoNotOptimize(contour.f0.data());
    }
}

} // namespace

BENCHMARK(FileRun)->Name("Pitch/10min-file")->Unit(benchmark::kMillisecond);
BENCHMARK(MemoryRun)->Name("Pitch/10min-memory")->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
