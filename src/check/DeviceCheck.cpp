// SPDX-License-Identifier: GPL-3.0-or-later
#include "check/DeviceCheck.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include <sys/stat.h>

#include "MyJpeg/JpegFrame.h"
#include "base/Errors.h"
#include "base/Stream.h"
#include "base/Text.h"
#include "jnx/JnxReader.h"
#include "jnx/ScaleTable.h"
#include "jnx/TileSource.h"

namespace brelo {

namespace {

constexpr std::uint64_t k4GiB = std::uint64_t(1) << 32;
// A level with many faults is summed up after these many of a kind.
constexpr int kListedPerKind = 5;

TFinding Make(TSeverity s, const char* code, std::string message, int level = 0, int tile = 0) {
  return {s, code, std::move(message), level, tile};
}

std::string Where(int level, int tile) {
  return tile > 0 ? Format("level %d, tile %d: ", level, tile) : level > 0 ? Format("level %d: ", level) : "";
}

// Collects findings of one kind, listing the first few and counting the rest.
class TKind {
 public:
  TKind(std::vector<TFinding>& out, TSeverity s, const char* code) : out_(out), s_(s), code_(code) {}
  void Add(int level, int tile, const std::string& what) {
    if (++count_ <= kListedPerKind) out_.push_back(Make(s_, code_, Where(level, tile) + what, level, tile));
  }
  void Close(int level, const std::string& what) {
    if (count_ > kListedPerKind)
      out_.push_back(
          Make(s_, code_, Where(level, 0) + Format("%d more tiles %s", count_ - kListedPerKind, what.c_str()), level));
    count_ = 0;
  }

 private:
  std::vector<TFinding>& out_;
  TSeverity s_;
  const char* code_;
  int count_ = 0;
};

bool Overlap(const TJnxTile& a, const TJnxTile& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Bottom < b.Top && b.Bottom < a.Top;
}

void CheckTables(const TJnxMap& map, std::uint64_t fileSize, std::vector<TFinding>& out) {
  for (std::size_t li = 0; li < map.Levels.size(); ++li) {
    const TJnxLevel& level = map.Levels[li];
    const int L = static_cast<int>(li) + 1;
    if (static_cast<std::int64_t>(level.Tiles.size()) != level.TileCount) continue;  // header-only load
    TKind empty(out, TSeverity::Error, "tile-size"), degenerate(out, TSeverity::Error, "tile-bounds"),
        outside(out, TSeverity::Error, "tile-outside"), pastEnd(out, TSeverity::Error, "tile-data"),
        overlap(out, TSeverity::Warning, "tile-overlap");
    int partly = 0;
    for (std::size_t ti = 0; ti < level.Tiles.size(); ++ti) {
      const TJnxTile& t = level.Tiles[ti];
      const int T = static_cast<int>(ti) + 1;
      if (t.Width <= 0 || t.Height <= 0) empty.Add(L, T, Format("a tile of %d x %d pixels", t.Width, t.Height));
      if (t.Right <= t.Left || t.Top <= t.Bottom) {
        degenerate.Add(L, T, "its box has no width or no height");
        continue;
      }
      if (t.Right <= map.West || t.Left >= map.East || t.Top <= map.South || t.Bottom >= map.North)
        outside.Add(L, T, "it lies outside the map's box, where no receiver looks for it");
      else if (t.Left < map.West || t.Right > map.East || t.Bottom < map.South || t.Top > map.North)
        ++partly;
      const std::uint64_t end = std::uint64_t(t.ImageOffset) + static_cast<std::uint32_t>(std::max(0, t.ImageSize));
      if (t.ImageSize < 0 || end > fileSize)
        pastEnd.Add(L, T,
                    Format("its data (%d bytes at %u) lies past the end of the file", t.ImageSize, t.ImageOffset));
      else if (end >= k4GiB)
        pastEnd.Add(L, T, "its data lies past the 32-bit range of offsets");
    }
    empty.Close(L, "have no pixels");
    degenerate.Close(L, "have empty boxes");
    outside.Close(L, "lie outside the map's box");
    pastEnd.Close(L, "have data past the end of the file");
    if (partly > 0)
      out.push_back(Make(
          TSeverity::Warning, "header-box",
          Where(L, 0) + Format("the header's box does not hold %d of its tiles: receivers may cut them off", partly),
          L));
    // Tiles overlapping in one level: sorted by west edge, each met only by the tiles that
    // begin before it ends.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < level.Tiles.size(); ++i)
      if (level.Tiles[i].Right > level.Tiles[i].Left && level.Tiles[i].Top > level.Tiles[i].Bottom) order.push_back(i);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return level.Tiles[a].Left < level.Tiles[b].Left; });
    for (std::size_t k = 0; k < order.size(); ++k)
      for (std::size_t j = k + 1; j < order.size() && level.Tiles[order[j]].Left < level.Tiles[order[k]].Right; ++j)
        if (Overlap(level.Tiles[order[k]], level.Tiles[order[j]])) {
          const std::size_t a = std::min(order[k], order[j]), b = std::max(order[k], order[j]);
          overlap.Add(L, static_cast<int>(b) + 1, Format("it overlaps tile %zu", a + 1));
        }
    overlap.Close(L, "overlap others");
  }
}

}  // namespace

