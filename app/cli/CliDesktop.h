// The desktop of kavirel-cli: messages go to standard error as the program
// would show them, the raw-format dialog is answered by --raw, and progress
// texts are not shown.
#pragma once

#include "soundfile/DesktopServices.h"

#include <optional>

class CliDesktop : public DesktopServices {
public:
    explicit CliDesktop(std::optional<RawFormat> raw) : raw_(raw) {}

    void SetInfoText(const std::string&) override {}
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskRawFormat(const std::string& path, RawFormat& values) override;
    // How many messages were shown.
    int Shown() const { return shown_; }

private:
    std::optional<RawFormat> raw_;
    int shown_ = 0;
};
