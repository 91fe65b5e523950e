// From a path to an opened, recognised sound file with its overview.
#pragma once

#include <memory>
#include <string>

struct SfInfo;
class CSfHead;
class DesktopServices;

// What became of opening a sound file.
enum class OpenOutcome {
    Opened,
    Refused,   // the file cannot be read as sound; the user has been told why
    Cancelled, // the file has no known header and the raw format was not given
};

// Opens info.path and recognises its format: a WAV, AU or AIFF header, or the
// raw format the user gives. Shows the messages the user must see. Unless
// opened, the file is closed again.
OpenOutcome OpenAndRecognise(SfInfo& info, DesktopServices& desktop);

// Refuses format values that cannot be read safely and limits the frame
// count to what the file holds. Returns the message to show, empty when fine.
std::string CheckFormat(SfInfo& info, int64_t fileSize);

// Opens path as a new head: recognition, then the overview. Null on failure.
std::unique_ptr<CSfHead> OpenHeadFile(const std::string& path, DesktopServices& desktop,
                                      int screenWidth);
