// Numbers of info texts, data-log lines, labels and settings as printf writes
// them in the C locale. The desktop program runs with the user's locale, in
// which printf itself may write a decimal comma; the data log and the
// settings file must read the same on every machine.
#pragma once

#include <charconv>
#include <string>

// printf's "%.{precision}g" (general) or "%.{precision}f" (fixed).
std::string NumberText(double v, std::chars_format format, int precision);

// printf's "%g": six significant digits, trailing zeros dropped.
std::string PrintG(double v);

// printf's "%f": six decimals.
std::string PrintF(double v);

// The number a typed text starts with, as atof and atoi read it in the C
// locale: leading blanks skipped, the longest number that follows, 0 when none
// does. Integers beyond the int range are held at its ends.
double LeadingDouble(const std::string& text);
int LeadingInt(const std::string& text);
