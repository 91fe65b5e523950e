#include "sonagram/ComputeSonagram.h"

#include "drawing/NumberText.h"

#include "sonagram/CSfSon.h"
#include "sonagram/ColourScale.h"
#include "sonagram/SonagramAxis.h"
#include "soundfile/AnalysisThreads.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SampleAccess.h"
#include "spectrum/LevelReference.h"
#include "spectrum/MagnitudeSpectrum.h"
#include "spectrum/RadixFft.h"
#include "spectrum/WindowFunction.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// The bins from 0 Hz up to fmax, bin k lying at k x rate / lfft Hz. Never
// more than the lfft / 2 bins a spectrum has.
int RowCount(int lfft, float fmax, double rate) {
    const double rows = std::trunc(lfft * static_cast<double>(fmax) / rate);
    if (!(rows > 0.0))
        return 0;
    return static_cast<int>(std::min(rows, static_cast<double>(lfft / 2)));
}

int32_t TruncateToInt32(double value) {
    return static_cast<int32_t>(
        std::trunc(std::clamp(value, static_cast<double>(std::numeric_limits<int32_t>::min()),
                              static_cast<double>(std::numeric_limits<int32_t>::max()))));
}

// With the decimal point whatever locale the desktop program runs in.
std::string ProgressText(int column, int width) {
    return "SON " + NumberText(column * 100.0 / width, std::chars_format::fixed, 2) + " Proz.";
}

std::string TooLargeText(uint64_t needed, uint64_t budget) {
    const auto mebibytes = [](uint64_t bytes) {
        return std::to_string((bytes + (1u << 19)) >> 20);
    };
    return "This sonagram needs " + mebibytes(needed) + " MB of memory, more than the " +
           mebibytes(budget) + " MB it may use. Lower Fmax or the FFT length.";
}

// Everything a computation allocates, taken before the first column so that a
// failure leaves the item as it was.
struct Work {
    std::vector<uint8_t> cells;
    std::vector<float> levels;
    std::vector<float> window;
    // The dB spectrum of every column, H bins each, column by column; kept
    // for the readouts of the window.
    std::vector<float> bins;
    // One frame and its spectrum.
    std::vector<float> frame;

