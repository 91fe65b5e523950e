#include "soundfile/TolqDsp.h"

#include "drawing/ScaleMath.h"
#include "soundfile/SfInfo.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int sfopen(SfInfo& info, char mode) {
    if (mode != 'r' || info.path.empty())
        return 0;
    int fd;
    do {
        fd = ::open(info.path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return 0;
    // Only regular files have a size and positioned reads that mean anything.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    info.handle = fd;
    return 1;
}

int64_t sfread(int handle, void* buffer, int64_t count, int64_t offset) {
    if (handle < 0 || count <= 0 || offset < 0)
        return handle < 0 ? -1 : 0;
    auto* out = static_cast<char*>(buffer);
    int64_t done = 0;
    // pread may return less than asked before the end of the file (signals,
    // very large requests); keep reading until the count or the end is reached.
    while (done < count) {
        ssize_t n = ::pread(handle, out + done, static_cast<size_t>(count - done), offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done > 0 ? done : -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

int sfstat(int handle, SfStat& st) {
    struct stat s;
    if (handle < 0 || ::fstat(handle, &s) != 0)
        return -1;
    st.size = static_cast<int64_t>(s.st_size);
    st.mtime = static_cast<int64_t>(s.st_mtime);
    return 0;
}

void sfclose(int handle) {
    if (handle >= 0)
        ::close(handle);
}

void grid(float lo, float hi, int inches, float* first, float* step) {
    double f = lo;
    double s = 0.0;
    NiceStep(lo, hi, inches < 1 ? 1 : inches, &f, &s);
    if (!(s > 0.0) || !std::isfinite(s)) {
        // An empty or unusable range still gets a positive step, so callers
        // can always count ticks across it.
        *first = lo;
        *step = 1.0f;
        return;
    }
    // Rounding the step up can carry the first tick past a narrow range; a
    // tenth of the step then lands inside it.
    for (int i = 0; i < 8 && f > hi; ++i) {
        s /= 10.0;
        f = (std::floor(lo / s) + 1.0) * s;
    }
    if (f > hi)
        f = lo;
    // Ticks are counted in single precision every tenth of a step; far from
    // zero a tenth may not move a float at all, so the step grows until it does.
    for (int i = 0; i < 40 && float(f + s / 10.0) == float(f); ++i)
        s *= 10.0;
    *first = static_cast<float>(f);
    *step = static_cast<float>(s);
}
