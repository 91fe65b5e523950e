// Times typed by a user, on the command line or to the Python module: the
// texts of the task dialog, read strictly, so that a typing error is refused
// instead of becoming frame 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The frames of a time text as the task dialog reads it ("1m30s", "2.5s",
// "1h", "500f" or a bare number of frames, parts in any order, blanks
// between them), or nothing when the text is not such a time: empty, a part
// that is not a number, a fraction of a frame. Times beyond the 32-bit frame
// range keep their true size, for the caller to refuse.
std::optional<int64_t> ReadTimeText(const std::string& text, float rate);
