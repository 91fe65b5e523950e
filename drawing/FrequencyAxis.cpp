#include "drawing/FrequencyAxis.h"

#include "drawing/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

// The frequency of the lowest note of octave o on the cent scale of the note
// texts, where every C lies at a multiple of 1200 and A of the reference at
// 15300.
double HzOfC(int octave, double referencePitch) {
    return referencePitch * std::exp2((1200.0 * octave - 15300.0) / 1200.0);
}

std::string OctaveLabel(double hz) {
    if (hz >= 1000.0)
        return PrintG(hz / 1000.0) + "k";
    return PrintG(hz);
}

} // namespace

double BarkOfHz(double hz) {
    return 26.81 * hz / (1960.0 + hz) - 0.53;
}

double HzOfBark(double bark) {
    return 1960.0 * (bark + 0.53) / (26.28 - bark);
}

FrequencyAxis::FrequencyAxis(FreqAxisKind kind, double low, double high)
    : kind_(kind), low_(low), high_(high) {}

FrequencyAxis FrequencyAxis::ForBand(FreqAxisKind kind, double low, double high, double rate,
                                     int lfft) {
    if (kind == FreqAxisKind::Log || kind == FreqAxisKind::Note) {
        const double floor = std::max(20.0, lfft > 0 ? rate / lfft : 20.0);
        // A band that ends below the floor keeps a span of one octave.
        low = std::max(low, std::min(floor, high * 0.5));
    }
    return FrequencyAxis(kind, low, high);
}

double FrequencyAxis::Value(double hz) const {
    switch (kind_) {
    case FreqAxisKind::Log:
    case FreqAxisKind::Note:
        return std::log2(hz);
    case FreqAxisKind::Bark:
        return BarkOfHz(hz);
    case FreqAxisKind::Linear:
        break;
    }
    return hz;
}

double FrequencyAxis::HzOfValue(double value) const {
    switch (kind_) {
    case FreqAxisKind::Log:
    case FreqAxisKind::Note:
        return std::exp2(value);
    case FreqAxisKind::Bark:
        return HzOfBark(value);
    case FreqAxisKind::Linear:
        break;
    }
    return value;
}

double FrequencyAxis::Position(double hz) const {
    const double lo = Value(low_);
    const double span = Value(high_) - lo;
    return span > 0.0 ? (Value(hz) - lo) / span : 0.0;
}

double FrequencyAxis::HzAt(double position) const {
    const double lo = Value(low_);
    return HzOfValue(lo + position * (Value(high_) - lo));
}

std::vector<AxisTick> FrequencyAxis::Ticks(double referencePitch, int notation) const {
    std::vector<AxisTick> ticks;
    if (!(high_ > low_))
        return ticks;
    const auto add = [&](double hz, std::string label, std::string beside) {
        ticks.push_back(AxisTick{hz, Position(hz), std::move(label), std::move(beside)});
    };
    switch (kind_) {
    case FreqAxisKind::Linear:
        break;
    case FreqAxisKind::Log:
        for (int k = int(std::ceil(std::log2(low_ / 1000.0) - 1e-9));; ++k) {
            const double hz = 1000.0 * std::exp2(k);
            if (hz > high_ * (1 + 1e-9))
                break;
            add(hz, OctaveLabel(hz), {});
        }
        break;
    case FreqAxisKind::Bark:
        for (int z = int(std::ceil(BarkOfHz(low_) - 1e-9)); z <= BarkOfHz(high_) + 1e-9; ++z) {
            const double hz = HzOfBark(z);
            add(hz, std::to_string(z), std::to_string(int(std::lround(hz))));
        }
        break;
    case FreqAxisKind::Note: {
        if (!(referencePitch > 0.0))
            break;
        const int offset = notation == 0 ? 8 : 11;
        int octave =
            int(std::ceil((1200.0 * std::log2(low_ / referencePitch) + 15300.0) / 1200.0 - 1e-9));
        for (; HzOfC(octave, referencePitch) <= high_ * (1 + 1e-9); ++octave) {
            const double hz = HzOfC(octave, referencePitch);
            if (hz >= low_ * (1 - 1e-9) && octave > 0)
                add(hz, "C" + std::to_string(octave - offset), {});
        }
        break;
    }
    }
    return ticks;
}

const char* FrequencyAxis::Unit() const {
    switch (kind_) {
    case FreqAxisKind::Log:
        return "Hz";
    case FreqAxisKind::Bark:
        return "Bark";
    case FreqAxisKind::Note:
        return "note";
    case FreqAxisKind::Linear:
        break;
    }
    return "kHz";
}
