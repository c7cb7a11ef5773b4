#pragma once
// The marker scanner the GPX reader is built on. Positions are 1-based; 0 means not found.
#include <cstddef>
#include <string>
#include <string_view>

namespace brelo {

std::size_t FindFrom(std::string_view marker, std::string_view text, std::size_t start);
// found := the text between the start marker (from position p; empty marker: the text's
// start) and the end marker (empty: the text's end); p moves past the end marker.
void ExtractBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                    std::string& found, std::size_t& position);

// Predefined XML entities and numeric character references decoded; others kept as written.
std::string DecodeXmlText(std::string_view text);
// The five XML special characters escaped.
std::string EscapeXmlText(std::string_view text);

}  // namespace brelo
