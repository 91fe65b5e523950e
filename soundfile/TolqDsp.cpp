#include "soundfile/TolqDsp.h"

#include "soundfile/SfInfo.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int sfopen(SfInfo& info, char mode) {
    if (mode != 'r' || info.path.empty())
        return 0;
    // Opening a named pipe for reading waits for a writer, and a device may wait
    // for its medium; without blocking the open returns at once and the type
    // check below turns them away.
    int fd;
    do {
        fd = ::open(info.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return 0;
    // Only regular files have a size and positioned reads that mean anything.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int reason = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
        ::close(fd);
        errno = reason;
        return 0;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
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
    st.mtime = static_cast<int64_t>(s.st_mtim.tv_sec);
    st.mtimeNsec = static_cast<int32_t>(s.st_mtim.tv_nsec);
    st.device = static_cast<uint64_t>(s.st_dev);
    st.inode = static_cast<uint64_t>(s.st_ino);
    st.owner = static_cast<uint32_t>(s.st_uid);
    return 0;
}

void sfclose(int handle) {
    if (handle >= 0)
        ::close(handle);
}
