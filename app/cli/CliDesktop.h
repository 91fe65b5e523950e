// The desktop of kavirel-cli: messages go to standard error as the program
// would show them, the raw-format dialog is answered by --raw, and info texts
// are not shown. Long computations show a percentage on standard error when
// it is a terminal, and Ctrl+C stops them.
#pragma once

#include "soundfile/DesktopServices.h"

#include <optional>

class CliDesktop : public DesktopServices {
public:
    explicit CliDesktop(std::optional<RawFormat> raw) : raw_(raw) {}

    void SetInfoText(const std::string&) override {}
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskRawFormat(const std::string& path, RawFormat& values) override;
    // Until EndStoppableProgress, Ctrl+C stops the computation instead of
    // the program, which then says so.
    bool ShowStoppableProgress(const std::string& text, int percent) override;
    void EndStoppableProgress() override;
    // How many messages were shown.
    int Shown() const { return shown_; }

private:
    std::optional<RawFormat> raw_;
    int shown_ = 0;
    bool progressing_ = false;
    bool printed_ = false;
    void (*previousHandler_)(int) = nullptr;
};
