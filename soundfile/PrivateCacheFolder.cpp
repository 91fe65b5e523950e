#include "soundfile/PrivateCacheFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

bool Absolute(const char* path) {
    return path && path[0] == '/';
}

// The folder the cache lives in, made with its parents when missing. The
// user may point it anywhere, through links too; it only must not be open
// to other users' writing, unless sticky (as /var/tmp is), where nobody can
// replace what we make in it.
int OpenBase(const std::string& base, std::string& problem) {
    for (size_t at = base.find('/', 1);; at = base.find('/', at + 1)) {
        if (::mkdir(base.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST)
            break;
        if (at == std::string::npos)
            break;
    }
    const int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        problem = "The cache folder " + base + " cannot be opened: " + std::strerror(errno) + ".";
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || (st.st_uid != ::geteuid() && st.st_uid != 0) ||
        ((st.st_mode & (S_IWGRP | S_IWOTH)) && !(st.st_mode & S_ISVTX))) {
        problem = "The cache folder " + base +
                  " belongs to another user or others may write in it; Kavirel keeps nothing "
                  "there.";
        ::close(fd);
        return -1;
    }
    return fd;
}

// One level of Kavirel's own folders below parent, made when missing.
int OpenOwnLevel(int parent, const std::string& name, const std::string& path,
                 std::string& problem) {
    if (::mkdirat(parent, name.c_str(), 0700) != 0 && errno != EEXIST) {
        problem = "The cache folder " + path + " cannot be made: " + std::strerror(errno) + ".";
        return -1;
    }
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        problem = "The cache folder " + path +
                  (errno == ELOOP || errno == ENOTDIR ? " is a symbolic link or not a folder"
                                                      : " cannot be opened") +
                  "; Kavirel keeps nothing there.";
        return -1;
    }
    struct stat st;
    const bool ours = ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid();
    if (!ours || ((st.st_mode & 077) && ::fchmod(fd, 0700) != 0)) {
        problem = "The cache folder " + path +
                  " belongs to another user or is open to others; Kavirel keeps nothing there.";
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

PrivateFolder::~PrivateFolder() {
    if (fd_ >= 0)
        ::close(fd_);
}

PrivateFolder::PrivateFolder(PrivateFolder&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)),
      problem_(std::move(other.problem_)) {}

PrivateFolder& PrivateFolder::operator=(PrivateFolder&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        problem_ = std::move(other.problem_);
    }
    return *this;
}

std::string CacheRootPath() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); Absolute(xdg)) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!Absolute(home)) {
            const passwd* user = ::getpwuid(::geteuid());
            home = user ? user->pw_dir : nullptr;
        }
        if (!Absolute(home))
            return std::string();
        base = std::string(home) + "/.cache";
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/TOLQ/Kavirel";
}

PrivateFolder OpenPrivateCacheFolder(const std::string& sub) {
    PrivateFolder folder;
    const std::string root = CacheRootPath();
    if (root.empty()) {
        folder.problem_ = "There is no cache folder: neither XDG_CACHE_HOME nor HOME names one.";
        return folder;
    }
    std::vector<std::string> levels = {"TOLQ", "Kavirel"};
    if (!sub.empty())
        levels.push_back(sub);
    std::string path = root.substr(0, root.size() - std::strlen("/TOLQ/Kavirel"));
    int fd = OpenBase(path, folder.problem_);
    for (const std::string& level : levels) {
        if (fd < 0)
            return folder;
        path += "/" + level;
        const int next = OpenOwnLevel(fd, level, path, folder.problem_);
        ::close(fd);
        fd = next;
    }
    if (fd >= 0) {
        folder.fd_ = fd;
        folder.path_ = path;
    }
    return folder;
}