const char* SeverityName(TSeverity s) {
  switch (s) {
    case TSeverity::Error: return "error";
    case TSeverity::Warning: return "warning";
    case TSeverity::Note: break;
  }
  return "note";
}

int TMapCheck::Count(TSeverity s) const {
  return static_cast<int>(
      std::count_if(Findings.begin(), Findings.end(), [s](const TFinding& f) { return f.Severity == s; }));
}

std::string TMapCheck::Summary() const {
  const int errors = Count(TSeverity::Error), warnings = Count(TSeverity::Warning);
  if (errors == 0 && warnings == 0) return "ok";
  std::string text;
  if (errors) text = Format("%d error%s", errors, errors == 1 ? "" : "s");
  if (warnings) text += Format("%s%d warning%s", text.empty() ? "" : ", ", warnings, warnings == 1 ? "" : "s");
  return text;
}

int TFolderCheck::Errors() const {
  int n = static_cast<int>(
      std::count_if(Folder.begin(), Folder.end(), [](const TFinding& f) { return f.Severity == TSeverity::Error; }));
  for (const auto& m : Maps) n += m.Count(TSeverity::Error);
  return n;
}

std::vector<TFinding> CheckModel(const TJnxMap& map, std::uint64_t fileSize) {
  std::vector<TFinding> out;
  if (map.Version != 3 && map.Version != 4)
    out.push_back(
        Make(TSeverity::Error, "version", Format("format version %d: receivers read versions 3 and 4", map.Version)));
  if (map.LevelCount > kMaxLevels)
    out.push_back(Make(TSeverity::Error, "level-count",
                       Format("%d levels: receivers load at most %d", map.LevelCount, kMaxLevels)));
  if (fileSize >= k4GiB)
    out.push_back(Make(TSeverity::Error, "file-size",
                       Format("the file takes %llu bytes: receivers read files below 4 GiB",
                              static_cast<unsigned long long>(fileSize))));
  if (map.Version == 4 && (map.ZOrder < 0 || map.ZOrder > 100))
    out.push_back(Make(TSeverity::Warning, "zorder", Format("Z order %d lies outside 0 to 100", map.ZOrder)));
  auto text = [&](const std::string& value, const char* field, int level) {
    if (!IsWellFormedUtf8(value))
      out.push_back(Make(TSeverity::Warning, "text", Where(level, 0) + field + " is not valid UTF-8", level));
  };
  text(map.ProductName, "the product name", 0);
  text(map.DetailLevel, "the detail level", 0);
  text(map.UnknownString, "the description block's text", 0);
  for (std::size_t i = 0; i < map.Levels.size(); ++i) {
    const TJnxLevel& l = map.Levels[i];
    const int L = static_cast<int>(i) + 1;
    if (l.TileCount > kMaxTilesPerLevel)
      out.push_back(Make(
          TSeverity::Error, "tile-count",
          Where(L, 0) + Format("%d tiles: receivers show a level of at most %d", l.TileCount, kMaxTilesPerLevel), L));
    const std::uint64_t tableEnd =
        std::uint64_t(static_cast<std::uint32_t>(l.TilesOffset)) + std::uint64_t(28) * std::max(0, l.TileCount);
    if (l.TilesOffset < 0 || tableEnd >= k4GiB)
      out.push_back(Make(TSeverity::Error, "table-offset",
                         Where(L, 0) + "its tile table lies past the 32-bit range of offsets", L));
    text(l.LevelCopyright, "the copyright", L);
    text(l.Name, "the name", L);
    text(l.Description, "the description", L);
    text(l.Copyright, "the copyright text", L);
    if (std::none_of(ScaleTable.begin(), ScaleTable.end(), [&](const TScaleEntry& e) { return e.Value == l.Scale; }))
      out.push_back(Make(TSeverity::Warning, "scale-value",
                         Where(L, 0) + Format("scale %u is not one of the eTrex scales (nearest: %s)", l.Scale,
                                              ScaleName(l.Scale).c_str()),
                         L));
  }
  // Scales: distinct, and falling from the least detailed level to the most detailed.
  std::map<std::uint32_t, int> first;
  bool ordered = true;
  for (std::size_t i = 0; i < map.Levels.size(); ++i) {
    const std::uint32_t s = map.Levels[i].Scale;
    const auto [at, fresh] = first.emplace(s, static_cast<int>(i) + 1);
    if (!fresh)
      out.push_back(Make(TSeverity::Error, "scale-repeat",
                         Format("levels %d and %zu share the scale %u (%s): BaseCamp refuses such maps", at->second,
                                i + 1, s, ScaleName(s).c_str()),
                         static_cast<int>(i) + 1));
    if (i > 0 && map.Levels[i - 1].Scale < s) ordered = false;
  }
  if (!ordered)
    out.push_back(Make(TSeverity::Warning, "scale-order",
                       "the levels are not ordered from the least detailed (largest scale) to the most detailed"));
  CheckTables(map, fileSize, out);
  return out;
}

