// Painting the head window of a one-hour stereo file and a waveform window of a
// ten-minute range at 1920 x 1080, with and without the cached plot. The file
// is made once as $KAVIREL_BENCH_HOUR_FILE (default /tmp/kavirel-bench-1h.wav).
#include "app/shell/CProjectTree.h"
#include "app/shell/CSfApp.h"
#include "resources/CommandIds.h"
#include "soundfile/SfItems.h"
#include "waveform/ui/CHeadWnd.h"

#include "BenchWav.h"
#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kFrames = kRate * 3600;

std::string HourFile() {
    const std::string path = BenchPath("KAVIREL_BENCH_HOUR_FILE", "/tmp/kavirel-bench-1h.wav");
    if (BenchFileReady(path, 44 + int64_t(kFrames) * 4))
        return path;
    FILE* f = CreateBenchWav(path, 2, kRate, kFrames);
    // Speech-like bursts: a tone whose loudness swells every few seconds.
    std::vector<int16_t> block(2 * kRate);
    for (uint32_t second = 0; second < 3600; ++second) {
        for (uint32_t i = 0; i < kRate; ++i) {
            const double t = second + double(i) / kRate;
            const double level = 0.5 + 0.5 * std::sin(t * 1.7);
            block[2 * i] = int16_t(12000 * level * std::sin(t * 2 * M_PI * 220));
            block[2 * i + 1] = int16_t(6000 * level * std::sin(t * 2 * M_PI * 330));
        }
        std::fwrite(block.data(), 2, block.size(), f);
    }
    std::fclose(f);
    return path;
}

struct Program {
    QTemporaryDir config;
    std::unique_ptr<CSfApp> app;
    QWidget* waveform = nullptr;

    Program() {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        app = std::make_unique<CSfApp>(QStringList{"kavirel", QString::fromStdString(HourFile())});
        CSfHead* head = app->Tree()->CurrentHead();
        head->Info().task.start = 0;
        head->Info().task.end = kRate * 600;
        app->InsertItem(InsertRequest::Waveform, head);
        waveform = qobject_cast<QWidget*>(
            app->Tree()->ItemOf(app->Tree()->topLevelItem(0)->child(0))->GetWindow());
        waveform->resize(1920, 1080);
        app->HeadWindow()->resize(1920, 1080);
    }
};

Program& TheProgram() {
    static Program program;
    return program;
}

void Paint(benchmark::State& state, QWidget* window, bool newSize) {
    QPixmap target(window->size());
    int i = 0;
    for (auto _ : state) {
        if (newSize) {
            // A one-pixel change of size draws the plot afresh.
            state.PauseTiming();
            window->resize(1920 - (++i & 1), 1080);
            state.ResumeTiming();
        }
        window->render(&target);
    }
}

void BM_HeadWindowCached(benchmark::State& state) {
    Paint(state, TheProgram().app->HeadWindow(), false);
}
void BM_HeadWindowFresh(benchmark::State& state) {
    Paint(state, TheProgram().app->HeadWindow(), true);
}
void BM_WaveformCached(benchmark::State& state) {
    Paint(state, TheProgram().waveform, false);
}
void BM_WaveformFresh(benchmark::State& state) {
    Paint(state, TheProgram().waveform, true);
}

} // namespace

BENCHMARK(BM_HeadWindowCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeadWindowFresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveformCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveformFresh)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheProgram().app.reset();
    return 0;
}
