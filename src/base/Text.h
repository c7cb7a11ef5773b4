// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text rules of the file formats. Text inside the program is UTF-8.
#include <string>
#include <string_view>
#include <vector>

namespace brelo {

// True when every byte of 0x80 or above begins a complete two- or three-byte sequence.
bool IsWellFormedUtf8(std::string_view bytes);
// A stored JNX string: trimmed of bytes 0x00..0x20 at both ends; "" when not well-formed UTF-8.
std::string DecodeStoredText(std::string_view raw);
// Leading and trailing blanks (spaces) removed.
std::string TrimBlanks(std::string_view text);
// Leading and trailing bytes 0x00..0x20 removed.
std::string TrimControls(std::string_view text);
// The parts of text between separators (one part for text without one).
std::vector<std::string> SplitText(std::string_view text, char separator);
// Splits text into lines (CR LF or LF), without the line ends.
std::vector<std::string> SplitLines(const std::string& text);
std::string RemoveBlanks(std::string_view text);
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);
// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace brelo
