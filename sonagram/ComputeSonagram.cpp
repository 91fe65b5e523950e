#include "sonagram/ComputeSonagram.h"

#include "drawing/NumberText.h"

#include "sonagram/CSfSon.h"
#include "sonagram/ColourScale.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/SampleAccess.h"
#include "spectrum/LevelReference.h"
#include "spectrum/MagnitudeSpectrum.h"
#include "spectrum/RadixFft.h"
#include "spectrum/WindowFunction.h"

#include <algorithm>
#include <array>
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
    // Column i works at offset i x H; its frame runs on over the next columns,
    // which are not computed yet, and the last one into the extra Lfft floats.
    std::unique_ptr<float[]> frames;

    bool Allocate(std::size_t width, std::size_t height, std::size_t lfft) {
        try {
            cells.assign(width * height, 0);
            levels.assign(width, 0.0f);
            window.assign(lfft, 0.0f);
        } catch (const std::bad_alloc&) {
            return false;
        }
        frames.reset(new (std::nothrow) float[width * height + lfft]);
        return frames != nullptr;
    }
};

float LargestCell(const float* frames, int width, int height) {
    float largest = -std::numeric_limits<float>::infinity();
    for (int i = 0; i < width; ++i) {
        const float* column = frames + static_cast<std::size_t>(i) * height;
        largest = std::max(largest, *std::max_element(column, column + height));
    }
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
    for (int i = 0; i < width; ++i) {
        float* frame = work.frames.get() + static_cast<std::size_t>(i) * height;
        const auto start = static_cast<uint32_t>(range.start + i * hop + 0.5);
        if (fullScale) {
            // In dBFS the level is the true RMS of the frame, before the window.
            ReadSamples(info, frame, static_cast<uint32_t>(lfft), start, range.channel);
            work.levels[i] =
                static_cast<float>(FrameLevel(frame, lfft, true) - LevelFullScaleDb(info));
            for (int k = 0; k < lfft; ++k)
                frame[k] *= work.window[static_cast<std::size_t>(k)];
        } else {
            ReadWindowedSamples(info, frame, static_cast<uint32_t>(lfft), start, range.channel,
                                work.window.data());
            work.levels[i] = static_cast<float>(FrameLevel(frame, lfft, true));
        }
        if (i % 16 == 0 &&
            !desktop.ShowStoppableProgress(ProgressText(i, width), i * 100 / width)) {
            desktop.EndStoppableProgress();
            return SonagramOutcome::Cancelled;
        }
        if (height > 0)
            MagnitudeSpectrum(frame, lfft, true);
    }

    desktop.EndStoppableProgress();
    SonLevels& levels = item.Levels();
    levels.values = std::move(work.levels);
    SetLevelBounds(levels);
    if (width == 0 || height == 0) {
        cells = SonagramCells{width, height, {}};
        return SonagramOutcome::NoCells;
    }

    const float dBMax = LargestCell(work.frames.get(), width, height);
    // The grey of a cell depends only on its distance below the largest one,
    // so the image is the same in either reference; only the numbers move.
    const double offset = fullScale ? SpectrumFullScaleDb(info, work.window.data(), lfft) : 0.0;
    param.results.dBMax = static_cast<float>(dBMax - offset);
    param.Floor = TruncateToInt32(static_cast<double>(param.results.dBMax) - param.Range);
    const ColourScale scale(dBMax, param.Range);
    for (int i = 0; i < width; ++i) {
        const float* column = work.frames.get() + static_cast<std::size_t>(i) * height;
        // High bins at the top: bin k goes to row H - 1 - k.
        uint8_t* cell = work.cells.data() + static_cast<std::size_t>(height - 1) * width + i;
        for (int k = 0; k < height; ++k, cell -= width)
            *cell = scale.Index(column[k]);
    }
    cells = SonagramCells{width, height, std::move(work.cells)};
    return SonagramOutcome::Computed;
}