namespace {

// The tiles' frame markers (and, at Decode depth, every tile decoded) through an open file.
// The tiles' first bytes are read many at once; the rare frame marker further in is read on
// its own.
std::vector<TFinding> CheckTileData(const TJnxMap& map, TFileStream& in, TBatchReader& reader, TCheckDepth depth,
                                    unsigned threads) {
  // The heads live on the stack: a heap block freed per file would come back as fresh pages.
  constexpr std::size_t kBatch = 64;
  std::vector<TFinding> out;
  if (depth == TCheckDepth::Header) return out;
  const std::uint64_t size = in.Size();
  std::array<std::uint8_t, kBatch * kJpegFrameHeadBytes> heads;
  std::vector<TReadPiece> pieces;
  std::vector<std::size_t> tileOf;
  for (std::size_t li = 0; li < map.Levels.size(); ++li) {
    const TJnxLevel& level = map.Levels[li];
    const int L = static_cast<int>(li) + 1;
    TKind notJpeg(out, TSeverity::Error, "tile-jpeg"), progressive(out, TSeverity::Error, "tile-progressive"),
        extended(out, TSeverity::Warning, "tile-extended");
    for (std::size_t first = 0; first < level.Tiles.size(); first += kBatch) {
      pieces.clear();
      tileOf.clear();
      for (std::size_t ti = first; ti < std::min(first + kBatch, level.Tiles.size()); ++ti) {
        const TJnxTile& t = level.Tiles[ti];
        const std::uint64_t end = std::uint64_t(t.ImageOffset) + static_cast<std::uint32_t>(std::max(0, t.ImageSize));
        if (t.ImageSize <= 0 || end > size) continue;  // a table finding already
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(kJpegFrameHeadBytes, t.ImageSize));
        pieces.push_back({t.ImageOffset, heads.data() + pieces.size() * kJpegFrameHeadBytes, n, 0});
        tileOf.push_back(ti);
      }
      in.ReadPiecesAt(pieces, reader);
      for (std::size_t k = 0; k < pieces.size(); ++k) {
        const TReadPiece& head = pieces[k];
        const TJnxTile& t = level.Tiles[tileOf[k]];
        const TJpegFrameInfo frame = ReadJpegFrame(
            [&](std::uint64_t at, std::uint8_t* buffer, std::size_t n) -> std::size_t {
              if (at + n <= head.Got) return std::copy_n(head.Buffer + at, n, buffer) - buffer;
              return in.ReadAt(t.ImageOffset + at, buffer, n);
            },
            static_cast<std::uint64_t>(t.ImageSize), true);
        const int T = static_cast<int>(tileOf[k]) + 1;
        switch (frame.Frame) {
          case TJpegFrame::Baseline: break;
          case TJpegFrame::Extended:
            extended.Add(L, T, "an extended sequential JPEG: some receivers show only baseline");
            break;
          case TJpegFrame::NotJpeg: notJpeg.Add(L, T, "its data is not a JPEG picture"); break;
          default:
            progressive.Add(L, T,
                            std::string("a ") + JpegFrameName(frame.Frame) + " JPEG: receivers show only baseline");
            break;
        }
      }
    }
    notJpeg.Close(L, "hold no JPEG picture");
    progressive.Close(L, "are not baseline JPEGs");
    extended.Close(L, "are extended sequential JPEGs");
  }
  if (depth != TCheckDepth::Decode) return out;
  // Every tile decoded (at an eighth: the decoder still reads every coefficient).
  std::vector<TFinding> undecodable;
  int level = -1, count = 0;
  DecodeTiles(map, -1, 3, threads, [&](const TDecodedTile& d) {
    if (d.Ok) return;
    if (d.Level != level) level = d.Level, count = 0;
    if (++count <= kListedPerKind)
      undecodable.push_back(Make(TSeverity::Error, "tile-decode",
                                 Where(d.Level + 1, d.Tile + 1) + "it does not decode: " + d.Error, d.Level + 1,
                                 d.Tile + 1));
  });
  out.insert(out.end(), undecodable.begin(), undecodable.end());
  return out;
}

}  // namespace

