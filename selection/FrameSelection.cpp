#include "selection/FrameSelection.h"

#include "soundfile/SfInfo.h"

using namespace TaskFlags;

void PixelsOfFrames(const FrameSelection& frames, const TimePlot& plot, Selection& pixels) {
    pixels.left = NearestPixelOfFrame(plot, frames.start);
    pixels.right = NearestPixelOfFrame(plot, frames.end);
    pixels.cursor = NearestPixelOfFrame(plot, frames.cursor);
}

void FramesOfEdit(const Selection& pixels, const TimePlot& plot, FrameSelection& frames) {
    if (pixels.flags & kCursorMoved) {
        frames.cursor = NearestFrameOfPixel(plot, pixels.cursor);
        frames.start = frames.end = frames.cursor;
    } else if (pixels.flags & kChanged) {
        frames.start = NearestFrameOfPixel(plot, pixels.left);
        frames.end = NearestFrameOfPixel(plot, pixels.right);
    }
}
