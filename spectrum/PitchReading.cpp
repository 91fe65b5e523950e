#include "spectrum/PitchReading.h"

#include "drawing/NoteText.h"
#include "drawing/NumberText.h"
#include "soundfile/SfInfo.h"

#include <algorithm>
#include <cmath>

double PitchNearest(const PitchContour& contour, double seconds) {
    const std::vector<double>& times = contour.times;
    if (times.empty() || contour.f0.size() != times.size())
        return 0.0;
    const auto after = std::lower_bound(times.begin(), times.end(), seconds);
    size_t i = size_t(after - times.begin());
    if (i == times.size() || (i > 0 && seconds - times[i - 1] <= times[i] - seconds))
        --i;
    return contour.f0[i];
}

double PitchAround(const SfInfo& info, uint32_t centre, int channel, const PitchParams& params) {
    if (!(info.rate > 0) || !(params.floor > 0))
        return 0.0;
    // Half of the tracker's frame each side, rounded up: one frame fits.
    const double half = std::ceil(1.5 * info.rate / params.floor);
    const double frames = double(info.frames);
    if (2 * half > frames)
        return 0.0;
    const double start = std::clamp(double(centre) - half, 0.0, frames - 2 * half);
    const PitchContour contour =
        TrackFilePitch(info, uint32_t(start), uint32_t(start + 2 * half), channel, params);
    return PitchNearest(contour, double(centre) / info.rate);
}

std::string PitchText(const char* label, double f0, double reference, int notation) {
    if (!(f0 > 0))
        return std::string(label) + "=unvoiced";
    return std::string(label) + "=" + PrintG(f0) + "Hz, " + NoteText(f0, reference, notation);
}
