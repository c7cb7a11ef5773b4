// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/JnxUpdate.h"

#include <algorithm>
#include <set>

#include "MyJpeg/JpegImage.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "jnx/Guid.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxWriter.h"
#include "jnx/ScaleTable.h"

namespace brelo {

namespace {

bool HeaderFits(const TJnxMap& map) {
  if (map.Levels.empty()) return false;
  return static_cast<std::int64_t>(HeaderSize(map)) < map.Levels.front().TilesOffset;
}

void WriteTablesAt(TJnxMap& map) {
  TFileStream out(map.CurrentFile, TOpenMode::ReadWrite);
  out.Seek(static_cast<std::uint32_t>(map.Levels.front().TilesOffset));
  WriteTileTables(out, map);
  out.Close();
  RestampLoaded(map);
}

[[noreturn]] void Refuse(const TJnxMap& map, const std::string& why) { throw ERefused(map.CurrentFile + ": " + why); }

}  // namespace

void WriteHeader(TJnxMap& map, const std::string& path, bool newGuid) {
  if (path == map.CurrentFile) VerifyUnchanged(map);
  if (newGuid) map.Guid = NewGuid();
  if (!HeaderFits(map))
    Refuse(map, Format("no room left in the header for the longer texts: the header needs %u bytes and the first "
                       "tile table starts at byte %d",
                       HeaderSize(map), map.Levels.empty() ? 0 : map.Levels.front().TilesOffset));
  // Only an existing file is updated: a header alone is not a map.
  TFileStream out(path, TOpenMode::ReadWrite);
  const std::uint64_t end = static_cast<std::uint32_t>(map.Levels.front().TilesOffset);
  // A first table past the end of the file means a damaged file; clearing up to it would
  // grow the file to whatever the table claims.
  if (end > out.Size()) Refuse(map, "the first tile table lies past the end of the file");
  WriteHeaderRegion(out, map);
  std::vector<std::uint8_t> zeros(static_cast<std::size_t>(end - out.Position()), 0);
  out.Write(zeros.data(), zeros.size());
  out.Close();
  map.SignatureOffset = kWrittenSignatureOffset;
  if (path == map.CurrentFile) RestampLoaded(map);
}

bool TileTablesContiguous(const TJnxMap& map) {
  for (std::size_t i = 1; i < map.Levels.size(); ++i) {
    const auto& prev = map.Levels[i - 1];
    if (static_cast<std::int64_t>(map.Levels[i].TilesOffset) !=
        static_cast<std::int64_t>(prev.TilesOffset) + std::int64_t(kTileEntrySize) * prev.TileCount)
      return false;
  }
  return true;
}

void UpdateInPlace(TJnxMap& map, TUpdateSender sender) {
  VerifyUnchanged(map);
  if (sender == TUpdateSender::DeleteTiles)
    for (std::size_t i = 1; i < map.Levels.size(); ++i)
      map.Levels[i].TilesOffset = map.Levels[i - 1].TilesOffset + 28 * map.Levels[i - 1].TileCount;
  WriteHeader(map, map.CurrentFile, true);
  if (sender != TUpdateSender::DeleteTiles) return;
  try {
    WriteTablesAt(map);
  } catch (const EBreloError& e) {
    throw EDamaged(e.what());
  }
}

void DeleteTilesInPlace(TJnxMap& map, int level, const std::vector<int>& selected) {
  VerifyUnchanged(map);
  if (level < 0 || level >= static_cast<int>(map.Levels.size())) Refuse(map, Format("no level %d", level + 1));
  // Rewriting the tables in place would overwrite whatever follows a table that is not
  // directly followed by the next one; such files are left alone.
  if (!TileTablesContiguous(map)) Refuse(map, "the tile tables do not lie back to back");
  if (!HeaderFits(map)) Refuse(map, "the header does not fit before the first tile table");
  const std::set<int> drop(selected.begin(), selected.end());
  TJnxLevel& l = map.Levels[static_cast<std::size_t>(level)];
  std::vector<TJnxTile> kept;
  kept.reserve(l.Tiles.size());
  for (std::size_t i = 0; i < l.Tiles.size(); ++i)
    if (!drop.count(static_cast<int>(i))) kept.push_back(std::move(l.Tiles[i]));
  l.Tiles = std::move(kept);
  l.TileCount = static_cast<std::int32_t>(l.Tiles.size());
  if (map.SourceLocations.size() != map.Levels.size()) map.SourceLocations.resize(map.Levels.size());
  RebuildSourceLocations(map, static_cast<std::size_t>(level));
  UpdateInPlace(map, TUpdateSender::DeleteTiles);
}

bool CanAddDummyLevel(const TJnxMap& map) {
  return map.LevelCount >= 1 && map.LevelCount <= 4 && !map.Levels.empty() && map.Levels.back().Name != "dummy";
}

int DummyLevelScaleCount(const TJnxMap& map) {
  if (map.Levels.empty()) return static_cast<int>(ScaleTable.size());
  const std::uint32_t last = map.Levels.back().Scale;
  for (std::size_t i = 0; i < ScaleTable.size(); ++i)
    if (ScaleTable[i].Value >= last) return static_cast<int>(i) + 1;
  return static_cast<int>(ScaleTable.size());
}

bool IsOfferedDummyScale(const TJnxMap& map, std::uint32_t scale) {
  const int count = DummyLevelScaleCount(map);
  for (int i = 0; i < count; ++i)
    if (ScaleTable[static_cast<std::size_t>(i)].Value == scale) return true;
  return false;
}

void AppendDummyLevel(TJnxMap& map, std::uint32_t scale, const std::vector<std::uint8_t>& jpeg) {
  if (!IsOfferedDummyScale(map, scale)) {
    const int count = DummyLevelScaleCount(map);
    Refuse(map, Format("a placeholder level of scale %u is not offered; the scales on offer run from %s to %s", scale,
                       ScaleTable.front().Name, ScaleTable[static_cast<std::size_t>(std::max(1, count) - 1)].Name));
  }
  if (map.Levels.empty() || !TileTablesContiguous(map) || map.Levels.front().TilesOffset < 28)
    Refuse(map, "no room for a further level entry");
  VerifyUnchanged(map);
  // The model is put back unless the level reached the file.
  struct TRestore {
    TJnxMap& Map;
    TJnxMap Saved;
    bool Done = false;
    ~TRestore() {
      if (!Done) Map = std::move(Saved);
    }
  } restore{map, map};

  TJpegImage image;
  image.LoadFromBytes(jpeg);
  image.Decode();

  std::uint64_t fileSize;
  bool hasTrailer = false;
  {
    TFileStream in(map.CurrentFile, TOpenMode::Read);
    fileSize = in.Size();
    if (fileSize >= kTrailerSize) {
      char tail[kTrailerSize];
      in.Seek(fileSize - kTrailerSize);
      hasTrailer = in.Read(tail, kTrailerSize) == kTrailerSize && std::equal(tail, tail + kTrailerSize, kTrailer);
    }
  }
  // Without the trailer the last bytes may be tile data: append rather than overwrite them.
  const std::uint64_t dataOffset = hasTrailer ? fileSize - kTrailerSize : fileSize;
  if (dataOffset + jpeg.size() - 2 + kTrailerSize > 0xFFFFFFFFull) Refuse(map, "the file would exceed 4 GiB");

  for (auto& level : map.Levels) level.TilesOffset -= 28;
  const TJnxLevel& previous = map.Levels.back();
  TJnxLevel dummy;
  dummy.TileCount = 1;
  dummy.TilesOffset = previous.TilesOffset + 28 * previous.TileCount;
  dummy.Scale = scale;
  dummy.LevelUnknown = 2;
  dummy.LevelCopyright = dummy.Name = dummy.Description = dummy.Copyright = "dummy";
  TJnxTile tile;
  tile.Width = static_cast<std::int16_t>(image.Width());
  tile.Height = static_cast<std::int16_t>(image.Height());
  tile.Top = map.North;
  tile.Bottom =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(tile.Top) - static_cast<std::uint32_t>(tile.Height));
  tile.Left = map.West;
  tile.Right =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(tile.Left) + static_cast<std::uint32_t>(tile.Width));
  tile.ImageSize = static_cast<std::int32_t>(jpeg.size() - 2);
  tile.ImageOffset = static_cast<std::uint32_t>(dataOffset);
  dummy.Tiles.push_back(tile);
  map.Levels.push_back(std::move(dummy));
  map.LevelCount = static_cast<std::int32_t>(map.Levels.size());
  map.LevelCount2 = map.LevelCount;
  map.Levels.back().Zoom = map.LevelCount;

  WriteHeader(map, map.CurrentFile, true);
  try {
    TFileStream out(map.CurrentFile, TOpenMode::ReadWrite);
    out.Seek(static_cast<std::uint32_t>(map.Levels.front().TilesOffset));
    WriteTileTables(out, map);
    out.Seek(dataOffset);
    out.Write(jpeg.data() + 2, jpeg.size() - 2);
    out.Write(kTrailer, kTrailerSize);
    out.Close();
  } catch (const EBreloError& e) {
    throw EDamaged(e.what());
  }
  restore.Done = true;
  ReadJnx(map, map.CurrentFile, true);
}

}  // namespace brelo
