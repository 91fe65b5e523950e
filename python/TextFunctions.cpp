#include "TextFunctions.h"

#include "drawing/NoteText.h"
#include "drawing/NumberText.h"
#include "drawing/StrictTimeText.h"
#include "drawing/TimeText.h"
#include "soundfile/AnalysisLimits.h"

#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

std::string NoteName(double f, double ref, int notation) {
    if (!std::isfinite(f) || !(f > 0.0))
        throw std::invalid_argument("freq must be above 0 Hz");
    if (f > kHighestFrequency)
        throw std::invalid_argument("freq must not lie above 1000000 Hz");
    if (!ValidReferencePitch(ref))
        throw std::invalid_argument("ref must lie between 100 and 1000 Hz");
    if (!ValidNotation(notation))
        throw std::invalid_argument("notation must be 0 (US names) or 1 (German names)");
    const std::string note = NoteText(f, ref, notation);
    // Only the lowest octave is left without a name.
    if (note.empty())
        throw std::invalid_argument(PrintG(f) +
                                    " Hz lies below the lowest octave that has note names");
    return note;
}

TimeReading ReadTime(const std::string& text, double rate) {
    // A file's rate is a 32-bit whole number; beyond that the frames of a
    // second no longer fit a position.
    if (!(rate > 0.0 && rate <= std::numeric_limits<int32_t>::max()))
        throw std::invalid_argument("rate must lie above 0 and at most " +
                                    std::to_string(std::numeric_limits<int32_t>::max()));
    const float sr = float(rate);
    const std::optional<int64_t> frames = ReadTimeText(text, sr);
    if (!frames)
        throw std::invalid_argument(
            "text must be frames or a time such as 1m30s, 2.5s or 1h, not \"" + text + "\"");
    if (*frames < std::numeric_limits<int32_t>::min() ||
        *frames > std::numeric_limits<int32_t>::max())
        throw std::invalid_argument(text + " lies beyond the 32-bit frame range at this rate");
    const int32_t n = int32_t(*frames);
    return {n, FormatFrames(n, sr, 0), FormatFrames(n, sr, 1)};
}
