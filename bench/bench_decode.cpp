// Decoding a 10-minute stereo FLAC into its WAV copy, against sox doing the
// same in the same run.
#include "BenchWav.h"

#include "soundfile/Decoder.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

const std::string& FlacPath() {
    static const std::string path = [] {
        const std::string p = BenchPath("KAVIREL_BENCH_FLAC", "/tmp/kavirel-bench-10min.flac");
        struct stat st;
        // Noise under a tone, which FLAC compresses about as well as music.
        if (::stat(p.c_str(), &st) != 0 &&
            std::system(("sox -n -r 44100 -c 2 -b 16 " + p +
                         " synth 600 pinknoise synth 600 sine mix 440 vol 0.5")
                            .c_str()) != 0)
            std::abort();
        return p;
    }();
    return path;
}

void BM_DecodeFlacToWav(benchmark::State& state) {
    const std::string out = "/tmp/kavirel-bench-decoded.wav";
    const std::string& flac = FlacPath();
    QuietDesktop desktop;
    for (auto _ : state) {
        const int fd = ::open(flac.c_str(), O_RDONLY | O_CLOEXEC);
        const DecodeResult r = DecodeToWav(fd, out, desktop);
        ::close(fd);
        if (r.outcome != DecodeOutcome::Decoded)
            state.SkipWithError("decoding failed");
        ::unlink(out.c_str());
    }
}
BENCHMARK(BM_DecodeFlacToWav)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_SoxFlacToWav(benchmark::State& state) {
    const std::string command = "sox " + FlacPath() + " /tmp/kavirel-bench-sox.wav";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("sox failed");
        ::unlink("/tmp/kavirel-bench-sox.wav");
    }
}
BENCHMARK(BM_SoxFlacToWav)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
