// Kavirel's own folder in the user's cache: $XDG_CACHE_HOME/TOLQ/Kavirel
// (default ~/.cache/TOLQ/Kavirel), with the decoded copies in "decoded" below
// it. Kavirel replaces and deletes files there, so every folder from TOLQ
// down must be private: a real folder (never reached through a symbolic
// link), owned by the user, open to nobody else. A folder that is not is
// refused with the reason, never used.
#pragma once

#include <string>

class PrivateFolder {
public:
    PrivateFolder() = default;
    ~PrivateFolder();
    PrivateFolder(PrivateFolder&& other) noexcept;
    PrivateFolder& operator=(PrivateFolder&& other) noexcept;
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    bool Ok() const { return fd_ >= 0; }
    // The open folder: files in it are reached relative to it (openat,
    // unlinkat), so a folder swapped after the check is never written.
    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }
    // Why the folder cannot be used; empty when it can.
    const std::string& Problem() const { return problem_; }

private:
    friend PrivateFolder OpenPrivateCacheFolder(const std::string& sub);
    int fd_ = -1;
    std::string path_;
    std::string problem_;
};

// $XDG_CACHE_HOME/TOLQ/Kavirel, else $HOME/.cache/TOLQ/Kavirel, else the
// home of the user's account; empty when none of them names an absolute
// folder. Never a shared folder such as /tmp.
std::string CacheRootPath();

// Opens the cache root, or the folder sub below it ("decoded"), creating
// what is missing as mode 0700 and tightening a folder of the user's own
// that others could open.
PrivateFolder OpenPrivateCacheFolder(const std::string& sub = std::string());
