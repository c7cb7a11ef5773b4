// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/JnxReader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "MyJpeg/JpegImage.h"
#include "base/Errors.h"
#include "base/StreamHelpers.h"
#include "base/Text.h"
#include "jnx/TileSource.h"

namespace brelo {

namespace {

constexpr std::uint32_t kV3HeaderSize = 48;

// Fills the entry from its stored bytes; on a little-endian machine they are its layout.
void LoadTileEntry(const std::uint8_t* p, TJnxTileEntry& e) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&e, p, sizeof e);
  } else {
    e.Top = LoadInt32(p);
    e.Right = LoadInt32(p + 4);
    e.Bottom = LoadInt32(p + 8);
    e.Left = LoadInt32(p + 12);
    e.Width = LoadInt16(p + 16);
    e.Height = LoadInt16(p + 18);
    e.ImageSize = LoadInt32(p + 20);
    e.ImageOffset = LoadUInt32(p + 24);
  }
}

[[noreturn]] void Fail(const std::string& name, const std::string& what) { throw EFormatError(name + ": " + what); }

// Parses the table into the level's tiles and its SourceLocations list in one pass, dropping
// each tile's cached bitmap on the way.
void ReadTileTable(TStream& in, const std::string& name, std::size_t levelIndex, TJnxLevel& level,
                   std::vector<TJnxTileLocation>& locations) {
  const std::size_t count = level.Tiles.size();
  const std::size_t bytes = count * kTileEntrySize;
  std::unique_ptr<std::uint8_t[]> table(new std::uint8_t[bytes]);  // filled by the read below
  in.Seek(static_cast<std::uint32_t>(level.TilesOffset));
  std::size_t got = in.Read(table.get(), bytes);
  if (got != bytes)
    Fail(name, Format("tile table of level %zu (TileCount %d at TilesOffset %d) is cut short", levelIndex + 1,
                      level.TileCount, level.TilesOffset));
  locations.resize(count);
  // Plain pointers: through the vectors the compiler reloads their storage on every store.
  TJnxTile* tiles = level.Tiles.data();
  TJnxTileLocation* out = locations.data();
  const std::uint8_t* p = table.get();
  for (std::size_t i = 0; i < count; ++i, p += kTileEntrySize) {
    TJnxTile& t = tiles[i];
    LoadTileEntry(p, t);
    t.Bitmap.reset();
    out[i] = {LoadInt32(p + 20), LoadUInt32(p + 24)};
  }
}

}  // namespace

