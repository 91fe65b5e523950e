// Arbitrary bytes as a sound file and its overview cache: recognition (the raw
// dialog answered with the values it shows), the overview, the cache loader's
// checks and the sample decoding of every coding must neither crash nor hang,
// whatever the bytes hold.
//
// Input: byte 0 chooses the screen width, bytes 1 and 2 the length of the
// sound file; the rest after the sound file is the cache beside it.
#include "soundfile/ChannelStats.h"
#include "soundfile/Decoder.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/OpenHead.h"
#include "soundfile/OverviewCache.h"
#include "soundfile/SampleAccess.h"
#include "soundfile/SfInfo.h"
#include "soundfile/SfItems.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <vector>

namespace {

struct AcceptingDesktop : DesktopServices {
    void SetInfoText(const std::string&) override {}
    void ShowMessage(const std::string&, MessageIcon) override {}
    bool AskRawFormat(const std::string&, RawFormat&) override { return true; }
    // The wait cursor shows exactly when an overview is computed.
    void BeginWaitCursor() override { ++computed; }
    int computed = 0;
};

std::string ScratchDir() {
    static const std::string dir = [] {
        // Files in memory where the machine has such a folder: each input
        // writes a sound file and its caches, and a disk's journal would set
        // the pace of the run.
        struct stat shm;
        const std::string base =
            ::stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) ? "/dev/shm" : "/tmp";
        std::string d = base + "/kavirel-fuzz-" + std::to_string(::getpid());
        ::mkdir(d.c_str(), 0700);
        // Caches that fall back to the user's cache folder stay in here.
        ::setenv("XDG_CACHE_HOME", d.c_str(), 1);
        return d;
    }();
    return dir;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

// The same bytes through every sample coding, as the overview scans them.
void ScanEveryCoding(const uint8_t* bytes, size_t size, int channels) {
    for (int bps = 1; bps <= 4; ++bps)
        for (int variant = 0; variant < 3; ++variant) {
            SampleCoding coding;
            coding.bytesPerSample = bps;
            coding.bigEndian = variant == 1;
            coding.signed8 = variant == 2 && bps == 1;
            coding.ieeeFloat = variant == 2 && bps == 4;
            for (int padding : {0, 1}) {
                const int align = channels * bps + padding;
                ChannelStats stats(coding, channels, align);
                stats.Add(bytes, size / size_t(align));
            }
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const int width = 1 + data[0] % 16;
    const size_t split = std::min<size_t>(size - 3, size_t(data[1]) << 8 | data[2]);
    const uint8_t* sound = data + 3;
    const std::string path = ScratchDir() + "/input.wav";
    WriteFile(path, sound, split);
    WriteFile(ScratchDir() + "/input.sfv", sound + split, size - 3 - split);
    // A fixed modification time lets the fuzzer reach the cache payload.
    utimbuf times{1000000, 1000000};
    ::utime(path.c_str(), &times);
    ::unlink(FallbackCachePath(path).c_str());

    // Inputs libsndfile reads are decoded: keep their copies in the scratch
    // folder, and few of them.
    ::setenv("XDG_CACHE_HOME", ScratchDir().c_str(), 1);
    SetDecodedCacheBudget(int64_t(1) << 20);
    AcceptingDesktop desktop;
    if (auto head = OpenHeadFile(path, desktop, width)) {
        const SfInfo& info = head->Info();
        std::vector<float> values(256);
        const uint32_t start = info.frames > 100 ? info.frames - 100 : 0;
        ReadSamples(info, values.data(), uint32_t(values.size()), start, info.channels - 1);
        // Opened again, the cache just written must load: a file's own
        // overview always passes the loader's checks.
        head->Info().overviewMethod = kOverviewRms;
        SaveOverviewMethod(head->Info());
        desktop.computed = 0;
        auto again = OpenHeadFile(path, desktop, width);
        if (!again || desktop.computed != 0 || again->Info().overview != info.overview ||
            again->Info().overviewMethod != kOverviewRms)
            std::abort();
    }
    ScanEveryCoding(sound, split, 1 + data[0] / 16 % 3);
    return 0;
}
