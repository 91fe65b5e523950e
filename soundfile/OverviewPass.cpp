#include "soundfile/OverviewPass.h"

#include "soundfile/AnalysisThreads.h"
#include "soundfile/ChannelStats.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/TolqDsp.h"

#include <algorithm>
#include <atomic>
#include <climits>

namespace {

// Ranges of the file per thread: enough for threads that a busy machine slows
// to leave their share to the others.
constexpr int kRangesPerThread = 8;

// The bytes read at once: a level block's pieces are read in parts that stay
// in the processor's cache while they are scanned.
constexpr int64_t kPartBytes = 128 << 10;

// How the frames fall into columns, level blocks and read pieces.
struct Layout {
    uint64_t columns, framesPerColumn, envelopeEnd;
    uint64_t blocks, framesPerBlock, levelEnd;
    uint64_t pieceFrames; // a level block's pieces, as StepReader cuts them
    uint64_t partFrames;  // a piece's reads
};

// The extremes of the columns one range of level blocks touches; the columns
// at its edges are shared with the neighbouring ranges and merged afterwards.
struct RangeExtremes {
    uint64_t firstColumn = 0;
    std::vector<int32_t> min, max;
    std::vector<uint64_t> frames;
};

class RangeReader {
public:
    RangeReader(const SfInfo& info, const Layout& layout, OverviewSums& sums,
                std::atomic<uint64_t>& done)
        : info_(info), layout_(layout), sums_(sums), done_(done),
          run_(CodingOf(info), info.channels, info.blockAlign),
          bytes_(size_t(layout.partFrames) * size_t(info.blockAlign)) {}

    // Reads level blocks first .. end - 1 (and after the last one the frames
    // of the last column past it). A short read ends the file: nothing
    // further is there.
    void Read(uint64_t first, uint64_t end, RangeExtremes& out) {
        const uint64_t begin = first * layout_.framesPerBlock;
        const uint64_t stop =
            end == layout_.blocks ? layout_.envelopeEnd : end * layout_.framesPerBlock;
        const size_t channels = size_t(info_.channels);
        out.firstColumn = begin / layout_.framesPerColumn;
        const size_t columns = size_t((stop - 1) / layout_.framesPerColumn - out.firstColumn + 1);
        out.min.assign(columns * channels, INT32_MAX);
        out.max.assign(columns * channels, INT32_MIN);
        out.frames.assign(columns, 0);
        for (uint64_t b = first; b < end; ++b) {
            const uint64_t blockEnd = (b + 1) * layout_.framesPerBlock;
            for (uint64_t at = b * layout_.framesPerBlock; at < blockEnd; at += layout_.pieceFrames)
                if (!Piece(at, std::min(layout_.pieceFrames, blockEnd - at), b, out))
                    return;
        }
        for (uint64_t at = layout_.levelEnd; end == layout_.blocks && at < stop;
             at += layout_.pieceFrames)
            if (!Piece(at, std::min(layout_.pieceFrames, stop - at), layout_.blocks, out))
                return;
    }

private:
    // Frames first .. first + count - 1, read in parts: their extremes to
    // their columns and, unless it lies past the last, their square sums to
    // level block. False when fewer could be read.
    bool Piece(uint64_t first, uint64_t count, uint64_t block, RangeExtremes& out) {
        const bool level = block < layout_.blocks;
        run_.BeginSquares();
        bool whole = true;
        for (uint64_t at = first; whole && at < first + count; at += layout_.partFrames)
            whole = Part(at, std::min(layout_.partFrames, first + count - at), level, out);
        if (level) {
            run_.EndSquares(&sums_.squares[size_t(block) * size_t(info_.channels)]);
            sums_.blockFrames[size_t(block)] += read_;
        }
        read_ = 0;
        return whole;
    }