    bool Allocate(std::size_t width, std::size_t height, std::size_t lfft) {
        try {
            cells.assign(width * height, 0);
            levels.assign(width, 0.0f);
            window.assign(lfft, 0.0f);
            bins.assign(width * height, 0.0f);
            frame.assign(lfft, 0.0f);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
};

// The frames of a column: in every-hop mode those whose start falls into it,
// first .. end - 1; first == end when none does.
struct HopFrames {
    uint64_t first = 0;
    uint64_t end = 0;
};

HopFrames FramesOfColumn(int column, int width, uint32_t length, uint32_t hop) {
    const uint64_t count = (uint64_t(length) + hop - 1) / hop;
    const uint64_t span = uint64_t(width) * hop;
    const auto firstOf = [&](uint64_t i) {
        return std::min(count, (i * length + span - 1) / span);
    };
    return HopFrames{firstOf(uint64_t(column)), firstOf(uint64_t(column) + 1)};
}

float LargestCell(const std::vector<float>& bins) {
    float largest = -std::numeric_limits<float>::infinity();
    for (const float level : bins)
        largest = std::max(largest, level);
    return largest;
}

} // namespace

SonagramOutcome ComputeSonagram(CSfSon& item, SonagramCells& cells, DesktopServices& desktop,
                                int screenWidth, uint64_t memoryBudget) {
    SfFftParam& param = item.Param();
    const SonRange& range = item.Range();
    const SfInfo& info = item.GetHead()->Info();
    if (!IsFftLength(param.Lfft))
        return SonagramOutcome::BadFftLength;
    if (range.length == 0)
        return SonagramOutcome::EmptyRange;

    const double rate = info.rate;
    param.Fmin = 0.0f;
    if (param.Fmax > rate * 0.5)
        param.Fmax = static_cast<float>(rate * 0.5);
    const int lfft = param.Lfft;
    const int height = RowCount(lfft, param.Fmax, rate);
    const int width = screenWidth / 2;

    const uint64_t needed = SonagramBytes(width, height, lfft);
    if (needed > memoryBudget) {
        desktop.ShowMessage(TooLargeText(needed, memoryBudget), MessageIcon::Stop);
        return SonagramOutcome::TooLarge;
    }
    WaitCursor wait(desktop);
    Work work;
    if (!work.Allocate(width, height, lfft))
        return SonagramOutcome::OutOfMemory;
    MakeWindow(work.window.data(), lfft, param.Lwdw, param.IWin);

    // Columns follow the range and the image width, not Shift: the whole range
    // always fills W columns, a short range with overlapping frames.
    const double hop = static_cast<double>(range.length) / width;
    const bool fullScale = param.LevelRef == kLevelRefFullScale;
    const double fullScaleLevel = fullScale ? LevelFullScaleDb(info) : 0.0;
    // Reads the frame at start into frame, returns its level and leaves its
    // dB spectrum there.
    const auto analyse = [&](float* frame, uint32_t start) {
        double level;
        if (fullScale) {
            // In dBFS the level is the true RMS of the frame, before the window.
            ReadSamples(info, frame, static_cast<uint32_t>(lfft), start, range.channel);
            level = FrameLevel(frame, lfft, true) - fullScaleLevel;
            for (int k = 0; k < lfft; ++k)
                frame[k] *= work.window[static_cast<std::size_t>(k)];
        } else {
            ReadWindowedSamples(info, frame, static_cast<uint32_t>(lfft), start, range.channel,
                                work.window.data());
            level = FrameLevel(frame, lfft, true);
        }
        if (height > 0)
            MagnitudeSpectrum(frame, lfft, true);
        return static_cast<float>(level);
    };
    const bool everyHop = param.Frames == kFramesEveryHop;
    const auto frameHop = static_cast<uint32_t>(EveryHopFrames(param));
    // Column i from its frames, with frame as working space.
    const auto computeColumn = [&](int i, float* frame) {
        float* column = work.bins.data() + static_cast<std::size_t>(i) * height;
        const HopFrames frames =
            everyHop ? FramesOfColumn(i, width, range.length, frameHop) : HopFrames{};
        if (frames.first == frames.end) {
            // One frame at the column's start, rounded half up.
            work.levels[i] = analyse(frame, static_cast<uint32_t>(range.start + i * hop + 0.5));
            std::copy(frame, frame + height, column);
            return;
        }
        // Every frame starting in the column: its loudest level and, bin by
        // bin, its loudest cell, so that nothing between columns is lost.
        for (uint64_t j = frames.first; j < frames.end; ++j) {
            const float level = analyse(frame, static_cast<uint32_t>(range.start + j * frameHop));
            if (j == frames.first) {
                work.levels[i] = level;
                std::copy(frame, frame + height, column);
                continue;
            }
            work.levels[i] = std::max(work.levels[i], level);
            for (int k = 0; k < height; ++k)
                column[k] = std::max(column[k], frame[k]);
        }
    };
    // The progress every 16 columns, where the user may stop the work.
    const auto goOn = [&](int column) {
        if (desktop.ShowStoppableProgress(ProgressText(column, width), column * 100 / width))
            return true;
        desktop.EndStoppableProgress();
        return false;
    };
    if (!everyHop) {
        for (int i = 0; i < width; ++i) {
            if (i % 16 == 0 && !goOn(i))
                return SonagramOutcome::Cancelled;
            computeColumn(i, work.frame.data());
        }
    } else {
        // Several frames a column: the columns are shared out, 16 at a time,
        // among the analysis threads, each with a frame of its own.
        constexpr int kColumnsPerTask = 16;
        std::atomic<int> done{0};
        std::atomic<bool> starved{false};
        std::atomic<bool> stopped{false};
        RunOnAnalysisThreads((width + kColumnsPerTask - 1) / kColumnsPerTask,
                             [&](int task) {
                                 const std::unique_ptr<float[]> frame(
                                     new (std::nothrow) float[std::size_t(lfft)]);
                                 if (!frame) {
                                     starved = true;
                                     return;
                                 }
                                 const int last = std::min(width, (task + 1) * kColumnsPerTask);
                                 for (int i = task * kColumnsPerTask; i < last && !stopped; ++i)
                                     computeColumn(i, frame.get());
                                 done += last - task * kColumnsPerTask;
                             },
                             [&] {
                                 const int columns = done.load();
                                 if (columns < width && !stopped && !goOn(columns / 16 * 16))
                                     stopped = true;
                             });
        if (stopped)
            return SonagramOutcome::Cancelled;
        if (starved) {
            desktop.EndStoppableProgress();
            return SonagramOutcome::OutOfMemory;
        }
    }

    desktop.EndStoppableProgress();
    SonLevels& levels = item.Levels();
    levels.values = std::move(work.levels);
    SetLevelBounds(levels);
    if (width == 0 || height == 0) {
        cells = SonagramCells{width, height, {}, {}, {}};
        return SonagramOutcome::NoCells;
    }

    const float dBMax = LargestCell(work.bins);
    // The colour of a cell depends only on its distance below the largest one,
    // so the image is the same in either reference; only the numbers move.
    const double offset = fullScale ? SpectrumFullScaleDb(info, work.window.data(), lfft) : 0.0;
    param.results.dBMax = static_cast<float>(dBMax - offset);
    param.Floor = TruncateToInt32(static_cast<double>(param.results.dBMax) - param.Range);
    const ColourScale scale(dBMax, param.Range);
    std::vector<int> rowBin = BinsOfRows(SonFrequencyAxis(param, rate), height, rate / lfft);
    for (int y = 0; y < height; ++y) {
        uint8_t* cell = work.cells.data() + static_cast<std::size_t>(y) * width;
        const float* bin = work.bins.data() + rowBin[static_cast<std::size_t>(y)];
        for (int i = 0; i < width; ++i, bin += height)
            cell[i] = scale.Index(*bin);
    }
    if (offset != 0.0)
        for (float& level : work.bins)
            level = static_cast<float>(level - offset);
    cells = SonagramCells{width, height, std::move(work.cells), std::move(work.bins),
                          std::move(rowBin)};
    return SonagramOutcome::Computed;
}
