// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/JnxWriter.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/Errors.h"
#include "base/SafeFile.h"
#include "base/StreamHelpers.h"
#include "base/Text.h"
#include "jnx/Guid.h"

namespace brelo {

void WriteHeaderRegion(TStream& out, const TJnxMap& map) {
  WriteInt32(out, map.Version);
  WriteInt32(out, map.DeviceId);
  WriteInt32(out, map.North);
  WriteInt32(out, map.East);
  WriteInt32(out, map.South);
  WriteInt32(out, map.West);
  WriteInt32(out, static_cast<std::int32_t>(map.Levels.size()));
  WriteInt32(out, map.Expiration);
  WriteInt32(out, map.ProductId);
  WriteInt32(out, map.Crc32);
  WriteInt32(out, map.SignatureVersion);
  WriteUInt32(out, kWrittenSignatureOffset);
  if (map.Version == 4) WriteInt32(out, map.ZOrder);
  for (const auto& level : map.Levels) {
    WriteInt32(out, level.TileCount);
    WriteInt32(out, level.TilesOffset);
    WriteUInt32(out, level.Scale);
    if (map.Version == 4) {
      WriteInt32(out, level.LevelUnknown);
      WriteString(out, level.LevelCopyright);
    }
  }
  WriteInt32(out, map.BlockVersion);
  WriteString(out, map.Guid);
  WriteString(out, map.ProductName);
  WriteString(out, map.UnknownString);
  WriteInt16(out, map.ProductId2);
  WriteString(out, map.DetailLevel);
  WriteInt32(out, map.LevelCount2);
  for (const auto& level : map.Levels) {
    WriteString(out, level.Name);
    WriteString(out, level.Description);
    WriteString(out, level.Copyright);
    WriteInt32(out, level.Zoom);
  }
}

void WriteTileTables(TStream& out, const TJnxMap& map) {
  std::vector<std::uint8_t> table;
  for (const auto& level : map.Levels) {
    table.assign(level.Tiles.size() * kTileEntrySize, 0);
    for (std::size_t i = 0; i < level.Tiles.size(); ++i) {
      const TJnxTile& t = level.Tiles[i];
      std::uint8_t* p = table.data() + i * kTileEntrySize;
      StoreInt32(p, static_cast<std::uint32_t>(t.Top));
      StoreInt32(p + 4, static_cast<std::uint32_t>(t.Right));
      StoreInt32(p + 8, static_cast<std::uint32_t>(t.Bottom));
      StoreInt32(p + 12, static_cast<std::uint32_t>(t.Left));
      StoreInt16(p + 16, static_cast<std::uint16_t>(t.Width));
      StoreInt16(p + 18, static_cast<std::uint16_t>(t.Height));
      StoreInt32(p + 20, static_cast<std::uint32_t>(t.ImageSize));
      StoreInt32(p + 24, t.ImageOffset);
    }
    out.Write(table.data(), table.size());
  }
}

void LayoutOffsets(TJnxMap& map) {
  // Offsets are 32-bit fields: the layout is worked out in 64 bits and refused whole when the
  // file would not fit, before any field is changed.
  std::uint64_t offset = std::uint64_t(HeaderSize(map)) + kHeaderGap;
  for (const auto& level : map.Levels) {
    if (offset > std::uint64_t(INT32_MAX)) break;
    offset += std::uint64_t(kTileEntrySize) * static_cast<std::uint32_t>(std::max(0, level.TileCount));
  }
  std::uint64_t end = offset;
  for (const auto& level : map.Levels)
    for (const auto& tile : level.Tiles) end += static_cast<std::uint32_t>(std::max(0, tile.ImageSize));
  end += kTrailerSize;
  if (offset > std::uint64_t(INT32_MAX) || end > std::uint64_t(UINT32_MAX))
    throw EFormatError(map.CurrentFile +
                       Format(": the new file would take %llu bytes; a JNX file holds less than 4 GiB",
                              static_cast<unsigned long long>(end)));
  std::uint32_t at = HeaderSize(map) + kHeaderGap;
  for (auto& level : map.Levels) {
    level.TilesOffset = static_cast<std::int32_t>(at);
    at += kTileEntrySize * static_cast<std::uint32_t>(level.TileCount);
  }
  for (auto& level : map.Levels)
    for (auto& tile : level.Tiles) {
      tile.ImageOffset = at;
      at += static_cast<std::uint32_t>(tile.ImageSize);
    }
}

namespace {

// "Level 2/3, Tiles 17/1024" without printf: a large map has many thousands of these.
std::string TileProgress(int level, int levels, int tile, int count) {
  std::string text = "Level ";
  auto number = [&text](int v) {
    char digits[16];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, v).ptr);
  };
  number(level);
  text += '/';
  number(levels);
  text += ", Tiles ";
  number(tile);
  text += '/';
  number(count);
  return text;
}

// The kernel copies faster between offsets on page boundaries: chunks end on them.
constexpr std::uint64_t kCopyChunk = std::uint64_t(16) << 20;

}  // namespace

