#include "jnx/MapEdits.h"

#include <limits>

#include "jnx/Errors.h"
#include "jnx/Text.h"

namespace brelo {

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::int32_t LenientInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    int d = HexDigit(text[i]);
    if (d < 0 || d >= base) break;
    value = value * base + d;
    if (value > std::numeric_limits<std::uint32_t>::max()) value = std::numeric_limits<std::uint32_t>::max();
  }
  const bool whole = i == text.size();
  if (whole && negative) value = -value;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::int64_t StrictInt(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size()) throw EFormatError("'" + text + "' is not a valid integer value");
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9' || value > (std::int64_t(1) << 40))
      throw EFormatError("'" + text + "' is not a valid integer value");
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

TMapEditCells EditCellsFromMap(const TJnxMap& map) {
  TMapEditCells cells;
  cells.Version = std::to_string(map.Version);
  cells.ProductId = std::to_string(map.ProductId);
  cells.ProductName = map.ProductName;
  cells.ZOrder = std::to_string(map.ZOrder);
  cells.DetailLevel = map.DetailLevel;
  cells.ProductId2 = std::to_string(map.ProductId2);
  for (const auto& level : map.Levels)
    cells.Levels.push_back({std::to_string(level.Scale), map.Version == 4 ? level.LevelCopyright : level.Copyright,
                            level.Name, level.Description});
  return cells;
}

void ApplyMapEdits(TJnxMap& map, TMapEditCells& cells) {
  std::int32_t v = LenientInt(cells.Version);
  if (v == 3 || v == 4) map.Version = v;
  cells.Version = std::to_string(map.Version);

  v = LenientInt(cells.ProductId);
  if (v >= 0) map.ProductId = v;
  map.ProductId2 = static_cast<std::int16_t>(static_cast<std::uint16_t>(map.ProductId & 0xFFFF));
  cells.ProductId = std::to_string(map.ProductId);
  cells.ProductId2 = std::to_string(map.ProductId2);

  std::string name = TrimBlanks(cells.ProductName);
  if (!name.empty()) map.ProductName = name;
  cells.ProductName = map.ProductName;

  if (map.Version == 4) {
    map.ZOrder = LenientInt(cells.ZOrder);
    if (map.ZOrder < 0 || map.ZOrder > 100) map.ZOrder = 30;
  } else {
    map.ZOrder = -1;
  }
  cells.ZOrder = std::to_string(map.ZOrder);

  map.DetailLevel = cells.DetailLevel;

  for (std::size_t i = 0; i < map.Levels.size() && i < cells.Levels.size(); ++i) {
    TJnxLevel& level = map.Levels[i];
    const TLevelEditCells& c = cells.Levels[i];
    level.Scale = static_cast<std::uint32_t>(StrictInt(c.Scale));
    level.LevelCopyright = c.Copyright;
    level.Copyright = c.Copyright;
    level.Name = c.Name;
    level.Description = c.Description;
  }
}

}  // namespace brelo
