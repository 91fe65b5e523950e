#include "support/AnalysisFiles.h"

#include "soundfile/OpenHead.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr long double kPi = 3.141592653589793238462643383279502884L;
}

std::unique_ptr<CSfHead> OpenSamples(const TempDir& dir, const std::vector<int32_t>& values,
                                     uint32_t rate, int channels, int bytesPerSample) {
    WavSpec layout;
    layout.rate = rate;
    layout.channels = uint16_t(channels);
    layout.bytesPerSample = uint16_t(bytesPerSample);
    static int serial = 0;
    auto head = std::make_unique<CSfHead>();
    head->Info().path = dir.Write("s" + std::to_string(++serial) + ".wav",
                                  MakeWav(layout, PcmBytes(values, bytesPerSample)));
    RecordingDesktop desktop;
    if (OpenAndRecognise(head->Info(), desktop) != OpenOutcome::Opened)
        return nullptr;
    return head;
}

void SetHeadTask(CSfHead& head, uint32_t start, uint32_t end, int channel) {
    head.Info().task.start = start;
    head.Info().task.end = end;
    head.Info().task.channel = channel;
}

std::vector<int32_t> Sine(int frames, double hz, double rate, double amplitude) {
    std::vector<int32_t> values(frames);
    for (int t = 0; t < frames; ++t)
        values[t] = int32_t(std::lround(amplitude * std::sin(2.0 * double(kPi) * hz * t / rate)));
    return values;
}

std::vector<int32_t> Voiced(int frames, double hz, double rate, double amplitude) {
    std::vector<int32_t> values(frames);
    for (int t = 0; t < frames; ++t) {
        double v = 0.0;
        for (int k = 1; k <= 10; ++k)
            v += std::sin(2.0 * double(kPi) * k * hz * t / rate) / k;
        // The sum of a sawtooth's first harmonics peaks near 1.8.
        values[t] = int32_t(std::lround(amplitude * v / 1.85));
    }
    return values;
}

std::vector<double> DirectPowers(const std::vector<double>& frame) {
    const size_t n = frame.size();
    std::vector<double> powers(n / 2);
    for (size_t k = 0; k < n / 2; ++k) {
        long double re = 0.0L;
        long double im = 0.0L;
        for (size_t t = 0; t < n; ++t) {
            const long double angle = 2.0L * kPi * static_cast<long double>((k * t) % n) / n;
            re += frame[t] * std::cos(angle);
            im -= frame[t] * std::sin(angle);
        }
        powers[k] = double(re * re + im * im);
    }
    return powers;
}

std::vector<float> NaiveMinMax(const std::vector<int32_t>& values, size_t first, int pairs,
                               size_t block) {
    std::vector<float> out;
    for (int j = 0; j < pairs; ++j) {
        int32_t lo = 0;
        int32_t hi = 0;
        for (size_t i = 0; i < block; ++i) {
            const size_t at = first + size_t(j) * block + i;
            const int32_t v = at < values.size() ? values[at] : 0;
            lo = i == 0 ? v : std::min(lo, v);
            hi = i == 0 ? v : std::max(hi, v);
        }
        out.push_back(float(lo));
        out.push_back(float(hi));
    }
    return out;
}