std::vector<TFinding> CheckTileData(const TJnxMap& map, TCheckDepth depth, unsigned threads) {
  if (depth == TCheckDepth::Header) return {};
  TFileStream in(map.CurrentFile, TOpenMode::Read, 4096);
  TBatchReader reader;
  return CheckTileData(map, in, reader, depth, threads);
}

TMapCheck CheckMapFile(const std::string& path, TCheckDepth depth, unsigned threads, TBatchReader* reader) {
  TMapCheck check;
  check.Path = path;
  TJnxMap map;
  map.CurrentFile = path;
  try {
    // One open file for the header, the tables and the tiles' first bytes.
    TFileStream in(path, TOpenMode::Read, 4096);
    ReadJnx(map, in, path, depth != TCheckDepth::Header);
    check.Guid = map.Guid;
    check.Findings = CheckModel(map, in.Size());
    if (depth != TCheckDepth::Header) {
      // A ring of one's own pays off from a few dozen tiles on.
      std::optional<TBatchReader> own;
      std::size_t tiles = 0;
      for (const auto& level : map.Levels) tiles += level.Tiles.size();
      if (reader == nullptr) reader = &own.emplace(64, tiles < 32);
      const auto data = CheckTileData(map, in, *reader, depth, threads);
      check.Findings.insert(check.Findings.end(), data.begin(), data.end());
    }
  } catch (const EBreloError& e) {
    check.Findings.push_back(Make(TSeverity::Error, "unreadable", e.what()));
  }
  std::stable_sort(check.Findings.begin(), check.Findings.end(),
                   [](const TFinding& a, const TFinding& b) { return a.Severity < b.Severity; });
  return check;
}

