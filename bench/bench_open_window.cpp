// Opening a 1 GiB 16-bit stereo WAV held in the page cache, with no overview
// cache beside it: in the program (File > Open until the head window has
// painted the overview) against what the command line's overview does (open,
// recognise, build the overview). The ratio of the two is printed after the
// table. The file is made once, as bench_overview makes it.
#include "app/shell/CMainFrame.h"
#include "app/shell/CProjectTree.h"
#include "app/shell/CSfApp.h"
#include "soundfile/Overview.h"
#include "soundfile/OverviewCache.h"
#include "soundfile/TolqDsp.h"
#include "waveform/ui/CHeadWnd.h"

#include "BenchRatio.h"
#include "BenchWav.h"
#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <unistd.h>

namespace {

const std::string& SoundPath() {
    static const std::string path = GigabyteBenchFile(2);
    return path;
}

void ForgetCache() {
    ::unlink(OverviewCachePath(SoundPath()).c_str());
    ::unlink(FallbackCachePath(SoundPath()).c_str());
}

void CommandLineOverview(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ForgetCache();
        state.ResumeTiming();
        SfInfo info;
        info.path = SoundPath();
        QuietDesktop desktop;
        bool fromCache = true;
        if (OpenAndRecognise(info, desktop) != OpenOutcome::Opened ||
            !BuildOverview(info, desktop, 1024, &fromCache) || fromCache)
            state.SkipWithError("no overview computed");
        sfclose(info.handle);
    }
}

void OpenInWindow(benchmark::State& state) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    CSfApp app(QStringList{"kavirel"});
    app.MainFrame()->resize(1280, 800);
    app.SetScreenWidth(1024);
    for (auto _ : state) {
        state.PauseTiming();
        ForgetCache();
        state.ResumeTiming();
        if (!app.OpenHead(QString::fromStdString(SoundPath())))
            state.SkipWithError("not opened");
        CHeadWnd* window = app.HeadWindow();
        QPixmap target(window->size());
        window->render(&target);
        state.PauseTiming();
        app.RemoveItem(app.CurrentHead());
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::RegisterBenchmark("CommandLineOverview", CommandLineOverview)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("OpenInWindow", OpenInWindow)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter("OpenInWindow", "CommandLineOverview",
                           "Opening in the window over the command line's overview");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
