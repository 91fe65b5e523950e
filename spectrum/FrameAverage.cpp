#include "spectrum/FrameAverage.h"

#include "drawing/FloatArrays.h"
#include "soundfile/AnalysisThreads.h"
#include "soundfile/FloatArray.h"
#include "soundfile/SampleAccess.h"
#include "spectrum/DecibelMean.h"
#include "spectrum/Decibels.h"
#include "spectrum/MagnitudeSpectrum.h"
#include "spectrum/MinMaxEnvelope.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

namespace {

// Progress is reported every this many frames.
constexpr uint64_t kProgressFrames = 15;
// Values held per batch in each of its two buffers (frames and spectra): with
// two batches in flight 4 MiB together, enough frames per batch that starting
// the threads costs little against the transforms.
constexpr std::size_t kBatchValues = std::size_t(1) << 18;
// Bins summed by one task of the summing step.
constexpr int kBinsPerTask = 256;

// The running sums of the bins first .. first + count - 1.
class BinSums {
public:
    BinSums(int first, int count, bool decibels, bool powerMean)
        : first_(first), count_(count), meanOfDb_(decibels && !powerMean),
          power_(decibels && powerMean) {}

    bool Reset() {
        if (meanOfDb_)
            return levels_.Reset(count_);
        try {
            if (power_)
                powers_.assign(static_cast<std::size_t>(count_), 0.0);
            else
                magnitudes_.assign(static_cast<std::size_t>(count_), 0.0f);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    // Adds one frame's magnitudes, the whole spectrum given.
    void Add(const float* spectrum) {
        const float* values = spectrum + first_;
        if (meanOfDb_) {
            levels_.AddMagnitudes(values);
        } else if (power_) {
            for (int i = 0; i < count_; ++i)
                powers_[i] += static_cast<double>(values[i]) * values[i];
        } else {
            AddFloats(magnitudes_.data(), values, count_);
        }
    }

    // The means over frames into the whole spectrum.
    void Mean(float* spectrum, uint64_t frames) const {
        float* out = spectrum + first_;
        if (meanOfDb_) {
            levels_.Mean(out);
        } else if (power_) {
            for (int i = 0; i < count_; ++i)
                out[i] = static_cast<float>(PowerToDb(powers_[i] / static_cast<double>(frames)));
        } else {
            ScaleFloats(out, magnitudes_.data(), count_, 1.0 / static_cast<double>(frames));
        }
    }

private:
    int first_;
    int count_;
    bool meanOfDb_;
    bool power_;
    DecibelMean levels_;
    std::vector<double> powers_;
    std::vector<float> magnitudes_;
};

} // namespace

bool AverageFrames(const FrameAverageTask& task, float* spectrum, FrameEnvelope& envelope,
                   const std::function<void(uint64_t, uint64_t)>& progress) {
    const int n = task.n;
    const int half = n / 2;
    const auto length = static_cast<std::size_t>(n);
    const uint64_t shift = static_cast<uint64_t>(task.shift);
    const uint64_t expected = (task.end - task.start) / shift;
    const uint64_t frames = task.end > task.start ? (task.end - task.start - 1) / shift + 1 : 0;
    const uint64_t batch = std::max<uint64_t>(1, kBatchValues / length);

    std::vector<BinSums> sums;
    // Two batches in flight: one read and transformed while the other is summed.
    std::vector<float> raw[2];
    std::vector<float> transformed[2];
    try {
        for (int first = 0; first < half; first += kBinsPerTask)
            sums.emplace_back(first, std::min(kBinsPerTask, half - first), task.decibels,
                              task.powerMean);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const std::size_t held =
        static_cast<std::size_t>(std::min(batch, std::max<uint64_t>(frames, 1)));
    for (int i = 0; i < 2; ++i)
        if (!ResizeFloats(raw[i], held * length) || !ResizeFloats(transformed[i], held * length))
            return false;
    for (BinSums& s : sums)
        if (!s.Reset())
            return false;

    const auto stopped = [&task] { return task.stop && *task.stop; };
    const uint64_t batches = (frames + batch - 1) / batch;
    const int binTasks = static_cast<int>(sums.size());
    const auto nothing = [] {};
    // Step b transforms batch b and sums batch b - 1, so each step starts the
    // threads once. The envelope of batch b - 1 goes first, as the longest
    // task, then the bin sums, then the frames of batch b one by one.
    for (uint64_t b = 0; b <= batches; ++b) {
        const uint64_t first = b * batch;
        const uint64_t count = b < batches ? std::min(batch, frames - first) : 0;
        for (uint64_t k = (first + kProgressFrames - 1) / kProgressFrames * kProgressFrames;
             k < first + count && !stopped(); k += kProgressFrames)
            progress(k, expected);
        if (stopped())
            return true;
        const uint64_t summedFirst = b > 0 ? first - batch : 0;
        const uint64_t summed = b > 0 ? std::min(batch, frames - summedFirst) : 0;
        const std::vector<float>& summedRaw = raw[(b + 1) % 2];
        const std::vector<float>& summedLevels = transformed[(b + 1) % 2];
        const int summing = summed > 0 ? binTasks + 1 : 0;
        RunOnAnalysisThreads(
            summing + static_cast<int>(count),
            [&](int t) {
                if (t == 0 && summing > 0) {
                    for (uint64_t j = 0; j < summed; ++j)
                        envelope.Take(task.start + (summedFirst + j) * shift,
                                      summedRaw.data() + j * length, static_cast<uint32_t>(n));
                } else if (t < summing) {
                    for (uint64_t j = 0; j < summed; ++j)
                        sums[std::size_t(t - 1)].Add(summedLevels.data() + j * length);
                } else {
                    // In 64 bits, so that the hop past an end near the largest
                    // frame number cannot wrap round to the start of the file.
                    const auto j = static_cast<std::size_t>(t - summing);
                    const uint64_t position = task.start + (first + j) * shift;
                    float* frame = raw[b % 2].data() + j * length;
                    float* levels = transformed[b % 2].data() + j * length;
                    ReadSamples(*task.info, frame, static_cast<uint32_t>(n),
                                static_cast<uint32_t>(position), task.channel);
                    for (int i = 0; i < n; ++i)
                        levels[i] = frame[i] * task.window[i];
                    MagnitudeSpectrum(levels, n, false);
                }
            },
            nothing);
    }
    for (const BinSums& s : sums)
        s.Mean(spectrum, std::max<uint64_t>(frames, 1));
    return envelope.Finish();
}
