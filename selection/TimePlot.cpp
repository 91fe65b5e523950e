#include "selection/TimePlot.h"

#include "drawing/ScaleMath.h"

#include <algorithm>
#include <cmath>

namespace {

// The pixels that frames (counted from the range start) span.
double PixelsOfFrames(const TimePlot& plot, double frames) {
    if (plot.scaling == TimeScaling::WholeFirst)
        return frames * plot.width / plot.length;
    return frames * (double(plot.width) / plot.length);
}

// The frames that pixels (counted from the plot's left edge) span.
double FramesOfPixels(const TimePlot& plot, int pixels) {
    if (plot.scaling == TimeScaling::WholeFirst)
        return double(pixels) * plot.length / plot.width;
    return double(plot.length) / plot.width * pixels;
}

uint32_t HeldInRange(const TimePlot& plot, double frame) {
    return uint32_t(std::clamp(frame, double(plot.start), double(plot.start) + plot.length));
}

} // namespace

int TruncatedPixelOfFrame(const TimePlot& plot, double frame) {
    if (plot.length == 0)
        return plot.left;
    return TruncatedHeld(PixelsOfFrames(plot, frame - plot.start)) + plot.left;
}

int NearestPixelOfFrame(const TimePlot& plot, double frame) {
    if (plot.length == 0)
        return plot.left;
    return TruncatedHeld(std::floor(PixelsOfFrames(plot, frame - plot.start) + 0.5)) + plot.left;
}

uint32_t TruncatedFrameOfPixel(const TimePlot& plot, int x) {
    if (plot.width <= 0)
        return plot.start;
    return HeldInRange(plot, FramesOfPixels(plot, x - plot.left) + plot.start);
}

uint32_t NearestFrameOfPixel(const TimePlot& plot, int x) {
    if (plot.width <= 0)
        return plot.start;
    return HeldInRange(plot, std::floor(FramesOfPixels(plot, x - plot.left) + plot.start + 0.5));
}

int PlaybackPixel(const TimePlot& plot, double rate, double position) {
    if (plot.length == 0)
        return plot.left;
    return TruncatedHeld(double(plot.width) / plot.length * (rate * position - plot.start)) +
           plot.left;
}
