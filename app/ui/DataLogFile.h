// The data log: measurements appended as text lines to one file, across runs.
#pragma once

#include <cstdio>
#include <string>

class DataLogFile {
public:
    DataLogFile() = default;
    ~DataLogFile() { Close(); }
    DataLogFile(const DataLogFile&) = delete;
    DataLogFile& operator=(const DataLogFile&) = delete;

    // Names the file the lines go to. Nothing is created yet: a session that
    // measures nothing leaves no empty log behind in the working folder.
    void Open(const std::string& path);
    // Writes the line as it stands (it carries its own "\n") and flushes it.
    // The first line opens the file for appending, creating it when missing;
    // when that fails, this and every later line until the next Open are lost.
    void Write(const std::string& line);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

private:
    std::string path_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};
