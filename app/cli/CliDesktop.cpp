#include "CliDesktop.h"

#include <cstdio>

void CliDesktop::ShowMessage(const std::string& text, MessageIcon) {
    ++shown_;
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool CliDesktop::AskRawFormat(const std::string&, RawFormat& values) {
    if (!raw_)
        return false;
    values = *raw_;
    return true;
}
