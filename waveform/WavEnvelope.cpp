#include "waveform/WavEnvelope.h"

#include "drawing/ScaleMath.h"
#include "soundfile/FloatArray.h"
#include "soundfile/SampleAccess.h"
#include "spectrum/MinMaxEnvelope.h"

#include <algorithm>
#include <cstddef>
#include <utility>

WavEnvelope BuildEnvelope(const SfInfo& info, const WavRange& range, int screenWidth) {
    WavEnvelope envelope;
    const uint64_t width = 2 * static_cast<uint64_t>(std::max(screenWidth, 1));
    const uint64_t length = range.length;
    std::vector<float> values;
    if (!ResizeFloats(values, static_cast<std::size_t>(std::min(length, width)))) {
        return envelope;
    }
    if (length < width) {
        ReadSamples(info, values.data(), range.length, range.start, range.channel);
    } else if (!MinMaxBlocks(info, range.channel, values.data(), static_cast<int>(width / 2),
                             range.start, static_cast<uint32_t>(2 * length / width))
                    .Finish()) {
        return envelope;
    }
    const float peak = PeakAbs(values.data(), static_cast<int>(values.size()));
    envelope.values = std::move(values);
    envelope.upper = 1.1f * peak;
    // Silence has the bounds 0 and 0; a negated 0 would print as "-0".
    envelope.lower = peak > 0.0f ? -envelope.upper : 0.0f;
    return envelope;
}
