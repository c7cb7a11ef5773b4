// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/JnxMap.h"

namespace brelo {

std::uint32_t Utf8Size(const std::string& text) { return static_cast<std::uint32_t>(text.size()) + 1; }

std::uint32_t HeaderSize(const TJnxMap& map) {
  std::uint32_t size = (map.Version == 4 ? 52 : 48) + 12u * static_cast<std::uint32_t>(map.Levels.size());
  if (map.Version == 4)
    for (const auto& level : map.Levels) size += 4 + Utf8Size(level.LevelCopyright);
  size += 10 + Utf8Size(map.Guid) + Utf8Size(map.ProductName) + Utf8Size(map.UnknownString) + Utf8Size(map.DetailLevel);
  for (const auto& level : map.Levels)
    size += 4 + Utf8Size(level.Name) + Utf8Size(level.Description) + Utf8Size(level.Copyright);
  return size;
}

int ShownLevel(const TJnxMap& map) {
  const int count = static_cast<int>(map.Levels.size());
  if (count == 0) return -1;
  if (map.Levels.back().Name == "dummy" && count > 1) return count - 2;
  return count - 1;
}

void RebuildSourceLocations(TJnxMap& map, std::size_t level) {
  auto& list = map.SourceLocations[level];
  list.clear();
  list.reserve(map.Levels[level].Tiles.size());
  for (const auto& tile : map.Levels[level].Tiles) list.push_back({tile.ImageSize, tile.ImageOffset});
}

void RebuildSourceLocations(TJnxMap& map) {
  map.SourceLocations.resize(map.Levels.size());
  for (std::size_t i = 0; i < map.Levels.size(); ++i) RebuildSourceLocations(map, i);
}

}  // namespace brelo
