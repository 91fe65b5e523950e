#include "CliDesktop.h"

#include <cstdio>

void CliDesktop::ShowMessage(const std::string& text, MessageIcon) {
    std::fprintf(stderr, "%s\n", text.c_str());
    messageShown_ = true;
}

bool CliDesktop::AskRawFormat(const std::string&, RawFormat& values) {
    if (!raw_) {
        rawNeeded_ = true;
        return false;
    }
    values = *raw_;
    return true;
}