namespace {

// Indexes of the maps by GUID; maps without one are left out.
std::map<std::string, std::vector<std::size_t>> MapsByGuid(const std::vector<std::string>& guids) {
  std::map<std::string, std::vector<std::size_t>> byGuid;
  for (std::size_t i = 0; i < guids.size(); ++i)
    if (!guids[i].empty()) byGuid[guids[i]].push_back(i);
  return byGuid;
}

}  // namespace

TFolderCheck CheckFolder(const std::string& folder, TCheckDepth depth, unsigned threads) {
  TFolderCheck result;
  std::string dir = folder.empty() ? std::string("./") : folder;
  if (dir.back() != '/') dir += '/';
  std::error_code ec;
  std::filesystem::directory_iterator it(dir, ec);
  if (ec) throw EIoError(folder + ": cannot open the folder: " + ec.message());
  std::vector<std::string> names;
  for (const auto& e : it) {
    const std::string name = e.path().filename().string();
    if (name.size() > 4 && LowerAscii(name.substr(name.size() - 4)) == ".jnx") names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return LowerAscii(a) < LowerAscii(b); });
  std::vector<std::string> files;
  for (const auto& name : names) {
    struct stat st {};
    if (::lstat((dir + name).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) continue;  // a folder named like a map is not one
    if (!S_ISREG(st.st_mode) &&
        !(S_ISLNK(st.st_mode) && ::stat((dir + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))) {
      result.Folder.push_back(
          Make(TSeverity::Error, "not-a-file", name + ": named like a map, but not a regular file (never opened)"));
      continue;
    }
    files.push_back(dir + name);
  }
  result.Maps.resize(files.size());
  // One map a thread: each map's own tile reads stay on its thread, through a reader that
  // thread takes from the spares and gives back.
  std::mutex mutex;
  std::vector<std::unique_ptr<TBatchReader>> spare;
  ParallelFor(files.size(), threads, [&](std::size_t i) {
    std::unique_ptr<TBatchReader> reader;
    {
      std::lock_guard lock(mutex);
      if (!spare.empty()) reader = std::move(spare.back()), spare.pop_back();
    }
    if (!reader && depth != TCheckDepth::Header) reader = std::make_unique<TBatchReader>();
    result.Maps[i] = CheckMapFile(files[i], depth, 1, reader.get());
    std::lock_guard lock(mutex);
    if (reader) spare.push_back(std::move(reader));
  });
  const int count = static_cast<int>(files.size());
  if (count > kMaxFilesNewer)
    result.Folder.push_back(
        Make(TSeverity::Error, "file-count",
             Format("%d JNX files: newer receivers show %d, older ones %d", count, kMaxFilesNewer, kMaxFilesOlder)));
  else if (count > kMaxFilesOlder)
    result.Folder.push_back(Make(
        TSeverity::Warning, "file-count",
        Format("%d JNX files: older receivers show only %d (newer ones %d)", count, kMaxFilesOlder, kMaxFilesNewer)));
  // Copies of one map: the receiver shows one of them.
  std::vector<std::string> guids;
  for (const auto& m : result.Maps) guids.push_back(m.Guid);
  for (const auto& [guid, same] : MapsByGuid(guids))
    if (same.size() > 1) {
      std::string list;
      for (const std::size_t i : same) list += (list.empty() ? "" : ", ") + result.Maps[i].Path.substr(dir.size());
      result.Folder.push_back(Make(TSeverity::Warning, "guid-copy",
                                   list + " share the map GUID " + guid + ": the receiver shows only one of them"));
    }
  return result;
}

std::vector<std::optional<TFinding>> GuidCopyFindings(const std::vector<std::string>& names,
                                                      const std::vector<std::string>& guids) {
  std::vector<std::optional<TFinding>> result(guids.size());
  for (const auto& [guid, same] : MapsByGuid(guids)) {
    if (same.size() < 2) continue;
    for (const std::size_t i : same) {
      std::string others;
      for (const std::size_t j : same)
        if (j != i) others += (others.empty() ? "" : ", ") + names.at(j);
      result[i] = Make(TSeverity::Warning, "guid-copy",
                       "the map GUID is also that of " + others + ": the receiver shows only one of them");
    }
  }
  return result;
}

}  // namespace brelo
