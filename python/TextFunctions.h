// The note names and time texts of kavirel-cli's note and time commands,
// checked as the command line checks them; std::invalid_argument names what
// is wrong.
#pragma once

#include <cstdint>
#include <string>

// The nearest note of f Hz with its deviation in cents, A at ref Hz, German
// names for notation 1.
std::string NoteName(double f, double ref, int notation);

struct TimeReading {
    int32_t frames = 0;
    std::string compact; // as the time axis writes it
    std::string clock;   // as the task dialog writes it
};

// text read as the task dialog reads it at rate frames per second.
TimeReading ReadTime(const std::string& text, double rate);
