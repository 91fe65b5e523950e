// The desktop of the Python module: the messages a computation would show are
// kept for the exception that reports them, the raw-format dialog is answered
// by the format the caller gave, and progress texts are not shown.
#pragma once

#include "soundfile/DesktopServices.h"

#include <optional>
#include <string>

class ModuleDesktop : public DesktopServices {
public:
    explicit ModuleDesktop(std::optional<RawFormat> raw = std::nullopt) : raw_(raw) {}

    void SetInfoText(const std::string&) override {}
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    bool AskRawFormat(const std::string& path, RawFormat& values) override;

    // The messages shown so far, one a line; empty when none was.
    const std::string& Messages() const { return messages_; }

private:
    std::optional<RawFormat> raw_;
    std::string messages_;
};
