#include "CliDesktop.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void Interrupted(int) {
    interrupted = 1;
}

} // namespace

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

bool CliDesktop::ShowStoppableProgress(const std::string&, int percent) {
    if (!progressing_) {
        progressing_ = true;
        interrupted = 0;
        previousHandler_ = std::signal(SIGINT, &Interrupted);
    }
    // Only a person at a terminal reads it; a pipe or a file gets no
    // percentages between its lines.
    if (::isatty(STDERR_FILENO)) {
        std::fprintf(stderr, "\r%3d%%", percent);
        std::fflush(stderr);
        printed_ = true;
    }
    return interrupted == 0;
}

void CliDesktop::EndStoppableProgress() {
    if (!progressing_)
        return;
    if (printed_)
        std::fprintf(stderr, "\r    \r");
    if (interrupted)
        std::fprintf(stderr, "Stopped by Ctrl+C\n");
    std::signal(SIGINT, previousHandler_ == SIG_ERR ? SIG_DFL : previousHandler_);
    progressing_ = printed_ = false;
}
