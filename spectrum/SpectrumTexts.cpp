#include "spectrum/SpectrumTexts.h"

#include "drawing/NoteText.h"
#include "drawing/NumberText.h"
#include "drawing/ScaleMath.h"
#include "drawing/TimeText.h"
#include "soundfile/FftScale.h"
#include "spectrum/SpectrumDisplay.h"

#include <cstdio>

namespace {

// The level at bin; a cursor off the array reads silence as 0.
float LevelAt(const SfFftParam& p, int bin) {
    if (!p.results.spectrum || bin < 0 || static_cast<size_t>(bin) >= p.results.spectrum->size())
        return 0.0f;
    return (*p.results.spectrum)[bin];
}

double Seconds(double frames, const SfInfo& info) {
    return info.rate > 0 ? frames / info.rate : 0.0;
}

// printf's "%04d" (integer conversions never depend on the locale).
std::string Bin4(int bin) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "[%04d]", bin);
    return buffer;
}

} // namespace

std::string SpectrumInfoText(const SfInfo& info, const SfFftParam& p, uint32_t yScale,
                             bool peakMode, double referenceHz, int notation) {
    const double f = SpectrumCursorFrequency(p, info.rate, peakMode);
    const bool fullScale = p.LevelRef == kLevelRefFullScale;
    const std::string unit = (yScale & kScaleLog) ? (fullScale ? "dBFS, " : "dB, ") : ", ";
    return ShortPathText(info.path, 25) + "\r\nFFT: " +
           FormatFrames(static_cast<int32_t>(p.start), static_cast<float>(info.rate), 1) + "\r\n" +
           Bin4(p.view.cursorBin) + " " + PrintG(f) + "Hz, " +
           PrintG(LevelAt(p, p.view.cursorBin)) + unit + NoteText(f, referenceHz, notation);
}

std::string SpectrumLogLine(const SfInfo& info, const SfFftParam& p, bool peakMode) {
    return "FFT\t" + info.path + "\t" + std::to_string(p.channel) + "\t" +
           PrintG(Seconds(p.start, info)) + "\t" + PrintG(Seconds(p.end, info)) + "\t" +
           std::to_string(p.Lfft) + "\t" + std::to_string(p.IWin) + "\t" +
           PrintG(SpectrumCursorFrequency(p, info.rate, peakMode)) + "\t" +
           PrintG(LevelAt(p, p.view.cursorBin)) +
           (p.LevelRef == kLevelRefFullScale ? "\tdBFS\n" : "\n");
}

std::string SpectrumShowInfoText(const SfInfo& info, const SfFftParam& p) {
    float lo = 0.0f;
    float hi = 0.0f;
    if (p.results.spectrum && p.Lfft / 2 > 0 &&
        p.results.spectrum->size() >= static_cast<size_t>(p.Lfft / 2) &&
        MinMax(p.results.spectrum->data(), p.Lfft / 2, &lo, &hi)) {
        lo *= 0.99f;
        hi *= 1.01f;
    }
    const double df = p.Lfft > 0 ? static_cast<double>(info.rate) / p.Lfft : 0.0;
    const auto line = [](const char* label, const std::string& value) {
        return std::string("\n") + label + "\t" + value;
    };
    const auto number = [](long long v) { return std::to_string(v); };
    return FileInfoText(info) + "\n" + line("Start:", PrintG(Seconds(p.start, info)) + "s") +
           line("End:", PrintG(Seconds(p.end, info)) + "s") + line("Chan:", number(p.channel)) +
           "\n" + line("Lfft:", number(p.Lfft)) + line("LWdw:", number(p.Lwdw)) +
           line("Shift:", number(p.Shift)) + line("IWin: ", number(p.IWin)) +
           line("Fl:", number(p.Floor)) + line("Ra:", number(p.Range)) +
           line("FMin:", PrintF(p.Fmin)) + line("FMax:", PrintF(p.Fmax)) +
           line("dBmin:", PrintG(lo)) + line("dBmax:", PrintG(hi)) + line("dFreq:", PrintG(df));
}
