// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading numbers from text the way the file formats and the edit cells write them.
#include <cstdint>
#include <string>

namespace brelo {

// Lenient integer reading: blanks, an optional sign, decimal digits or hexadecimal after
// "$", "x", "X", "0x" or "0X"; stops at the first other character; the sign counts only
// when the whole text was read; no leading digit reads as 0.
std::int32_t LenientInt(const std::string& text);
// Strict reading of a decimal integer; raises EFormatError naming the text.
std::int64_t StrictInt(const std::string& text);
// A whole decimal integer (optional sign); false otherwise.
bool ParseInteger(const std::string& text, long long& value);
// A decimal number with "." as separator ([+-]digits[.digits][e[+-]digits]) whatever the
// locale; raises EFormatError "'text' is not a valid floating point value" otherwise.
double ParseDecimal(const std::string& text);

}  // namespace brelo
