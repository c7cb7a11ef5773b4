// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMapCreation/VolumeWriter.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/Paths.h"
#include "jnx/JnxWriter.h"

namespace brelo {

TVolumeWriter::TVolumeWriter(const std::string& path, const TMapTexts& texts, const std::vector<std::uint32_t>& scales)
    : path_(path), offsets_(scales.size()), spool_(FolderOf(path)) {
  TJnxMap& m = map_;
  m.CurrentFile = path;
  m.Version = 4;
  m.ProductId = texts.ProductId;
  m.ProductName = texts.ProductName;
  m.ProductId2 = static_cast<std::int16_t>(static_cast<std::uint16_t>(texts.ProductId & 0xFFFF));
  m.ZOrder = texts.ZOrder;
  m.BlockVersion = 9;
  m.DetailLevel = texts.DetailLevel;
  m.LevelCount = m.LevelCount2 = static_cast<std::int32_t>(scales.size());
  for (std::size_t i = 0; i < scales.size(); ++i) {
    TJnxLevel level;
    level.Scale = scales[i];
    level.LevelUnknown = 2;
    level.LevelCopyright = level.Copyright = texts.LevelCopyright;
    level.Name = texts.LevelName;
    level.Description = texts.LevelDescription;
    level.Zoom = static_cast<std::int32_t>(i + 1);
    m.Levels.push_back(std::move(level));
  }
}

void TVolumeWriter::Add(int level, const TJnxTileEntry& bounds, const std::vector<std::uint8_t>& jpeg) {
  if (jpeg.size() < 2) throw EFormatError(path_ + ": an empty tile");
  TJnxLevel& l = map_.Levels.at(static_cast<std::size_t>(level));
  TJnxTile t;
  static_cast<TJnxTileEntry&>(t) = bounds;
  t.ImageSize = static_cast<std::int32_t>(jpeg.size() - 2);  // stored without FF D8
  t.ImageOffset = 0;
  offsets_[static_cast<std::size_t>(level)].push_back(spool_.Append(jpeg.data() + 2, jpeg.size() - 2));
  l.Tiles.push_back(t);
  l.TileCount = static_cast<std::int32_t>(l.Tiles.size());
  ++tiles_;
}

bool TVolumeWriter::Finish(const std::string& path) {
  if (tiles_ == 0) return false;
  TJnxMap& m = map_;
  bool first = true;
  for (const auto& level : m.Levels)
    for (const auto& t : level.Tiles) {
      if (first) {
        m.North = t.Top, m.South = t.Bottom, m.East = t.Right, m.West = t.Left;
        first = false;
      }
      m.North = std::max(m.North, t.Top), m.South = std::min(m.South, t.Bottom);
      m.East = std::max(m.East, t.Right), m.West = std::min(m.West, t.Left);
    }
  auto writer = [this](TFileStream& out, std::uint32_t) {
    for (std::size_t l = 0; l < map_.Levels.size(); ++l)
      for (std::size_t i = 0; i < map_.Levels[l].Tiles.size(); ++i)
        spool_.CopyTo(offsets_[l][i], static_cast<std::uint32_t>(map_.Levels[l].Tiles[i].ImageSize), out);
  };
  WriteJnx(m, path, -1, writer, nullptr);
  return true;
}

}  // namespace brelo
