#include "spectrum/SpectrumPeaks.h"

namespace {

SpectrumPeak PeakAt(const std::vector<float>& spectrum, int bin, double binWidthHz) {
    return {bin, (bin + ParabolicOffset(spectrum, bin)) * binWidthHz, spectrum[bin]};
}

} // namespace

std::vector<SpectrumPeak> ListSpectrumPeaks(const std::vector<float>& spectrum,
                                            const BinRange& bins, float threshold,
                                            double binWidthHz, int count) {
    std::vector<SpectrumPeak> peaks;
    int at = bins.i0;
    while (count <= 0 || static_cast<int>(peaks.size()) < count) {
        const auto next = FindSpectrumPeak(spectrum, bins, at, 1, threshold);
        if (!next)
            break;
        peaks.push_back(PeakAt(spectrum, *next, binWidthHz));
        at = *next;
    }
    return peaks;
}

std::optional<SpectrumPeak> HighestSpectrumPeak(const std::vector<float>& spectrum,
                                                const BinRange& bins, float threshold,
                                                double binWidthHz) {
    std::optional<SpectrumPeak> best;
    for (const SpectrumPeak& peak : ListSpectrumPeaks(spectrum, bins, threshold, binWidthHz))
        if (!best || peak.level > best->level)
            best = peak;
    return best;
}
