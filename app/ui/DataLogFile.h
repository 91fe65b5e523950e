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

    // Opens path for appending, creating it when missing; a failed open
    // leaves no file open and later writes do nothing.
    void Open(const std::string& path);
    // Writes the line as it stands (it carries its own "\n") and flushes it.
    void Write(const std::string& line);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
};
