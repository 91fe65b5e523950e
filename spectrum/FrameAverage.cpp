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
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <new>
#include <vector>

namespace {

// Progress is reported every this many frames.
constexpr uint64_t kProgressFrames = 15;
// Values read at once for a group of overlapping or touching frames: 128 KiB
// of 16-bit samples, past which longer reads cost the kernel no less a byte.
constexpr std::size_t kGroupValues = std::size_t(1) << 16;
// Groups in flight per thread, and the most values their slots may hold
// together (a frame of 2^20 values still gets two slots).
constexpr int kSlotsPerThread = 2;
constexpr std::size_t kRingValues = std::size_t(1) << 19;

// The running sums of every bin.
class BinSums {
public:
    BinSums(int count, bool decibels, bool powerMean)
        : count_(count), meanOfDb_(decibels && !powerMean), power_(decibels && powerMean) {}

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

    // Adds one frame's magnitudes.
    void Add(const float* values) {
        if (meanOfDb_) {
            levels_.AddMagnitudes(values);
        } else if (power_) {
            for (int i = 0; i < count_; ++i)
                powers_[i] += static_cast<double>(values[i]) * values[i];
        } else {
            AddFloats(magnitudes_.data(), values, count_);
        }
    }

    // The means over frames.
    void Mean(float* out, uint64_t frames) const {
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
    int count_;
    bool meanOfDb_;
    bool power_;
    DecibelMean levels_;
    std::vector<double> powers_;
    std::vector<float> magnitudes_;
};

// Groups of frames are read and transformed on every thread, each into a slot
// of a ring, and summed strictly in order by whichever thread finds the next
// group ready: no thread waits for another while there are free slots, and
// the sums take the same values in the same order as on a single thread.
class GroupRing {
public:
    GroupRing(const FrameAverageTask& task, uint64_t frames, FrameEnvelope& envelope, BinSums& sums)
        : task_(task), frames_(frames), envelope_(envelope), sums_(sums),
          length_(static_cast<std::size_t>(task.n)), bins_(length_ / 2),
          shift_(static_cast<uint64_t>(task.shift)) {
        // Frames that overlap or touch are read in groups, each group's span
        // of the file at once; frames with gaps between them one by one.
        group_ = shift_ <= length_ ? std::max<uint64_t>(1, kGroupValues / length_) : 1;
        span_ = static_cast<std::size_t>((group_ - 1) * shift_) + length_;
        groups_ = (frames + group_ - 1) / group_;
        const std::size_t slotValues = span_ + static_cast<std::size_t>(group_) * bins_;
        slots_ = static_cast<std::size_t>(std::clamp<uint64_t>(
            std::min<uint64_t>(kRingValues / slotValues, kSlotsPerThread * AnalysisThreads()), 2,
            std::max<uint64_t>(groups_, 2)));
    }

