// The spectrum window on ten minutes of a 44.1 kHz mono file averaged into
// one spectrum: opening it (computation and first paint), a full repaint at
// 1920 x 1080, and the repaint after a cursor key or a peak jump, which
// touches only the strips of the old and new cursor lines. The file is made
// once as $KAVIREL_BENCH_VOICE_FILE (default /tmp/kavirel-bench-voice-10min.wav).
#include "app/ui/CBaseDoc.h"
#include "spectrum/CSfFft.h"
#include "spectrum/ui/CFftFrm.h"
#include "spectrum/ui/CFftScrollView.h"
#include "spectrum/ui/SpectrumWindows.h"
#include "support/FakeViewServices.h"

#include "BenchWav.h"
#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>

#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kFrames = kRate * 600;

std::string TenMinuteFile() {
    // A voice-like tone with harmonics whose pitch glides slowly.
    double phase = 0;
    return MonoBenchFile(
        BenchPath("KAVIREL_BENCH_VOICE_FILE", "/tmp/kavirel-bench-voice-10min.wav"), kRate, kFrames,
        [&](uint32_t frame) {
            const double t = frame / kRate + double(frame % kRate) / kRate;
            phase += 2 * M_PI * (180 + 40 * std::sin(t * 0.3)) / kRate;
            return int16_t(6000 * std::sin(phase) + 3000 * std::sin(2 * phase) +
                           1500 * std::sin(3 * phase));
        });
}

struct Bench {
    FakeViewServices services;
    std::unique_ptr<CSfHead> head = OpenBenchHead(TenMinuteFile(), kFrames);

    Bench() {
        services.screenWidth = 1920;
        FftSettings& fft = services.settings.Fft();
        fft.Lfft = fft.Lwdw = fft.Shift = 4096;
    }
};

Bench& TheBench() {
    static Bench bench;
    return bench;
}

struct Window {
    std::unique_ptr<CSfBase> item;
    std::unique_ptr<CFftFrm> frame;
    CFftScrollView* view = nullptr;

    Window() {
        Bench& b = TheBench();
        item = MakeSpectrumItem(*b.head, b.services.settings);
        view = new CFftScrollView(b.services, std::make_unique<CBaseDoc>(item.get()));
        frame = std::make_unique<CFftFrm>(b.services, view);
        frame->resize(1920, 1350);
        frame->show();
    }
};

void BM_OpenSpectrumWindow(benchmark::State& state) {
    for (auto _ : state) {
        Window w;
        QPixmap target(w.view->size());
        w.view->render(&target);
        state.PauseTiming();
        w = Window();
        state.ResumeTiming();
    }
}

void BM_FullRepaint(benchmark::State& state) {
    Window w;
    QPixmap target(w.view->size());
    w.view->render(&target);
    for (auto _ : state)
        w.view->render(&target);
}

// A repaint at a new size: the plot, its scales and the curve drawn afresh,
// as after a resize or Window > Tile.
void BM_NewSizeRepaint(benchmark::State& state) {
    Window w;
    QPixmap target(1920, 1350);
    int i = 0;
    for (auto _ : state) {
        w.frame->resize(1920 - (++i & 1), 1350);
        w.view->render(&target);
    }
}

// A key press and the repaint of what it changed: the full-height strips of
// the old and new cursor lines, which is all the key's update() asks for.
void KeyRepaint(benchmark::State& state, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    Window w;
    QPixmap target(w.view->size());
    w.view->render(&target);
    const SfFftParam& p = static_cast<CSfFft&>(*w.item).Param();
    const int h = w.view->height();
    int i = 0;
    for (auto _ : state) {
        const int before = p.view.cursorX;
        QKeyEvent press(QEvent::KeyPress, (++i & 1) ? key : Qt::Key_Home, modifiers);
        QApplication::sendEvent(w.view, &press);
        const QRegion strips = QRegion(before, 0, 1, h) + QRegion(p.view.cursorX, 0, 1, h);
        w.view->render(&target, QPoint(), strips);
    }
}

void BM_CursorKeyRepaint(benchmark::State& state) {
    KeyRepaint(state, Qt::Key_Right, Qt::NoModifier);
}

void BM_PeakJumpRepaint(benchmark::State& state) {
    KeyRepaint(state, Qt::Key_Right, Qt::ControlModifier);
}

} // namespace

BENCHMARK(BM_OpenSpectrumWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewSizeRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CursorKeyRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakJumpRepaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
