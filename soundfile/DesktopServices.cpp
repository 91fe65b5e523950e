#include "soundfile/DesktopServices.h"

#include <atomic>

namespace {
std::atomic<int> screenWidth{1024};
}

int ScreenWidth() {
    return screenWidth.load();
}

void SetScreenWidth(int pixels) {
    if (pixels > 0)
        screenWidth.store(pixels);
}
