// SPDX-License-Identifier: GPL-3.0-or-later
#include "uMapCreation/CreatedMapWriter.h"

#include "base/Errors.h"
#include "base/StreamHelpers.h"
#include "base/Text.h"
#include "jnx/Guid.h"
#include "jnx/JnxWriter.h"
#include "jnx/ScaleTable.h"

namespace brelo {

namespace {

// Regions 1 to 4 of a new one-level version-4 file; returns the position of the level's
// TilesOffset field.
std::uint64_t WriteCreatedHeader(TStream& out, std::int32_t productId, const std::string& productName,
                                 std::int32_t zOrder, std::int32_t north, std::int32_t east, std::int32_t south,
                                 std::int32_t west, std::int32_t tileCount, const std::string& scaleName,
                                 const std::string& detailLevel, const std::string& levelName,
                                 const std::string& levelDescription, const std::string& levelCopyright) {
  TJnxMap m;
  m.Version = 4;
  m.North = north, m.East = east, m.South = south, m.West = west;
  m.LevelCount = m.LevelCount2 = 1;
  m.ProductId = productId;
  m.ZOrder = zOrder;
  m.BlockVersion = 9;
  m.Guid = NewGuid();
  m.ProductName = productName;
  m.ProductId2 = static_cast<std::int16_t>(static_cast<std::uint16_t>(productId & 0xFFFF));
  m.DetailLevel = detailLevel;
  TJnxLevel level;
  level.TileCount = tileCount;
  level.Scale = static_cast<std::uint32_t>(ScaleValue(scaleName));
  level.LevelUnknown = 2;
  level.LevelCopyright = level.Copyright = levelCopyright;
  level.Name = levelName;
  level.Description = levelDescription;
  level.Zoom = 1;
  m.Levels.push_back(std::move(level));
  const std::uint64_t start = out.Position();
  WriteHeaderRegion(out, m);
  const std::vector<std::uint8_t> gap(kHeaderGap, 0);
  out.Write(gap.data(), gap.size());
  return start + kFirstTilesOffsetField;
}

}  // namespace

TCreatedMapWriter::TCreatedMapWriter(const std::string& destination, const TCreationParams& p,
                                     const TPixelCalibration& calibration, int tileCount)
    : calibration_(calibration), source_(p.Source) {
  if (ScaleValue(p.ScaleName) < 0) throw EFormatError("unknown eTrex scale name \"" + p.ScaleName + "\"");
  if (tileCount < 1 || tileCount > kMaxCreatedTiles)
    throw EFormatError(p.Source + Format(": %d tiles; a level holds 1 to %d", tileCount, kMaxCreatedTiles));
  file_ = std::make_unique<TSafeFile>(destination);
  TFileStream& out = file_->Stream();
  std::int32_t south, east;
  calibration.PixelToJnx(calibration.ImageWidth, calibration.ImageHeight, south, east);
  offsetField_ =
      WriteCreatedHeader(out, p.ProductId, p.ProductName, p.ZOrder, calibration.Lat1, east, south, calibration.Lon1,
                         tileCount, p.ScaleName, p.DetailLevel, p.LevelName, p.LevelDescription, p.LevelCopyright);
  tableStart_ = out.Position();
  data_ = tableStart_ + std::uint64_t(tileCount) * kTileEntrySize;
  // Room for the tile table, written once every tile's place is known.
  tables_.Levels.resize(1);
  tables_.Levels[0].Tiles.reserve(static_cast<std::size_t>(tileCount));
  count_ = tileCount;
  const std::vector<std::uint8_t> room(static_cast<std::size_t>(tileCount) * kTileEntrySize, 0);
  out.Write(room.data(), room.size());
}

TCreatedMapWriter::~TCreatedMapWriter() = default;

void TCreatedMapWriter::AddTile(std::int64_t x, std::int64_t y, int width, int height,
                                const std::vector<std::uint8_t>& jpeg) {
  if (static_cast<int>(tables_.Levels[0].Tiles.size()) >= count_)
    throw EFormatError(source_ + ": more tiles than announced");
  if (jpeg.size() < 2) throw EFormatError(source_ + ": an empty tile");
  TJnxTile t;
  calibration_.PixelToJnx(x, y, t.Top, t.Left);
  calibration_.PixelToJnx(x + width, y + height, t.Bottom, t.Right);
  t.Width = static_cast<std::int16_t>(width);
  t.Height = static_cast<std::int16_t>(height);
  const std::uint64_t stored = jpeg.size() - 2;
  if (data_ + stored + kTrailerSize > 0xFFFFFFFFull) throw EFormatError(source_ + ": the map would exceed 4 GiB");
  t.ImageSize = static_cast<std::int32_t>(stored);
  t.ImageOffset = static_cast<std::uint32_t>(data_);
  file_->Stream().Write(jpeg.data() + 2, stored);
  data_ += stored;
  tables_.Levels[0].Tiles.push_back(t);
}

void TCreatedMapWriter::Finish() {
  if (static_cast<int>(tables_.Levels[0].Tiles.size()) != count_) throw EFormatError(source_ + ": tiles are missing");
  TFileStream& out = file_->Stream();
  out.Write(kTrailer, kTrailerSize);
  out.Seek(tableStart_);
  WriteTileTables(out, tables_);
  out.Seek(offsetField_);
  WriteInt32(out, static_cast<std::int32_t>(tableStart_));
  file_->Commit();
}

}  // namespace brelo
