#include "app/ui/DataLogFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Failure(const std::string& path, const std::string& why) {
    return "The measurement was not written to the data log " + path + ": " + why + ".";
}

} // namespace

void DataLogFile::Open(const std::string& path) {
    path_ = path;
}

bool DataLogFile::Write(const std::string& line, std::string& problem) {
    if (path_.empty()) {
        problem = "No data log file is set (Options > Analysis).";
        return false;
    }
    // Non-blocking: a named pipe never freezes the window. Read access is
    // for the last byte; a log the user may only write is appended blindly.
    const int flags = O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(path_.c_str(), O_RDWR | flags, 0644);
    if (fd < 0 && errno == EACCES)
        fd = ::open(path_.c_str(), O_WRONLY | flags, 0644);
    if (fd < 0) {
        problem =
            Failure(path_, errno == ENXIO ? "it is not a regular file" : std::strerror(errno));
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        problem = Failure(path_, "it is not a regular file");
        return false;
    }
    std::string text = line;
    char last = '\n';
    if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
        text.insert(text.begin(), '\n');
    ssize_t written;
    do
        written = ::write(fd, text.data(), text.size());
    while (written < 0 && errno == EINTR);
    int error = written < 0 ? errno : ENOSPC;
    bool ok = written == ssize_t(text.size());
    if (ok && ::fdatasync(fd) != 0) {
        ok = false;
        error = errno;
    }
    // A part of the line that did reach the file is taken back.
    if (!ok && written > 0)
        while (::ftruncate(fd, st.st_size) != 0 && errno == EINTR) {
        }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok)
        problem = Failure(path_, std::strerror(error));
    return ok;
}

std::string DataLogStatusText(const std::string& line, const std::string& path) {
    std::string shown = line;
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r'))
        shown.pop_back();
    return "Logged to " + path + ": " + shown;
}