    bool Part(uint64_t first, uint64_t count, bool level, RangeExtremes& out) {
        const int64_t align = info_.blockAlign;
        const int64_t got = sfread(info_.handle, bytes_.data(), int64_t(count) * align,
                                   info_.dataOffset + int64_t(first) * align);
        const uint64_t frames = got > 0 ? uint64_t(got / align) : 0;
        if (frames == 0)
            return false;
        run_.Load(bytes_.data(), size_t(frames));
        for (uint64_t at = 0; at < frames;) {
            const uint64_t column = (first + at) / layout_.framesPerColumn;
            const uint64_t span =
                std::min(frames - at, (column + 1) * layout_.framesPerColumn - (first + at));
            const size_t slot = size_t(column - out.firstColumn);
            const size_t value = slot * size_t(info_.channels);
            if (level)
                run_.ExtremesAndSquaresPart(size_t(at), size_t(span), &out.min[value],
                                            &out.max[value]);
            else
                run_.Extremes(size_t(at), size_t(span), &out.min[value], &out.max[value]);
            out.frames[slot] += span;
            at += span;
        }
        if (level && !run_.ExactSquares())
            run_.AddSquaresPart();
        read_ += frames;
        done_ += frames;
        return frames == count;
    }

    const SfInfo& info_;
    const Layout& layout_;
    OverviewSums& sums_;
    std::atomic<uint64_t>& done_;
    FrameRun run_;
    std::vector<uint8_t> bytes_;
    uint64_t read_ = 0; // frames of the piece read so far
};

void Merge(const RangeExtremes& range, size_t channels, OverviewSums& sums) {
    for (size_t slot = 0; slot < range.frames.size(); ++slot) {
        const size_t column = size_t(range.firstColumn) + slot;
        sums.columnFrames[column] += range.frames[slot];
        for (size_t c = 0; c < channels; ++c) {
            int32_t& mn = sums.min[column * channels + c];
            int32_t& mx = sums.max[column * channels + c];
            mn = std::min(mn, range.min[slot * channels + c]);
            mx = std::max(mx, range.max[slot * channels + c]);
        }
    }
}

} // namespace

OverviewSums ScanOverview(const SfInfo& info, int columns,
                          const std::function<void(uint64_t, uint64_t)>& progress) {
    Layout layout;
    layout.columns = uint64_t(columns);
    layout.framesPerColumn = info.frames / layout.columns;
    layout.envelopeEnd = layout.columns * layout.framesPerColumn;
    layout.blocks = 2 * layout.columns;
    layout.framesPerBlock = info.frames / layout.blocks;
    layout.levelEnd = layout.blocks * layout.framesPerBlock;
    layout.pieceFrames =
        std::min<uint64_t>(uint64_t(std::max<int64_t>(1, kOverviewPieceBytes / info.blockAlign)),
                           layout.framesPerBlock);
    // Parts of whole lanes of the square sums, at most a piece.
    const uint64_t lanes = FrameRun::kSquarePartFrames;
    layout.partFrames =
        std::min(layout.pieceFrames,
                 std::max<uint64_t>(lanes, uint64_t(kPartBytes / info.blockAlign) / lanes * lanes));

    const size_t channels = size_t(info.channels);
    OverviewSums sums;
    sums.min.assign(size_t(columns) * channels, INT32_MAX);
    sums.max.assign(size_t(columns) * channels, INT32_MIN);
    sums.columnFrames.assign(size_t(columns), 0);
    sums.squares.assign(size_t(layout.blocks) * channels, 0.0L);
    sums.blockFrames.assign(size_t(layout.blocks), 0);

    const uint64_t wanted = uint64_t(AnalysisThreads()) * kRangesPerThread;
    const uint64_t blocksPerRange = (layout.blocks + wanted - 1) / wanted;
    const int ranges = int((layout.blocks + blocksPerRange - 1) / blocksPerRange);
    std::vector<RangeExtremes> extremes(static_cast<size_t>(ranges));
    std::atomic<uint64_t> done{0};
    RunOnAnalysisThreads(
        ranges,
        [&](int r) {
            RangeReader reader(info, layout, sums, done);
            const uint64_t first = uint64_t(r) * blocksPerRange;
            reader.Read(first, std::min(layout.blocks, first + blocksPerRange),
                        extremes[size_t(r)]);
        },
        [&] { progress(done.load(), layout.envelopeEnd); });
    for (const RangeExtremes& range : extremes)
        Merge(range, channels, sums);
    return sums;
}
