// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/MapEdits.h"

#include <limits>

#include "base/Errors.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace brelo {

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
