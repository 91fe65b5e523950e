// MagnitudeSpectrum against a bare FFTW real transform of the same length, at
// 2^15 points (the longest frame FFTW does for the spectrum) and 2^20 points
// (the longest Lfft, done by the radix-2 transform). Every run first refills
// its frame, as the sonagram reads each column anew, so the ratios compare the
// whole per-frame cost with the transform alone. After the table the ratios to
// the bare transform are printed (medians when run with repetitions).
#include "spectrum/MagnitudeSpectrum.h"
#include "spectrum/RadixFft.h"
#include "spectrum/TolqFft.h"
#include "spectrum/WindowFunction.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kShortFrame = 1 << 15;
constexpr int kLongFrame = 1 << 20;

// Noise of 16-bit sample values under a Hanning window.
std::vector<float> Frame(int n) {
    std::vector<float> window(n);
    MakeWindow(window.data(), n, n, kWindowHanning);
    std::mt19937 engine(1);
    std::uniform_real_distribution<float> sample(-32768.0f, 32767.0f);
    std::vector<float> frame(n);
    for (int i = 0; i < n; ++i) {
        frame[i] = sample(engine) * window[i];
    }
    return frame;
}

void MagnitudeSpectrumRun(benchmark::State& state, int n, bool decibels) {
    const std::vector<float> frame = Frame(n);
    std::vector<float> buffer(n);
    for (auto _ : state) {
        std::copy(frame.begin(), frame.end(), buffer.begin());
        MagnitudeSpectrum(buffer.data(), n, decibels);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}

void BareFftwRun(benchmark::State& state, int n, unsigned flags) {
    float* input = fftwf_alloc_real(static_cast<std::size_t>(n));
    fftwf_complex* bins = fftwf_alloc_complex(static_cast<std::size_t>(n) / 2 + 1);
    // Planned before the frame is filled: FFTW_MEASURE overwrites its arrays.
    const fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, input, bins, flags);
    const std::vector<float> frame = Frame(n);
    for (auto _ : state) {
        std::copy(frame.begin(), frame.end(), input);
        fftwf_execute(plan);
        benchmark::DoNotOptimize(bins);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(bins);
    fftwf_free(input);
}

void CfastRun(benchmark::State& state, int n) {
    const std::vector<float> frame = Frame(n);
    std::vector<float> buffer(n);
    for (auto _ : state) {
        std::copy(frame.begin(), frame.end(), buffer.begin());
        cfast(buffer.data(), n);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
}

void RadixRun(benchmark::State& state, int n) {
    const std::vector<float> frame = Frame(n);
    std::vector<float> re(n);
    std::vector<float> im(n);
    for (auto _ : state) {
        std::copy(frame.begin(), frame.end(), re.begin());
        std::fill(im.begin(), im.end(), 0.0f);
        ForwardFft(re.data(), im.data(), n);
        benchmark::DoNotOptimize(re.data());
        benchmark::DoNotOptimize(im.data());
        benchmark::ClobberMemory();
    }
}

std::string Name(const char* what, int n, const char* how) {
    return std::string(what) + "/" + std::to_string(n) + "/" + how;
}

// The console table, then each run's time over the bare FFTW transform
// (planned with FFTW_ESTIMATE, as the program plans) of its length.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the median, reported after the single runs, wins.
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!run.error_occurred && (run.run_type == Run::RT_Iteration || median)) {
                microseconds_[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nTime per transform over the bare FFTW transform of the same length:\n");
        for (const auto& [name, time] : microseconds_) {
            for (int n : {kShortFrame, kLongFrame}) {
                const auto bare = microseconds_.find(Name("BareFftw", n, "estimate"));
                const std::string length = "/" + std::to_string(n) + "/";
                if (bare != microseconds_.end() && name.find(length) != std::string::npos) {
                    std::printf("  %-36s %10.1f us  x %.2f\n", name.c_str(), time,
                                time / bare->second);
                }
            }
        }
    }

private:
    std::map<std::string, double> microseconds_;
};

} // namespace

int main(int argc, char** argv) {
    for (int n : {kShortFrame, kLongFrame}) {
        benchmark::RegisterBenchmark(Name("MagnitudeSpectrum", n, "linear").c_str(),
                                     MagnitudeSpectrumRun, n, false)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(Name("MagnitudeSpectrum", n, "dB").c_str(),
                                     MagnitudeSpectrumRun, n, true)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(Name("BareFftw", n, "estimate").c_str(), BareFftwRun, n,
                                     FFTW_ESTIMATE)
            ->Unit(benchmark::kMicrosecond);
    }
    // What planning by measurement would buy; not worth its planning time.
    benchmark::RegisterBenchmark(Name("BareFftw", kShortFrame, "measure").c_str(), BareFftwRun,
                                 kShortFrame, FFTW_MEASURE)
        ->Unit(benchmark::kMicrosecond);
    // The transforms alone, to show where MagnitudeSpectrum spends its time.
    benchmark::RegisterBenchmark(Name("cfast", kShortFrame, "alone").c_str(), CfastRun, kShortFrame)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(Name("ForwardFft", kLongFrame, "alone").c_str(), RadixRun,
                                 kLongFrame)
        ->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
