// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// printf-style formatting with the program's number rules: a precision on g and e counts
// significant digits and is raised to at least 2 ("%.0g" of 5.3, 53, 0.53 stays 5.3, 53, 0.53;
// "%.0e" gives a one-decimal mantissa), "." is the decimal separator whatever the locale, and
// exponents are written without padding ("1.5E-5" style for the shortest form).
#include <string>

namespace brelo {

std::string FormatNumbers(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace brelo
