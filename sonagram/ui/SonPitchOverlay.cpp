#include "sonagram/ui/SonPitchOverlay.h"

#include "drawing/ui/PlotPrimitives.h"
#include "drawing/ui/ScaleDrawing.h"
#include "drawing/ui/TickRuns.h"
#include "sonagram/SonRecords.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SfInfo.h"
#include "spectrum/PitchReading.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Runs of voiced frames are lines this wide; a voiced frame alone a square.
constexpr int kLineWidth = 2;
constexpr int kDotWidth = 3;

} // namespace

QColor PitchColour() {
    return QColor(230, 0, 0);
}

void SonPitchOverlay::Toggle(const SfInfo& info, const SonRange& range, DesktopServices& desktop) {
    shown_ = !shown_;
    if (!shown_ || tracked_)
        return;
    const WaitCursor wait(desktop);
    contour_ = TrackFilePitch(info, range.start, range.end, range.channel, params_);
    tracked_ = true;
}

double SonPitchOverlay::Highest(double rate) const {
    return std::min(params_.ceiling, rate / 2);
}

void SonPitchOverlay::Draw(QPainter& painter, const PlotRect& plot, const SonRange& range,
                           double rate) const {
    const float lowest = float(Lowest());
    const float highest = float(Highest(rate));
    const int width = plot.right - plot.left;
    if (range.length == 0 || !UsableRange(lowest, highest) || width <= 0)
        return;
    const double xScale = width / double(range.length);
    const double yScale = AxisScale(plot.bottom - plot.top, lowest, highest);
    const auto at = [&](size_t i) {
        const double frame = contour_.times[i] * rate - range.start;
        return PlotPoint{plot.left + TruncatedHeld(frame * xScale),
                         plot.bottom - 1 - PixelOffset(float(contour_.f0[i]), lowest, yScale)};
    };
    const QPen line(PitchColour(), kLineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const StrokePen dot{PitchColour(), kDotWidth};
    const size_t n = std::min(contour_.times.size(), contour_.f0.size());
    std::vector<PlotPoint> run;
    for (size_t i = 0; i <= n; ++i) {
        if (i < n && contour_.f0[i] > 0) {
            run.push_back(at(i));
            continue;
        }
        if (run.size() == 1)
            Dot(painter, dot, run[0].x, run[0].y);
        else
            DrawCurve(painter, run, line, plot);
        run.clear();
    }
    DrawInnerRightYScale(InnerYScale{painter, plot, lowest, highest, "%g", PitchColour()});
}

std::string SonPitchOverlay::InfoLine(double seconds, double reference, int notation) const {
    return PitchText("F0", PitchNearest(contour_, seconds), reference, notation);
}
