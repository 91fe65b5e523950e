#include "spectrum/FramePane.h"

#include "drawing/NoteText.h"
#include "drawing/NumberText.h"
#include "drawing/TimeText.h"
#include "spectrum/ZeroCrossings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

int HeldCount(const SfFftParam& p) {
    return p.results.samples
               ? static_cast<int>(std::min<size_t>(p.results.samples->size(), 1u << 30))
               : 0;
}

// A sample value as the integer it was read from; floats of 4-byte samples
// may lie just beyond the 32-bit range.
int32_t SampleWord(float v) {
    if (std::isnan(v))
        return 0;
    return static_cast<int32_t>(std::clamp(static_cast<double>(v), -2147483648.0, 2147483647.0));
}

const float* Values(const SfFftParam& p) {
    return p.results.samples ? p.results.samples->data() : nullptr;
}

float SampleAt(const SfFftParam& p, int index) {
    return index >= 0 && index < HeldCount(p) ? (*p.results.samples)[index] : 0.0f;
}

double Seconds(double frames, const SfInfo& info) {
    return info.rate > 0 ? frames / info.rate : 0.0;
}

std::string Printed(const char* format, int a, int b = 0, int c = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

std::string Fundamental(const SfInfo& info, const SfFftParam& p, const FrameNoteNames& names) {
    const int count = FrameCursorCount(p);
    const auto period = MeanPeriod(Values(p), count);
    if (!period)
        return "\r\nWAV\r\nZeroCrossF0: no period found\r\n";
    const double f0 = info.rate / *period;
    return "\r\nWAV\r\nZeroCrossF0=" + PrintG(f0) + "Hz, " +
           NoteText(f0, names.referenceHz, names.notation) + "\r\n";
}

std::string Period(const SfInfo& info, const SfFftParam& p, const FrameCursor& cursor,
                   const FrameNoteNames& names) {
    const int c = cursor.index;
    const int m = cursor.mark;
    const double distance = cursor.mode == 2
                                ? CrossingDistance(Values(p), FrameCursorCount(p), m, c)
                                : static_cast<double>(c) - m;
    const double hz = c == m || distance == 0 ? 0.0 : info.rate / distance;
    const double s0 = p.start;
    const float value = SampleAt(p, c);
    return Printed("\r\nWAV[%04d] ", c) + FormatSeconds(Seconds(c + s0, info), 0) +
           Printed("\r\n[%08x] ", static_cast<int>(SampleWord(value))) + PrintG(value) + "p" +
           Printed("\r\n[%d-%d=%d]\r\n", m, c, c - m) + PrintG(Seconds(m + s0, info)) + "s-" +
           PrintG(Seconds(c + s0, info)) + "s=" + PrintG(hz) + "Hz, " +
           NoteText(hz, names.referenceHz, names.notation);
}

std::string RangeTime(const SfInfo& info, const SfFftParam& p, int index) {
    const int count = std::max(FrameCursorCount(p), 1);
    const double span = static_cast<double>(p.end) - p.start;
    return "\r\nWAV " + FormatSeconds(Seconds(span / count * index + p.start, info), 0);
}

} // namespace

bool IsInstant(const SfFftParam& p) {
    return p.start == p.end;
}

int FrameDrawCount(const SfFftParam& p, int screenWidth) {
    const int twice = 2 * std::max(screenWidth, 0);
    const int wanted = IsInstant(p) ? std::min(twice, p.Lfft) : twice;
    return std::clamp(wanted, 0, HeldCount(p));
}

int FrameCursorCount(const SfFftParam& p) {
    return std::clamp(p.Lfft, 0, HeldCount(p));
}

float FrameAmplitude(const SfFftParam& p, int drawCount) {
    const float g = PeakAbs(Values(p), std::clamp(drawCount, 0, HeldCount(p)));
    return g > 0 ? g : 1.0f;
}

double PercentTop(float amplitude, int bytesPerSample) {
    return amplitude * 100.0 / std::ldexp(1.0, 8 * std::clamp(bytesPerSample, 1, 4) - 1);
}

int FrameCursorX(const PlotRect& plot, int count, int index) {
    if (count <= 0)
        return plot.left;
    return TruncatedHeld((static_cast<double>(plot.right) - plot.left) / count * index) + plot.left;
}

int FrameIndexAt(const PlotRect& plot, int count, int x, int y) {
    if (count <= 0 || x < plot.left || x >= plot.right || y < plot.top || y >= plot.bottom)
        return -1;
    const double perPixel = static_cast<double>(count) / (plot.right - plot.left);
    return std::clamp(TruncatedHeld(perPixel * (x - plot.left) + 0.5), 0, count - 1);
}

int FramePlaybackX(const PlotRect& plot, const SfFftParam& p, double rate, double t) {
    // An instant plays its frame of Lfft frames from start.
    const double span = p.end > p.start ? static_cast<double>(p.end) - p.start : p.Lfft;
    if (!(span > 0))
        return plot.left;
    return TruncatedHeld((static_cast<double>(plot.right) - plot.left) / span *
                         (rate * t - p.start)) +
           plot.left;
}

FrameCursor StepFrameCursor(const FrameCursor& from, FrameKey key, const float* samples,
                            int count) {
    FrameCursor to = from;
    to.mode = 0;
    int& c = to.index;
    switch (key) {
    case FrameKey::End:
        c = count - 1;
        break;
    case FrameKey::Home:
        c = 0;
        break;
    case FrameKey::PreviousCrossing:
        c = PreviousCrossing(samples, count, c);
        to.mode = 2;
        break;
    case FrameKey::NextCrossing:
        c = NextCrossing(samples, count, c);
        to.mode = 2;
        break;
    case FrameKey::Left:
        if (c > 0)
            --c;
        break;
    case FrameKey::Right:
        if (c < count - 1)
            ++c;
        break;
    case FrameKey::Fundamental:
        to.mode = 1;
        break;
    case FrameKey::Mark:
        to.mark = c;
        break;
    }
    // The envelope of a range holds fewer values than Lfft counts.
    c = std::clamp(c, 0, std::max(count - 1, 0));
    return to;
}

std::string FrameClickText(const SfInfo& info, const SfFftParam& p, int index) {
    return ShortPathText(info.path, 25) + Printed("\r\nWAV[%04d] at ", index) +
           PrintG(Seconds(static_cast<double>(p.start) + index, info)) + "s\r\n" +
           PrintG(SampleAt(p, index)) + "p";
}

std::string FrameKeyText(const SfInfo& info, const SfFftParam& p, const FrameCursor& cursor,
                         const FrameNoteNames& names) {
    std::string text;
    if (!IsInstant(p))
        text = RangeTime(info, p, cursor.index);
    else if (cursor.mode == 1)
        text = Fundamental(info, p, names);
    else
        text = Period(info, p, cursor, names);
    return ShortPathText(info.path, 25) + text;
}
