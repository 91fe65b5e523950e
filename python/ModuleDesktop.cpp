#include "ModuleDesktop.h"

void ModuleDesktop::ShowMessage(const std::string& text, MessageIcon) {
    if (!messages_.empty())
        messages_ += '\n';
    messages_ += text;
}

bool ModuleDesktop::AskRawFormat(const std::string&, RawFormat& values) {
    if (!raw_)
        return false;
    values = *raw_;
    return true;
}