void ReadJnx(TJnxMap& map, TStream& in, const std::string& name, bool withDetails) {
  // A detailed load drops every cached bitmap while it parses the tile tables.
  if (!withDetails) FreeTileCache(map);
  map.AllTilesCached = false;
  const std::uint64_t size = in.Size();
  map.FileSize = static_cast<std::uint32_t>(size);
  if (size < kV3HeaderSize)
    Fail(name, Format("file of %llu bytes is too short for a JNX header", static_cast<unsigned long long>(size)));

  in.Seek(0);
  ReadInt32(in, map.Version);
  ReadInt32(in, map.DeviceId);
  ReadInt32(in, map.North);
  ReadInt32(in, map.East);
  ReadInt32(in, map.South);
  ReadInt32(in, map.West);
  ReadInt32(in, map.LevelCount);
  ReadInt32(in, map.Expiration);
  ReadInt32(in, map.ProductId);
  ReadInt32(in, map.Crc32);
  ReadInt32(in, map.SignatureVersion);
  ReadUInt32(in, map.SignatureOffset);
  if (map.Version == 4)
    ReadInt32(in, map.ZOrder);
  else
    map.ZOrder = -1;

  // Counts are checked against the file before anything is sized by them.
  // Each level takes its table entry (v4: 16 bytes and at least a terminator) and a
  // description entry of at least 7 bytes, so no count can claim more than the file holds.
  const std::uint64_t entrySize = (map.Version == 4 ? 17 : 12) + 7;
  if (map.LevelCount < 0) Fail(name, Format("negative LevelCount %d", map.LevelCount));
  if (in.Position() + entrySize * static_cast<std::uint64_t>(map.LevelCount) > size)
    Fail(name, Format("LevelCount %d: the level table does not fit in the file", map.LevelCount));

  map.Levels.resize(static_cast<std::size_t>(map.LevelCount));
  std::uint64_t tableBytes = 0;
  for (std::size_t i = 0; i < map.Levels.size(); ++i) {
    TJnxLevel& level = map.Levels[i];
    ReadInt32(in, level.TileCount);
    if (level.TileCount < 0) Fail(name, Format("negative TileCount %d in level %zu", level.TileCount, i + 1));
    tableBytes += std::uint64_t(kTileEntrySize) * static_cast<std::uint64_t>(level.TileCount);
    if (tableBytes > size)
      Fail(name, Format("TileCount %d in level %zu: the tile tables do not fit in the file", level.TileCount, i + 1));
    ReadInt32(in, level.TilesOffset);
    ReadUInt32(in, level.Scale);
    if (map.Version == 4) {
      ReadInt32(in, level.LevelUnknown);
      ReadString(in, level.LevelCopyright);
    } else {
      level.LevelUnknown = 2;
      level.LevelCopyright.clear();
    }
  }
  // Tile lists are sized only after every count has passed the check above. A header-only load
  // keeps the lists it finds, and leaves empty ones empty: a folder scan loads many headers.
  for (TJnxLevel& level : map.Levels)
    if (withDetails || !level.Tiles.empty()) level.Tiles.resize(static_cast<std::size_t>(level.TileCount));

  if (in.Position() == map.SignatureOffset) in.Seek(in.Position() + kSignatureBlockSize);

  ReadInt32(in, map.BlockVersion);
  ReadString(in, map.Guid);
  map.Guid = UpperAscii(map.Guid);
  ReadString(in, map.ProductName);
  ReadString(in, map.UnknownString);
  ReadInt16(in, map.ProductId2);
  ReadString(in, map.DetailLevel);
  ReadInt32(in, map.LevelCount2);
  if (!withDetails) return;

  for (TJnxLevel& level : map.Levels) {
    ReadString(in, level.Name);
    ReadString(in, level.Description);
    ReadString(in, level.Copyright);
    ReadInt32(in, level.Zoom);
  }
  map.SourceLocations.resize(map.Levels.size());
  for (std::size_t i = 0; i < map.Levels.size(); ++i) ReadTileTable(in, name, i, map.Levels[i], map.SourceLocations[i]);
}

void ReadJnx(TJnxMap& map, const std::string& path, bool withDetails) {
  // A small buffer: the header region is short and the tables are read in bulk.
  TFileStream in(path, TOpenMode::Read, 16384);
  map.Loaded = {};
  ReadJnx(map, in, path, withDetails);
  if (withDetails) map.Loaded = StampOf(in, HeaderSize(map));
}

void VerifyUnchanged(const TJnxMap& map) {
  if (map.Loaded.Empty()) return;
  TFileStamp now;
  try {
    now = StampOf(map.CurrentFile, map.Loaded.Head.size());
  } catch (const EIoError& e) {
    throw EChangedOnDisk(map.CurrentFile + " changed on disk since it was loaded (" + e.what() + ")");
  }
  if (!(now == map.Loaded)) throw EChangedOnDisk(map.CurrentFile + " changed on disk since it was loaded");
}

void RestampLoaded(TJnxMap& map) { map.Loaded = StampOf(map.CurrentFile, HeaderSize(map)); }

std::vector<std::uint8_t> RestoreTileJpeg(const TJnxMap& map, int level, int tile) {
  if (level < 0 || level >= static_cast<int>(map.Levels.size()) || tile < 0 ||
      tile >= static_cast<int>(map.Levels[level].Tiles.size()))
    throw EFormatError(map.CurrentFile + Format(": no tile %d in level %d", tile + 1, level + 1));
  TTileSource source(map.CurrentFile);
  TMemoryStream out;
  source.Restore(map.Levels[level].Tiles[tile], level, tile, out);
  return std::move(out.Data());
}

bool DecodeTile(const TJnxMap& map, int level, int tile, TJpegImage& image) {
  if (level < 0 || level >= static_cast<int>(map.Levels.size())) return false;
  if (tile < 0 || tile >= static_cast<int>(map.Levels[level].Tiles.size())) return false;
  TTileSource source(map.CurrentFile);
  try {
    source.Decode(map.Levels[level].Tiles[tile], level, tile, image);
    return true;
  } catch (const EBreloError&) {
    return false;
  }
}

void FreeTileCache(TJnxMap& map) {
  for (auto& level : map.Levels)
    for (auto& tile : level.Tiles) tile.Bitmap.reset();
  map.AllTilesCached = false;
}

}  // namespace brelo
