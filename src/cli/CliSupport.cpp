// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSupport.h"

#include <iostream>

#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "cli/Commands.h"
#include "jnx/JnxReader.h"
#include "jnx/MapEdits.h"

namespace brelo::cli {

TJnxMap LoadMap(const std::string& file) {
  TJnxMap map;
  map.CurrentFile = file;
  ReadJnx(map, file, true);
  return map;
}

void CheckLevel(const TJnxMap& map, int level) {
  if (level < 1 || level > map.LevelCount)
    throw ECommandFailed(map.CurrentFile + Format(": no level %d (the map has %d)", level, map.LevelCount));
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

void Report(const TCommandResult& r) {
  if (r.Ok) {
    std::cout << r.Text << '\n';
    // A written map's device check follows its result.
    if (!r.Check.empty()) std::cout << "check: " << r.Check << '\n';
    for (const auto& f : r.CheckFindings) std::cout << "  " << f << '\n';
    return;
  }
  std::string line;
  for (const auto& e : r.Earlier) line += OneLine(e) + "; ";
  line += OneLine(r.Text);
  if (!r.Detail.empty()) line += " (" + OneLine(r.Detail) + ")";
  throw ECommandFailed(line);
}

void ParseColour(const std::string& option, const std::string& text, std::uint8_t rgb[3]) {
  if (text == "white") return void(std::fill_n(rgb, 3, 255));
  if (text == "black") return void(std::fill_n(rgb, 3, 0));
  unsigned r = 0, g = 0, b = 0;
  char end = 0;
  if ((std::sscanf(text.c_str(), "#%2x%2x%2x%c", &r, &g, &b, &end) == 3 && text.size() == 7) ||
      (std::sscanf(text.c_str(), "%u,%u,%u%c", &r, &g, &b, &end) == 3 && r < 256 && g < 256 && b < 256)) {
    rgb[0] = static_cast<std::uint8_t>(r), rgb[1] = static_cast<std::uint8_t>(g), rgb[2] = static_cast<std::uint8_t>(b);
    return;
  }
  throw ECommandFailed(option + " " + text + ": give white, black, #RRGGBB or R,G,B");
}

std::vector<int> ParseNumberList(const std::string& text) {
  std::vector<int> out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(start, end - start);
    std::int64_t v = 0;
    try {
      v = StrictInt(item);
    } catch (const EFormatError&) {
      throw ECommandFailed("'" + text + "' is not a list of tile numbers");
    }
    out.push_back(static_cast<int>(v));
    start = end + 1;
  }
  return out;
}

}  // namespace brelo::cli
