#include "sonagram/SonagramMemory.h"

#include <algorithm>
#include <unistd.h>

namespace {

constexpr uint64_t kBytesPerCell = sizeof(float) + 2;
constexpr uint64_t kBytesPerFramePoint = 4 * sizeof(float);
constexpr uint64_t kBudgetCap = uint64_t(4) << 30;

} // namespace

uint64_t SonagramBytes(int width, int height, int lfft) {
    return uint64_t(width) * uint64_t(height) * kBytesPerCell +
           uint64_t(lfft) * kBytesPerFramePoint + uint64_t(width) * sizeof(float);
}

uint64_t SonagramMemoryBudget() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return kBudgetCap;
    return std::min(kBudgetCap, uint64_t(pages) * uint64_t(pageSize) / 2);
}
