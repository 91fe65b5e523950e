#include "soundfile/ReplaceFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Reason(const std::string& path, int error) {
    return path + " cannot be written: " + std::strerror(error) + ".";
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

bool ReplaceFileContents(const std::string& given, const void* data, size_t size,
                         std::string& problem, const std::string& keep) {
    std::string path = given;
    struct stat old;
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) {
            problem = given + " is not a regular file: it is not written.";
            return false;
        }
        struct stat kept;
        if (!keep.empty() && ::stat(keep.c_str(), &kept) == 0 && SameFile(old, kept)) {
            problem = given + " is the sound file being analysed: it is not written over.";
            return false;
        }
        // Through a link, the file it names is replaced, not the link.
        char resolved[PATH_MAX];
        if (::realpath(given.c_str(), resolved))
            path = resolved;
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp =
        (slash == std::string::npos ? std::string() : folder) + "." + name + ".kavirel-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        problem = Reason(given, errno);
        return false;
    }
    const mode_t mode = exists ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, static_cast<const char*>(data), size) &&
              ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        problem = Reason(given, error);
    }
    return ok;
}
