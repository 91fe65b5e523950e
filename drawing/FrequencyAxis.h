// Frequency axes beside the linear one: logarithmic, Bark and musical notes.
// The arithmetic only: where a frequency lies along an axis, the frequency at
// a place on it, and the ticks with their labels.
#pragma once

#include <string>
#include <vector>

enum class FreqAxisKind {
    Linear = 0,
    Log = 1,  // equal distances for equal frequency ratios, octave ticks in Hz
    Bark = 2, // the critical-band rate of hearing, ticks in Bark with Hz beside
    Note = 3, // as Log, with a tick at every C named in the chosen notation
};

// Critical-band rate in Bark of a frequency in Hz, after H. Traunmueller,
// "Analytical expressions for the tonotopic sensory scale", J. Acoust. Soc.
// Am. 88 (1990) 97-100: z = 26.81 f / (1960 + f) - 0.53, without the
// corrections below 2 and above 20.1 Bark, so that the inverse is exact.
double BarkOfHz(double hz);
// Its inverse: f = 1960 (z + 0.53) / (26.28 - z), for z below 26.28.
double HzOfBark(double bark);

struct AxisTick {
    double hz = 0.0;
    double position = 0.0; // 0 at the axis' low end, 1 at its high end
    std::string label;     // beside the axis
    std::string beside;    // a second label, the Hz of a Bark tick; empty else
};

class FrequencyAxis {
public:
    FrequencyAxis(FreqAxisKind kind, double low, double high);

    // The axis over the band low .. high Hz of a transform of lfft points at
    // rate: a log or note axis cannot reach 0 Hz and starts at one bin, at
    // least 20 Hz, where low is below that.
    static FrequencyAxis ForBand(FreqAxisKind kind, double low, double high, double rate, int lfft);

    FreqAxisKind Kind() const { return kind_; }
    double Low() const { return low_; }
    double High() const { return high_; }

    // 0 at Low, 1 at High; outside for frequencies outside the band.
    double Position(double hz) const;
    // The frequency at a position; HzAt(Position(f)) is f.
    double HzAt(double position) const;

    // The ticks inside the band, lowest first: none on a linear axis (it
    // keeps its own scale); octaves of 1 kHz labelled "125", "1k" on a log
    // axis; whole Bark on a Bark axis; every C on a note axis, named for the
    // reference pitch and notation as the note texts are.
    std::vector<AxisTick> Ticks(double referencePitch, int notation) const;

    // The unit the labels are in: "kHz", "Hz", "Bark" or "note".
    const char* Unit() const;

private:
    double Value(double hz) const;
    double HzOfValue(double value) const;

    FreqAxisKind kind_;
    double low_;
    double high_;
};
