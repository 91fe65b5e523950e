#include "app/ui/DataLogFile.h"

void DataLogFile::Open(const std::string& path) {
    Close();
    path_ = path;
    failed_ = path.empty();
}

void DataLogFile::Write(const std::string& line) {
    if (!file_ && !failed_) {
        // Append mode: lines accumulate at the end, the file is never truncated.
        file_ = std::fopen(path_.c_str(), "ab");
        failed_ = file_ == nullptr;
    }
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
    failed_ = true;
}
