// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One file of a multi-level map: tiles arrive in any order of levels, wait in a temporary
// file beside the destination, and are written level by level behind the header and tables
// when the volume is finished. Written through a temporary file: an earlier file of the
// name stays as it was until then.
#include <cstdint>
#include <string>
#include <vector>

#include "base/DataSpool.h"
#include "jnx/JnxMap.h"

namespace brelo {

// The texts and numbers of a new map's header and levels.
struct TMapTexts {
  std::int32_t ProductId = 0;
  std::string ProductName;
  std::int32_t ZOrder = 30;
  std::string DetailLevel, LevelName, LevelDescription, LevelCopyright;
};

class TVolumeWriter {
 public:
  // scales: of each level in file order, the least detailed first.
  TVolumeWriter(const std::string& path, const TMapTexts& texts, const std::vector<std::uint32_t>& scales);

  // The next tile of a level (in file order), a JPEG with its FF D8 marker.
  void Add(int level, const TJnxTileEntry& bounds, const std::vector<std::uint8_t>& jpeg);
  std::int64_t Tiles() const { return tiles_; }
  // Writes the file as path (its own name, or another to rename later); the map box is that
  // of its tiles. Raises EFormatError when it would reach 4 GiB. A volume without tiles
  // writes nothing and returns false.
  bool Finish(const std::string& path);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  TJnxMap map_;
  std::vector<std::vector<std::uint64_t>> offsets_;  // of each tile's bytes in the spool
  TDataSpool spool_;
  std::int64_t tiles_ = 0;
};

}  // namespace brelo
