#include "spectrum/SpectrumDisplay.h"

#include "soundfile/FftScale.h"

#include <algorithm>
#include <cmath>

namespace {

// The nearest whole pixel, halves away from the plot's origin.
int Rounded(double v) {
    return TruncatedHeld(std::floor(v + 0.5));
}

// The stored integers of a level range; truncated toward zero as the settings
// keep them.
int32_t TruncatedLevel(double v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int32_t>(std::trunc(std::clamp(v, -2e9, 2e9)));
}

double BinWidth(const SfFftParam& p, double rate) {
    return p.Lfft > 0 && rate > 0 ? rate / p.Lfft : 0.0;
}

bool HoldsBins(const FloatArray& values, const BinRange& bins) {
    return values && values->size() >= static_cast<size_t>(bins.i1);
}

double PlotWidth(const PlotRect& r) {
    return static_cast<double>(r.right) - r.left;
}

double PlotHeight(const PlotRect& r) {
    return static_cast<double>(r.bottom) - r.top;
}

// Pixels per Hz of the drawn band; 0 when the band has no width.
double PixelsPerHz(const SfFftParam& p, const PlotRect& plot) {
    const double band = static_cast<double>(p.Fmax) - p.Fmin;
    return band > 0 ? PlotWidth(plot) / band : 0.0;
}

// Pixels per level unit of the levels drawn. A flat range (a silent spectrum
// in Auto) has none: every level then sits on the bottom edge.
double PixelsPerLevel(const SpectrumGeometry& g) {
    const double span = static_cast<double>(g.levels.hi) - g.levels.lo;
    return span != 0 && std::isfinite(span) ? PlotHeight(g.plot) / span : 0.0;
}

bool Inside(const PlotRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

BinRange SpectrumBins(SfFftParam& p, uint32_t xScale, double rate) {
    if (xScale & kScaleAuto) {
        p.Fmin = 0.0f;
        p.Fmax = static_cast<float>(rate * 0.5);
    }
    const double df = BinWidth(p, rate);
    const int half = std::max(p.Lfft / 2, 1);
    int i0 = df > 0 ? TruncatedHeld(p.Fmin / df) : 0;
    int i1 = df > 0 ? TruncatedHeld(p.Fmax / df) : 0;
    // The spectrum holds bins below Lfft/2 only, and a band narrower than one
    // bin still shows that bin: every later division by the bin count is safe.
    i0 = std::clamp(i0, 0, half - 1);
    i1 = std::clamp(i1, i0 + 1, half);
    p.Fmin = static_cast<float>(i0 * df);
    p.Fmax = static_cast<float>(i1 * df);
    return {i0, i1, i1 - i0};
}

LevelRange SpectrumLevels(SfFftParam& p, uint32_t yScale, const BinRange& bins) {
    const bool held = HoldsBins(p.results.spectrum, bins);
    if (yScale & kScaleAuto) {
        float lo = 0.0f;
        float hi = 0.0f;
        if (held && MinMax(p.results.spectrum->data() + bins.i0, bins.count, &lo, &hi)) {
            lo *= 0.99f;
            hi *= 1.01f;
        }
        p.Floor = TruncatedLevel(lo);
        p.Range = TruncatedLevel(hi - lo);
        return {lo, hi};
    }
    if (p.Floor != 0)
        return {static_cast<float>(p.Floor),
                static_cast<float>(static_cast<double>(p.Floor) + p.Range)};
    if (held) {
        std::vector<float>& s = *p.results.spectrum;
        const float top = *std::max_element(s.begin() + bins.i0, s.begin() + bins.i1);
        for (int i = bins.i0; i < bins.i1; ++i)
            s[i] -= top;
    }
    // From now on the levels are fixed, so the values are lowered only once.
    p.Floor = TruncatedLevel(-static_cast<double>(p.Range));
    return {static_cast<float>(p.Floor), 0.0f};
}

SpectrumGeometry LayOutSpectrum(SfFftParam& p, uint32_t xScale, uint32_t yScale, double rate,
                                const PlotRect& plot) {
    SpectrumGeometry g;
    g.plot = plot;
    g.rate = rate;
    g.bins = SpectrumBins(p, xScale, rate);
    g.levels = SpectrumLevels(p, yScale, g.bins);
    g.binHz = BinWidth(p, rate);
    if (xScale & kScaleBark)
        g.xAxis = FreqAxisKind::Bark;
    else if (xScale & kScaleLog)
        g.xAxis = FreqAxisKind::Log;
    return g;
}

FrequencyAxis SpectrumAxis(const SpectrumGeometry& g) {
    const int lfft = g.binHz > 0 ? int(std::lround(g.rate / g.binHz)) : 0;
    return FrequencyAxis::ForBand(g.xAxis, g.bins.i0 * g.binHz, g.bins.i1 * g.binHz, g.rate, lfft);
}

namespace {

bool Linear(const SpectrumGeometry& g) {
    return g.xAxis == FreqAxisKind::Linear || !(g.binHz > 0);
}

// The x pixel of a frequency on a non-linear axis, held inside the plot.
int XOfHz(const SpectrumGeometry& g, const FrequencyAxis& axis, double hz) {
    const double position = std::clamp(axis.Position(std::max(hz, axis.Low())), 0.0, 1.0);
    return TruncatedHeld(position * PlotWidth(g.plot)) + g.plot.left;
}

double HzOfX(const SpectrumGeometry& g, const FrequencyAxis& axis, int x) {
    const double width = PlotWidth(g.plot);
    return axis.HzAt(width > 0 ? (x - g.plot.left) / width : 0.0);
}

} // namespace

std::vector<PlotPoint> SpectrumCurve(const std::vector<float>& values, const SpectrumGeometry& g) {
    if (values.size() < static_cast<size_t>(g.bins.i1))
        return {};
    std::vector<PlotPoint> points(g.bins.count);
    CurveToPoints(points.data(), values.data() + g.bins.i0, g.bins.count, g.plot, g.levels.lo,
                  g.levels.hi);
    if (!Linear(g)) {
        const FrequencyAxis axis = SpectrumAxis(g);
        for (int i = 0; i < g.bins.count; ++i)
            points[size_t(i)].x = XOfHz(g, axis, (g.bins.i0 + i) * g.binHz);
    }
    return points;
}

int SpectrumCursorX(const SpectrumGeometry& g, int bin) {
    if (!Linear(g))
        return XOfHz(g, SpectrumAxis(g), bin * g.binHz);
    return TruncatedHeld(PlotWidth(g.plot) / g.bins.count * (bin - g.bins.i0)) + g.plot.left;
}

std::optional<CursorPlace> PlaceSpectrumCursor(const SpectrumGeometry& g, int x, int y) {
    if (!Inside(g.plot, x, y))
        return std::nullopt;
    if (!Linear(g)) {
        // The bin nearest the frequency under the pointer.
        const double bin = std::floor(HzOfX(g, SpectrumAxis(g), x) / g.binHz + 0.5);
        const int b = int(std::clamp(bin, double(g.bins.i0), double(g.bins.i1 - 1)));
        return CursorPlace{b, SpectrumCursorX(g, b)};
    }
    const double perBin = PlotWidth(g.plot) / g.bins.count;
    const int d = std::min(TruncatedHeld((x - g.plot.left) / perBin), g.bins.count - 1);
    return CursorPlace{g.bins.i0 + d, TruncatedHeld(d * perBin) + g.plot.left};
}

PlotPoint BoxAnchor(const SpectrumGeometry& g, int x, int y) {
    if (Inside(g.plot, x, y))
        return {x, y};
    return {g.plot.left, g.plot.top};
}

std::vector<int> HarmonicMarkXs(const SfFftParam& p, const SpectrumGeometry& g, double f0) {
    std::vector<int> xs;
    if (!(f0 > 0) || !std::isfinite(f0))
        return xs;
    const double sx = PixelsPerHz(p, g.plot);
    const FrequencyAxis axis = SpectrumAxis(g);
    for (int k = 1; k * f0 < p.Fmax; ++k)
        xs.push_back(!Linear(g) ? XOfHz(g, axis, k * f0)
                                : TruncatedHeld((k * f0 - p.Fmin) * sx + 0.5) + g.plot.left);
    return xs;
}

void StoreSpectrumBox(SfFftParam& p, const SpectrumGeometry& g, PlotPoint a, PlotPoint b) {
    const PlotRect& plot = g.plot;
    const int left = std::clamp(std::min(a.x, b.x), plot.left, plot.right);
    const int right = std::clamp(std::max(a.x, b.x), left, plot.right);
    const int top = std::clamp(std::min(a.y, b.y), plot.top, plot.bottom);
    const int bottom = std::clamp(std::max(a.y, b.y), top, plot.bottom);
    const double sx = PixelsPerHz(p, plot);
    const double hzPerPixel = sx > 0 ? 1.0 / sx : 0.0;
    const double sy = PixelsPerLevel(g);
    const double levelPerPixel = sy != 0 ? 1.0 / sy : 0.0;
    if (Linear(g)) {
        p.view.boxFreqLow = static_cast<float>((left - plot.left) * hzPerPixel + p.Fmin);
        p.view.boxFreqHigh = static_cast<float>((right - plot.left) * hzPerPixel + p.Fmin);
    } else {
        const FrequencyAxis axis = SpectrumAxis(g);
        p.view.boxFreqLow = static_cast<float>(HzOfX(g, axis, left));
        p.view.boxFreqHigh = static_cast<float>(HzOfX(g, axis, right));
    }
    p.view.boxLevelLow = static_cast<float>(g.levels.lo + (plot.bottom - bottom) * levelPerPixel);
    p.view.boxLevelHigh = static_cast<float>(g.levels.lo + (plot.bottom - top) * levelPerPixel);
    p.view.viewFlags |= kFftBoxDefined;
}

PlotRect SpectrumBoxPixels(const SfFftParam& p, const SpectrumGeometry& g) {
    const PlotRect& plot = g.plot;
    const double sx = PixelsPerHz(p, plot);
    const double sy = PixelsPerLevel(g);
    if (!Linear(g)) {
        const FrequencyAxis axis = SpectrumAxis(g);
        const auto x = [&](double hz) {
            return Rounded(axis.Position(hz) * PlotWidth(plot)) + plot.left;
        };
        return {
            x(p.view.boxFreqLow), plot.bottom - Rounded((p.view.boxLevelHigh - g.levels.lo) * sy),
            x(p.view.boxFreqHigh), plot.bottom - Rounded((p.view.boxLevelLow - g.levels.lo) * sy)};
    }
    return {Rounded((p.view.boxFreqLow - p.Fmin) * sx) + plot.left,
            plot.bottom - Rounded((p.view.boxLevelHigh - g.levels.lo) * sy),
            Rounded((p.view.boxFreqHigh - p.Fmin) * sx) + plot.left,
            plot.bottom - Rounded((p.view.boxLevelLow - g.levels.lo) * sy)};
}

std::optional<int> FindSpectrumPeak(const std::vector<float>& spectrum, const BinRange& bins, int c,
                                    int direction, float threshold) {
    const int n = static_cast<int>(spectrum.size());
    const auto isPeak = [&](int i) {
        return spectrum[i] > threshold && spectrum[i] > spectrum[i - 1] &&
               spectrum[i] > spectrum[i + 1];
    };
    if (direction < 0) {
        const int last = std::max(bins.i0 + 1, 1);
        for (int i = std::min(c - 1, n - 2); i >= last; --i)
            if (isPeak(i))
                return i;
    } else if (direction > 0) {
        const int last = std::min(bins.i1 - 2, n - 2);
        for (int i = std::max(c + 1, 1); i <= last; ++i)
            if (isPeak(i))
                return i;
    }
    return std::nullopt;
}

double ParabolicOffset(const std::vector<float>& v, int i) {
    const int n = static_cast<int>(v.size());
    if (i <= 0 || i > n - 2)
        return 0.0;
    const double before = v[i - 1];
    const double at = v[i];
    const double after = v[i + 1];
    // Only a bin at least as high as both neighbours and above their mean has
    // a vertex nearby; the test also keeps the denominator away from zero.
    if (before > at || at < after || at <= (before + after) / 2)
        return 0.0;
    return (before - after) / (4 * ((before + after) / 2 - at));
}

double SpectrumCursorFrequency(const SfFftParam& p, double rate, bool peakMode) {
    const double offset = peakMode && p.results.spectrum
                              ? ParabolicOffset(*p.results.spectrum, p.view.cursorBin)
                              : 0.0;
    return (p.view.cursorBin + offset) * BinWidth(p, rate);
}

SpectrumCursor StepSpectrumCursor(const SpectrumCursor& from, SpectrumKey key,
                                  const std::vector<float>& spectrum, const SpectrumGeometry& g) {
    SpectrumCursor to = from;
    const BinRange& b = g.bins;
    switch (key) {
    case SpectrumKey::Left:
        if (to.bin > b.i0)
            --to.bin;
        to.peakMode = false;
        break;
    case SpectrumKey::Right:
        if (to.bin < b.i1 - 1)
            ++to.bin;
        to.peakMode = false;
        break;
    case SpectrumKey::Home:
        to.bin = b.i0;
        to.peakMode = false;
        break;
    case SpectrumKey::End:
        to.bin = b.i1 - 1;
        to.peakMode = false;
        break;
    case SpectrumKey::Up:
        if (to.markerY > g.plot.top)
            to.markerY -= 2;
        break;
    case SpectrumKey::Down:
        if (to.markerY < g.plot.bottom)
            to.markerY += 2;
        break;
    case SpectrumKey::PeakLeft:
    case SpectrumKey::PeakRight: {
        const int direction = key == SpectrumKey::PeakLeft ? -1 : 1;
        if (const auto peak = FindSpectrumPeak(spectrum, b, to.bin, direction, g.levels.lo))
            to.bin = *peak;
        to.peakMode = true;
        break;
    }
    case SpectrumKey::Harmonics:
        to.harmonics = !to.harmonics;
        break;
    }
    return to;
}
