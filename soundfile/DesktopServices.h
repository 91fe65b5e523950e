// What the analysis core asks of the desktop: info texts, message boxes, the
// raw-format dialog and the wait cursor. The desktop program answers with Qt
// widgets; kavirel-cli and the tests answer themselves.
#pragma once

#include <cstdint>
#include <string>

enum class MessageIcon { None, Information, Stop };

// The values of the raw-format dialog.
struct RawFormat {
    int32_t rate = 44100;
    int32_t channels = 2;
    int32_t bytesPerSample = 2;
    int64_t dataOffset = 0;
    bool msbFirst = false;
};

class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // Replaces the text of the info box and shows it at once (progress texts
    // arrive while a computation holds the event loop), so a window must not
    // call it while it paints.
    virtual void SetInfoText(const std::string& text) = 0;
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
    // Shows the raw-format dialog pre-filled with values; false on Cancel.
    virtual bool AskRawFormat(const std::string& path, RawFormat& values) = 0;
    // Progress of a long task the user may stop (decoding a compressed file):
    // shown like an info text; false once the user has asked to stop.
    virtual bool ShowStoppableProgress(const std::string& text, int percent) {
        (void)percent;
        SetInfoText(text);
        return true;
    }
    virtual void EndStoppableProgress() {}
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
};

// Shows the wait cursor for the lifetime of the guard.
class WaitCursor {
public:
    explicit WaitCursor(DesktopServices& desktop) : desktop_(desktop) {
        desktop_.BeginWaitCursor();
    }
    ~WaitCursor() { desktop_.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    DesktopServices& desktop_;
};
