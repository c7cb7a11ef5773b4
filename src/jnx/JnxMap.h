// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The in-memory model of one JNX file. Field names and widths follow the file layout.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "MyJpeg/PixelBuffer.h"
#include "base/FileStamp.h"

namespace brelo {

// One tile table entry, laid out as its 28 bytes on disk (little-endian).
struct TJnxTileEntry {
  std::int32_t Top = 0;           // [encoded] north edge
  std::int32_t Right = 0;         // [encoded] east edge
  std::int32_t Bottom = 0;        // [encoded] south edge
  std::int32_t Left = 0;          // [encoded] west edge
  std::int16_t Width = 0;         // [px]
  std::int16_t Height = 0;        // [px]
  std::int32_t ImageSize = 0;     // stored bytes, without the FF D8 marker
  std::uint32_t ImageOffset = 0;  // file offset of the stored bytes
};

constexpr std::uint32_t kTileEntrySize = 28;
static_assert(sizeof(TJnxTileEntry) == kTileEntrySize);

// A tile: its table entry plus the renderer's cache slot.
struct TJnxTile : TJnxTileEntry {
  std::shared_ptr<TPixelBuffer> Bitmap;  // decoded image, never stored
  // [canvas px] where Bitmap lies in the tile's on-canvas box: a tile far larger than the
  // canvas (zoomed far in) caches only the part of it around the canvas.
  int BitmapLeft = 0, BitmapTop = 0;
};

struct TJnxTileLocation {
  std::int32_t ImageSize = 0;
  std::uint32_t ImageOffset = 0;
};

struct TJnxLevel {
  std::int32_t TileCount = 0;
  std::int32_t TilesOffset = 0;
  std::uint32_t Scale = 0;
  std::int32_t LevelUnknown = 2;
  std::string LevelCopyright;
  std::string Name;
  std::string Description;
  std::string Copyright;
  std::int32_t Zoom = 0;
  std::vector<TJnxTile> Tiles;
};

struct TJnxMap {
  std::string CurrentFile;
  // CurrentFile as a detailed load found it (empty after any other load); in-place changes
  // write only into that very file.
  TFileStamp Loaded;
  std::uint32_t FileSize = 0;

  std::int32_t Version = 0;
  std::int32_t DeviceId = 0;
  std::int32_t North = 0;
  std::int32_t East = 0;
  std::int32_t South = 0;
  std::int32_t West = 0;
  std::int32_t LevelCount = 0;
  std::int32_t Expiration = 0;
  std::int32_t ProductId = 0;
  std::int32_t Crc32 = 0;
  std::int32_t SignatureVersion = 0;
  std::uint32_t SignatureOffset = 0;
  std::int32_t ZOrder = -1;

  std::int32_t BlockVersion = 0;
  std::string Guid;
  std::string ProductName;
  std::string UnknownString;
  std::int16_t ProductId2 = 0;
  std::string DetailLevel;
  std::int32_t LevelCount2 = 0;

  std::vector<TJnxLevel> Levels;
  std::vector<std::vector<TJnxTileLocation>> SourceLocations;
  bool AllTilesCached = false;
};

constexpr char kTrailer[] = "BirdsEye";  // 8 bytes, no terminator on disk
constexpr std::uint32_t kTrailerSize = 8;
constexpr std::uint32_t kHeaderGap = 1024;  // zero bytes before the first tile table in written files
constexpr std::uint32_t kSignatureBlockSize = 788;
constexpr std::uint32_t kFirstTilesOffsetField = 56;  // byte offset of level 1's TilesOffset (version 4)

// Stored size of a string: UTF-8 bytes plus the terminator.
std::uint32_t Utf8Size(const std::string& text);
// Every file the writers write or update is changed (a new Guid at least), so a signature it
// had no longer matches it, and the 788-byte block a reader would skip is never written: the
// written SignatureOffset is 0, and the description block is read where it was written.
constexpr std::uint32_t kWrittenSignatureOffset = 0;
// Size of header, level table and description block for the model as it will be written.
std::uint32_t HeaderSize(const TJnxMap& map);
// The level shown after a load (0-based): the last one, or the one before a last "dummy"
// level; -1 for a map without levels.
int ShownLevel(const TJnxMap& map);
// Rebuilds SourceLocations from the levels' tiles.
void RebuildSourceLocations(TJnxMap& map);
void RebuildSourceLocations(TJnxMap& map, std::size_t level);

}  // namespace brelo
