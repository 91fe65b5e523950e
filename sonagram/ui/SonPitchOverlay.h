// The pitch contour laid over a sonagram's image: the f0 of the voiced frames
// of the window's range and channel as a red curve, broken where the sound is
// unvoiced, over a scale in Hz inside the image's right edge. The pitch is
// tracked the first time the user shows it, and kept while the window lives.
#pragma once

#include "drawing/ScaleMath.h"
#include "spectrum/PitchTracker.h"

#include <QColor>
#include <string>

class DesktopServices;
class QPainter;
struct SfInfo;
struct SonRange;

// A saturated red, which stands out on every grey of the image.
QColor PitchColour();

class SonPitchOverlay {
public:
    bool Shown() const { return shown_; }
    // Shows the contour, tracking it over range with the wait cursor up if
    // this is its first showing, or hides it.
    void Toggle(const SfInfo& info, const SonRange& range, DesktopServices& desktop);
    const PitchContour& Contour() const { return contour_; }
    // The lowest and highest pitch of the scale: the tracker's floor and
    // ceiling, the ceiling at most half the rate.
    double Lowest() const { return params_.floor; }
    double Highest(double rate) const;

    // The contour and its scale on plot, whose width spans range.
    void Draw(QPainter& painter, const PlotRect& plot, const SonRange& range, double rate) const;
    // "F0=...Hz, note" of the frame nearest seconds, or "F0=unvoiced".
    std::string InfoLine(double seconds, double reference, int notation) const;

private:
    PitchParams params_;
    PitchContour contour_;
    bool tracked_ = false;
    bool shown_ = false;
};
