#include "app/ui/DataLogFile.h"

void DataLogFile::Open(const std::string& path) {
    Close();
    // Append mode: lines accumulate at the end, the file is never truncated.
    file_ = std::fopen(path.c_str(), "ab");
}

void DataLogFile::Write(const std::string& line) {
    if (!file_)
        return;
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

void DataLogFile::Close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}
