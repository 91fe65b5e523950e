// The data log: measurements appended as text lines to one file, across runs.
#pragma once

#include <string>

class DataLogFile {
public:
    // Names the file the lines go to. Nothing is created yet: a session that
    // measures nothing leaves no empty log behind in the working folder.
    void Open(const std::string& path);
    // Appends the line as it stands (it carries its own "\n") with one write
    // of the whole line, creating the file when missing. A line never starts
    // on the fragment of an earlier one: such a fragment is ended first. On
    // failure the file is left as it was and problem says why. Only a
    // regular file is written; a named pipe or a device is refused without
    // waiting for a reader.
    bool Write(const std::string& line, std::string& problem);
    void Close() { path_.clear(); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// What the status bar shows after a line was logged: "Logged to PATH: LINE",
// the line without its line break.
std::string DataLogStatusText(const std::string& line, const std::string& path);

// How long the status bar shows it, in milliseconds.
inline constexpr int kDataLogStatusMs = 10000;
