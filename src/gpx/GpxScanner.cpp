#include "gpx/GpxScanner.h"

#include <charconv>
#include <cstdlib>

#include "base/Errors.h"

namespace brelo {

std::size_t FindFrom(std::string_view marker, std::string_view text, std::size_t start) {
  if (marker.empty() || text.empty() || start < 1 || start > text.size()) return 0;
  std::size_t at = text.find(marker, start - 1);
  return at == std::string_view::npos ? 0 : at + 1;
}

void ExtractBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                    std::string& found, std::size_t& position) {
  std::size_t s = startMarker.empty() ? 1 : FindFrom(startMarker, text, position);
  if (s == 0) {
    found.clear();
    return;
  }
  s += startMarker.size();
  if (endMarker.empty()) {
    found = s <= text.size() ? std::string(text.substr(s - 1)) : std::string();
    position = s;
    return;
  }
  std::size_t e = FindFrom(endMarker, text, s);
  found = e == 0 ? std::string() : std::string(text.substr(s - 1, e - s));
  position = e + endMarker.size();
}


namespace {
void AppendUtf8(std::string& out, unsigned long cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}
}  // namespace

std::string DecodeXmlText(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != '&') {
      out.push_back(text[i++]);
      continue;
    }
    bool done = false;
    for (auto [name, c] : kEntities)
      if (text.compare(i, name.size(), name) == 0) {
        out.push_back(c);
        i += name.size();
        done = true;
        break;
      }
    if (done) continue;
    std::size_t semi = text.find(';', i);
    if (text.compare(i, 2, "&#") == 0 && semi != std::string_view::npos && semi - i <= 10 && semi > i + 2) {
      const bool hex = text[i + 2] == 'x' || text[i + 2] == 'X';
      std::string digits(text.substr(i + (hex ? 3 : 2), semi - i - (hex ? 3 : 2)));
      char* end = nullptr;
      unsigned long cp = digits.empty() ? 0 : std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
      const bool valid = !digits.empty() && end && *end == '\0' && digits[0] != '-' && digits[0] != '+' &&
                         cp > 0 && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
      if (valid) {
        AppendUtf8(out, cp);
        i = semi + 1;
        continue;
      }
    }
    out.push_back(text[i++]);
  }
  return out;
}

std::string EscapeXmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

}  // namespace brelo
