// The sonagram window on one minute of a 44.1 kHz mono file at the default
// sonagram settings on a 1920-pixel screen (960 columns of 1024 points up to
// 8 kHz): opening it (computation, image and first paint), a full repaint at
// 1920 x 1080, a repaint at a new size, and the repaint after a cursor key or
// a selection key, which touches only the strips that changed. The file is
// made once as $KAVIREL_BENCH_MINUTE_FILE (default /tmp/kavirel-bench-1min.wav).
#include "sonagram/CSfSon.h"
#include "sonagram/ui/CSonDoc.h"
#include "sonagram/ui/CSonFrm.h"
#include "sonagram/ui/CSonScrollView.h"
#include "sonagram/ui/SonagramWindows.h"
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
constexpr uint32_t kFrames = kRate * 60;

std::string MinuteFile() {
    // A voice-like tone with harmonics whose pitch glides, and a little noise.
    double phase = 0;
    uint32_t noise = 1;
    return MonoBenchFile(BenchPath("KAVIREL_BENCH_MINUTE_FILE", "/tmp/kavirel-bench-1min.wav"),
                         kRate, kFrames, [&](uint32_t frame) {
                             const double t = frame / kRate + double(frame % kRate) / kRate;
                             phase += 2 * M_PI * (180 + 60 * std::sin(t * 0.7)) / kRate;
                             noise = noise * 1664525u + 1013904223u;
                             return int16_t(6000 * std::sin(phase) + 3000 * std::sin(2 * phase) +
                                            1500 * std::sin(3 * phase) + int(noise >> 24) - 128);
                         });
}

struct Bench {
    FakeViewServices services;
    Bench() { services.screenWidth = 1920; }
    std::unique_ptr<CSfHead> head = OpenBenchHead(MinuteFile(), kFrames);
};

Bench& TheBench() {
    static Bench bench;
    return bench;
}

struct Window {
    std::unique_ptr<CSfBase> item;
    std::unique_ptr<CSonFrm> frame;
    CSonScrollView* view = nullptr;

    Window() {
        Bench& b = TheBench();
        item = MakeSonagramItem(*b.head, b.services.settings);
        view = new CSonScrollView(b.services,
                                  std::make_unique<CSonDoc>(static_cast<CSfSon*>(item.get())));
        frame = std::make_unique<CSonFrm>(b.services, view);
        // The image pane gets 1920 x 1080 of it.
        frame->resize(1920, 1350);
        frame->show();
    }
};

void BM_OpenSonagramWindow(benchmark::State& state) {
    // The window system's backing store is not the window's to make.
    QPixmap target(1920, 1080);
    for (auto _ : state) {
        Window w;
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
    state.counters["width"] = w.view->width();
    state.counters["height"] = w.view->height();
}

// A repaint at a new size: the image stretched afresh with its scales, as
// after a resize or Window > Tile.
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
// the old and new cursor line or selection edge.
void KeyRepaint(benchmark::State& state, Qt::KeyboardModifiers modifiers) {
    Window w;
    QPixmap target(w.view->size());
    w.view->render(&target);
    QKeyEvent click(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
    QApplication::sendEvent(w.view, &click);
    const int h = w.view->height();
    int x = 28;
    int i = 0;
    for (auto _ : state) {
        // Right and back, so that the cursor or edge never reaches the end.
        const bool right = (++i & 1) != 0;
        QKeyEvent press(QEvent::KeyPress, right ? Qt::Key_Right : Qt::Key_Left, modifiers);
        QApplication::sendEvent(w.view, &press);
        const int before = x;
        x += right ? 1 : -1;
        w.view->render(&target, QPoint(), QRegion(before, 0, 1, h) + QRegion(x, 0, 1, h));
    }
}

void BM_CursorKeyRepaint(benchmark::State& state) {
    KeyRepaint(state, Qt::NoModifier);
}

void BM_SelectionKeyRepaint(benchmark::State& state) {
    KeyRepaint(state, Qt::ShiftModifier);
}

} // namespace

BENCHMARK(BM_OpenSonagramWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewSizeRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CursorKeyRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectionKeyRepaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