    bool Allocate() {
        try {
            ready_.assign(slots_, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return ResizeFloats(raw_, slots_ * span_) &&
               ResizeFloats(levels_, slots_ * static_cast<std::size_t>(group_) * bins_);
    }

    uint64_t Groups() const { return groups_; }
    // The frames handed to the threads so far.
    uint64_t FramesStarted() const {
        return std::min(frames_, std::min(next_.load(), groups_) * group_);
    }

    // The loop each thread runs until every group is summed or Cancel.
    void Work() {
        for (;;) {
            const uint64_t g = next_++;
            if (g >= groups_ || cancelled_)
                return;
            const std::size_t slot = static_cast<std::size_t>(g % slots_);
            {
                std::unique_lock<std::mutex> lock(mutex_);
                freed_.wait(lock, [&] { return summed_ + slots_ > g || cancelled_; });
                if (cancelled_)
                    return;
            }
            Transform(g, slot);
            std::unique_lock<std::mutex> lock(mutex_);
            ready_[slot] = 1;
            if (summing_)
                continue;
            summing_ = true;
            while (summed_ < groups_ && ready_[summed_ % slots_]) {
                const uint64_t next = summed_;
                lock.unlock();
                Sum(next, static_cast<std::size_t>(next % slots_));
                lock.lock();
                ready_[next % slots_] = 0;
                ++summed_;
                freed_.notify_all();
            }
            summing_ = false;
        }
    }

    void Cancel() {
        const std::lock_guard<std::mutex> lock(mutex_);
        cancelled_ = true;
        freed_.notify_all();
    }

private:
    uint64_t FramesIn(uint64_t g) const { return std::min(group_, frames_ - g * group_); }

    void Transform(uint64_t g, std::size_t slot) {
        const uint64_t count = FramesIn(g);
        // In 64 bits, so that the hop past an end near the largest frame
        // number cannot wrap round to the start of the file.
        const uint64_t position = task_.start + g * group_ * shift_;
        float* values = raw_.data() + slot * span_;
        ReadSamples(*task_.info, values, static_cast<uint32_t>((count - 1) * shift_ + length_),
                    static_cast<uint32_t>(position), task_.channel);
        float* levels = levels_.data() + slot * static_cast<std::size_t>(group_) * bins_;
        for (uint64_t j = 0; j < count; ++j, levels += bins_)
            WindowedMagnitudes(values + j * shift_, task_.window, task_.n, levels);
    }

    void Sum(uint64_t g, std::size_t slot) {
        const uint64_t count = FramesIn(g);
        envelope_.Take(task_.start + g * group_ * shift_, raw_.data() + slot * span_,
                       static_cast<uint32_t>((count - 1) * shift_ + length_));
        const float* levels = levels_.data() + slot * static_cast<std::size_t>(group_) * bins_;
        for (uint64_t j = 0; j < count; ++j, levels += bins_)
            sums_.Add(levels);
    }

    const FrameAverageTask& task_;
    uint64_t frames_;
    FrameEnvelope& envelope_;
    BinSums& sums_;
    std::size_t length_;
    std::size_t bins_; // magnitudes kept per frame
    uint64_t shift_;
    uint64_t group_ = 1;
    std::size_t span_ = 0;
    uint64_t groups_ = 0;
    std::size_t slots_ = 2;
    std::vector<float> raw_, levels_;

    std::atomic<uint64_t> next_{0};
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable freed_;
    uint64_t summed_ = 0;     // groups summed, all before any not yet summed
    std::vector<char> ready_; // slots transformed and waiting to be summed
    bool summing_ = false;    // a thread is summing
};

} // namespace

bool AverageFrames(const FrameAverageTask& task, float* spectrum, FrameEnvelope& envelope,
                   const std::function<void(uint64_t, uint64_t)>& progress) {
    const uint64_t shift = static_cast<uint64_t>(task.shift);
    const uint64_t expected = (task.end - task.start) / shift;
    const uint64_t frames = task.end > task.start ? (task.end - task.start - 1) / shift + 1 : 0;
    BinSums sums(task.n / 2, task.decibels, task.powerMean);
    GroupRing ring(task, frames, envelope, sums);
    if (!sums.Reset() || !ring.Allocate())
        return false;

    const auto stopped = [&task] { return task.stop && *task.stop; };
    // Progress for every k = 0, 15, 30, ... up to the frames started, on this
    // thread; a stop there ends the work after the groups under way.
    uint64_t shown = 0;
    const auto report = [&](uint64_t upTo) {
        for (; shown < upTo && !stopped(); shown += kProgressFrames)
            progress(shown, expected);
        if (stopped())
            ring.Cancel();
    };
    report(std::min<uint64_t>(frames, 1));
    if (stopped())
        return true;
    const int threads = static_cast<int>(
        std::min<uint64_t>(ring.Groups(), static_cast<uint64_t>(AnalysisThreads())));
    RunOnAnalysisThreads(
        threads, [&](int) { ring.Work(); }, [&] { report(ring.FramesStarted()); });
    report(frames);
    if (stopped())
        return true;
    sums.Mean(spectrum, std::max<uint64_t>(frames, 1));
    return envelope.Finish();
}
