// Numbers of info texts, data-log lines and information boxes as printf writes
// them in the C locale. The desktop program runs with the user's locale, in
// which printf itself may write a decimal comma; the data log must read the
// same on every machine.
#pragma once

#include <string>

// printf's "%g": six significant digits, trailing zeros dropped.
std::string PrintG(double v);

// printf's "%f": six decimals.
std::string PrintF(double v);
