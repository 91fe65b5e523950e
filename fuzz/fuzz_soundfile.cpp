// Arbitrary bytes as a sound file and its overview cache: recognition (the raw
// dialog answered with the values it shows), the overview and the cache loader
// must neither crash nor hang, whatever the bytes hold.
#include "soundfile/Decoder.h"
#include "soundfile/DesktopServices.h"
#include "soundfile/OpenHead.h"
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
};

std::string ScratchDir() {
    static const std::string dir = [] {
        std::string d = "/tmp/kavirel-fuzz-" + std::to_string(::getpid());
        ::mkdir(d.c_str(), 0700);
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes split the rest into the sound file and its cache.
    const size_t split = std::min<size_t>(size - 2, size_t(data[0]) << 8 | data[1]);
    const uint8_t* sound = data + 2;
    const std::string path = ScratchDir() + "/input.wav";
    WriteFile(path, sound, split);
    WriteFile(ScratchDir() + "/input.sfv", sound + split, size - 2 - split);
    // A fixed modification time lets the fuzzer reach the cache payload.
    utimbuf times{1000000, 1000000};
    ::utime(path.c_str(), &times);

    SetScreenWidth(64);
    // Inputs libsndfile reads are decoded: keep their copies in the scratch
    // folder, and few of them.
    ::setenv("XDG_CACHE_HOME", ScratchDir().c_str(), 1);
    SetDecodedCacheBudget(int64_t(1) << 20);
    AcceptingDesktop desktop;
    if (auto head = OpenHeadFile(path, desktop)) {
        const SfInfo& info = head->Info();
        std::vector<float> values(256);
        const uint32_t start = info.frames > 100 ? info.frames - 100 : 0;
        ReadSamples(info, values.data(), uint32_t(values.size()), start, info.channels - 1);
    }
    return 0;
}