void CopyTileData(const TJnxMap& map, TFileStream& out, std::uint32_t, const ProgressSink& progress,
                  const TWorkMeter* meter) {
  TFileStream source(map.CurrentFile, TOpenMode::Read);
  const int levels = static_cast<int>(map.SourceLocations.size());
  // Tiles stored back to back are copied as one run; each tile is reported once its bytes
  // have been copied, so the lines follow the work.
  struct TRun {
    std::uint64_t Offset, Length;
    std::size_t LastTile;  // index in `order` of the run's last tile
  };
  struct TTile {
    int Level, Index, Count;
    std::uint64_t End;  // source offset past its bytes
  };
  std::vector<TRun> runs;
  std::vector<TTile> order;
  for (int i = 0; i < levels; ++i) {
    const auto& locations = map.SourceLocations[static_cast<std::size_t>(i)];
    const int count = static_cast<int>(locations.size());
    for (int j = 0; j < count; ++j) {
      const TJnxTileLocation& loc = locations[static_cast<std::size_t>(j)];
      if (loc.ImageSize < 0)
        throw EFormatError(map.CurrentFile + Format(": negative ImageSize in tile %d of level %d", j + 1, i + 1));
      const std::uint64_t size = static_cast<std::uint32_t>(loc.ImageSize);
      order.push_back({i + 1, j + 1, count, std::uint64_t(loc.ImageOffset) + size});
      if (!runs.empty() && runs.back().Offset + runs.back().Length == loc.ImageOffset)
        runs.back().Length += size;
      else if (size > 0 || runs.empty())
        runs.push_back({loc.ImageOffset, size, 0});
      runs.back().LastTile = order.size() - 1;
    }
  }
  std::uint64_t total = 0, copied = 0;
  for (const TRun& run : runs) total += run.Length;
  // After each chunk: how far the copy is, and a stop the user asked for (the new file is
  // not in place yet: nothing is left of it).
  auto advance = [&](std::uint64_t bytes) {
    if (!meter) return;
    copied += bytes;
    meter->Advance(copied, total);
    if (meter->Cancelled()) throw ECancelled();
  };
  std::size_t reported = 0;
  // Reports every tile up to the given one, and those within the run up to source offset `to`.
  auto report = [&](std::size_t upTo, std::uint64_t to) {
    if (!progress) return;
    for (; reported < order.size() && (reported < upTo || (reported == upTo && order[reported].End <= to)); ++reported)
      progress(TileProgress(order[reported].Level, levels, order[reported].Index, order[reported].Count));
  };
  // All tile data in one run, with at least as many bytes before it as this file has so far:
  // the run is copied together with that many bytes before it to the start of this file, and
  // what was written is put back over them. Source and destination offsets then lie equally
  // on pages, and the kernel copies a range that starts a file much faster than one behind
  // data already written (on ext4 about 50 against 75 ms for 200 MB); the few hundred KB
  // written again cost next to nothing.
  const std::uint64_t written = out.Position();
  if (runs.size() == 1 && runs[0].Offset >= written && written <= (std::uint64_t(1) << 24)) {
    std::vector<std::uint8_t> head(static_cast<std::size_t>(written));
    out.Seek(0);
    out.ReadExact(head.data(), head.size(), "the new file's header");
    const std::uint64_t start = runs[0].Offset - written, end = runs[0].Offset + runs[0].Length;
    for (std::uint64_t at = start; at < end;) {
      const std::uint64_t next = std::min(end, (at / kCopyChunk + 1) * kCopyChunk);
      out.CopyRangeFromAt(source, at, at - start, next - at);
      advance(next - at);
      at = next;
      report(runs[0].LastTile, at);
    }
    report(order.size(), 0);
    out.Seek(0);
    out.Write(head.data(), head.size());
    out.Seek(written + runs[0].Length);
    return;
  }
  for (const TRun& run : runs) {
    for (std::uint64_t at = run.Offset, end = run.Offset + run.Length; at < end;) {
      const std::uint64_t next = std::min(end, (at / kCopyChunk + 1) * kCopyChunk);
      out.CopyRangeFrom(source, at, next - at);
      advance(next - at);
      at = next;
      report(run.LastTile, at);
    }
    report(run.LastTile + 1, 0);
  }
  report(order.size(), 0);
}

void WriteJnx(TJnxMap& map, const std::string& destination, int level, const TileDataWriter& writer,
              const ProgressSink& progress) {
  // Everything but the new Guid is put back, whatever happens.
  struct TRestore {
    TJnxMap& Map;
    std::vector<TJnxLevel> Levels;
    std::int32_t Count, Count2;
    std::vector<std::vector<TJnxTileLocation>> Locations;
    ~TRestore() {
      Map.Levels = std::move(Levels);
      Map.LevelCount = Count;
      Map.LevelCount2 = Count2;
      Map.SourceLocations = std::move(Locations);
    }
  } restore{map, map.Levels, map.LevelCount, map.LevelCount2, map.SourceLocations};

  std::uint32_t firstSource = 0;
  if (level < 0) {
    if (!map.SourceLocations.empty() && !map.SourceLocations[0].empty())
      firstSource = map.SourceLocations[0][0].ImageOffset;
  } else {
    if (level >= static_cast<int>(map.Levels.size()))
      throw EFormatError(map.CurrentFile + Format(": no level %d", level + 1));
    const auto& locations = map.SourceLocations.at(static_cast<std::size_t>(level));
    if (!locations.empty()) firstSource = locations[0].ImageOffset;
    TJnxLevel only = map.Levels[static_cast<std::size_t>(level)];
    auto onlyLocations = map.SourceLocations[static_cast<std::size_t>(level)];
    map.Levels.assign(1, std::move(only));
    map.SourceLocations.assign(1, std::move(onlyLocations));
    map.LevelCount = map.LevelCount2 = 1;
  }
  map.Guid = NewGuid();
  LayoutOffsets(map);

  TSafeFile file(destination);
  TFileStream& out = file.Stream();
  WriteHeaderRegion(out, map);
  const std::vector<std::uint8_t> gap(kHeaderGap, 0);
  out.Write(gap.data(), gap.size());
  WriteTileTables(out, map);
  writer(out, firstSource);
  out.Write(kTrailer, kTrailerSize);
  if (progress) progress("Wait...");
  file.Commit();
  if (progress) progress("Completed");
}

}  // namespace brelo
