// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/OziExport.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>

#include <dirent.h>

#include "LibTar/TarWriter.h"
#include "MyJpeg/JpegImage.h"
#include "MyJpeg/StretchHalftone.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Pipeline.h"
#include "base/SafeFile.h"
#include "base/Text.h"
#include "export/OziMapFile.h"
#include "jnx/JnxReader.h"
#include "jnx/TileSource.h"
#include "pictures/PictureReader.h"
#include "resources/Resources.h"

namespace brelo {

namespace {

std::string TileName(int level, int x, int y) { return Format("l%d_%d_%d.jpg", level, x, y); }

void AddMemo(const TExportReport& r, const std::string& line) {
  if (r.Memo) r.Memo->push_back(line);
}

}  // namespace

std::vector<std::uint8_t> FillerTile(int width, int height) {
  TPixelBuffer picture = DecodeBmp(resources::Wirus, resources::WirusSize);
  TPixelBuffer tile(width, height, 3);
  StretchHalftone(picture, tile);
  std::vector<std::uint8_t> jpeg;
  EncodeJpeg(tile, 90, false, false, jpeg);
  return jpeg;
}

int SnapToGrid(int p, int cell) { return static_cast<int>(SnapToGrid64(p, cell)); }

std::int64_t SnapToGrid64(std::int64_t p, std::int64_t cell) {
  std::int64_t q = p / cell;
  const std::int64_t rem = p - q * cell;
  if (rem > cell / 2.0) ++q;
  return q * cell;
}

int BuildExportTiles(const TJnxMap& map, int level, TViewState& v, TJnxMap& b, TTileSpool& spool,
                     std::vector<std::string>& setNames, const TExportReport& report, std::string& info) {
  if (map.Levels.empty() || level < 0 || level >= static_cast<int>(map.Levels.size())) return -1;
  const auto& tiles = map.Levels[static_cast<std::size_t>(level)].Tiles;
  // A map file naming a first tile that does not exist is no export.
  if (tiles.empty()) throw EFormatError(map.CurrentFile + Format(": level %d has no tiles to export", level + 1));
  if (report.Memo) report.Memo->clear();
  AddMemo(report, Format("%4s %10s %10s %10s %10s", "lp", "lonW", "latN", "x", "y"));
  v.ViewOriginX = v.ViewOriginY = 0;
  v.ViewScale = 1.0;
  // Pixel positions and sizes are worked out in 64 bits: extreme bounds must not overflow.
  auto x = [&](std::int32_t lon) { return std::int64_t(LonToX(v, b, lon)); };
  auto y = [&](std::int32_t lat) { return std::int64_t(LatToY(v, b, lat)); };
  auto fail = [&](const std::string& what) {
    throw EFormatError(map.CurrentFile + Format(": level %d: ", level + 1) + what);
  };

  int TW = 0, TH = 0;
  std::int64_t SW = 0, SH = 0;
  for (const auto& t : tiles) {
    TW = std::max<int>(TW, t.Width);
    TH = std::max<int>(TH, t.Height);
    SW = std::max(SW, x(t.Right) - x(t.Left));
    SH = std::max(SH, y(t.Bottom) - y(t.Top));
  }
  AddMemo(report, Format("TileWidth=%d TileHeight=%d", TW, TH));
  AddMemo(report, Format("ScaledWidth=%lld ScaledHeight=%lld", static_cast<long long>(SW), static_cast<long long>(SH)));
  if (TW <= 0 || TH <= 0 || SW <= 0 || SH <= 0 || SW * SH > (1 << 26))
    fail(Format("no usable tile size (%d x %d pixels, cells %lld x %lld)", TW, TH, static_cast<long long>(SW),
                static_cast<long long>(SH)));
  // Edge shortfalls in the canvas pixels of the cells, which the grid and the map file are
  // measured in: a tile's own pixels differ from them wherever the projection stretches.
  std::int64_t dTop = 0, dLeft = 0, dBottom = 0, dRight = 0;
  for (const auto& t : tiles) {
    if (t.Top == b.North) dTop = SH - (y(t.Bottom) - y(t.Top));
    if (t.Left == b.West) dLeft = SW - (x(t.Right) - x(t.Left));
    if (t.Bottom == b.South) dBottom = SH - (y(t.Bottom) - y(t.Top));
    if (t.Right == b.East) dRight = SW - (x(t.Right) - x(t.Left));
  }

  // Grid names first: a later tile that snaps to the same cell replaces the earlier file.
  std::vector<std::string> names;
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    const auto& t = tiles[i];
    const std::int64_t px = SnapToGrid64(x(t.Left) + (t.Left != b.West ? dLeft : 0), SW);
    const std::int64_t py = SnapToGrid64(y(t.Top) + (t.Top != b.North ? dTop : 0), SH);
    if (px < INT32_MIN || px > INT32_MAX || py < INT32_MIN || py > INT32_MAX)
      fail(Format("tile %zu lies outside the range of pixel positions", i + 1));
    names.push_back(TileName(level, static_cast<int>(px), static_cast<int>(py)));
  }
  std::map<std::string, std::size_t> lastUse;
  for (std::size_t i = 0; i < names.size(); ++i) lastUse[names[i]] = i;

  // The grid, known before any tile is made: one that no receiver can hold is refused here.
  const std::int64_t westX = x(b.West) - dLeft, northY = y(b.North) - dTop;
  if (westX < INT32_MIN || northY < INT32_MIN) fail("the bounds lie outside the range of pixel positions");
  TJnxMap grid = b;
  grid.West = XToLon(v, b, static_cast<std::int32_t>(westX));
  grid.North = YToLat(v, b, static_cast<std::int32_t>(northY));
  const std::int64_t mapWidth = std::int64_t(LonToX(v, grid, grid.East)) + dRight - LonToX(v, grid, grid.West);
  const std::int64_t mapHeight = std::int64_t(LatToY(v, grid, grid.South)) + dBottom - LatToY(v, grid, grid.North);
  const double nxd = std::nearbyint(double(mapWidth) / double(SW)),
               nyd = std::nearbyint(double(mapHeight) / double(SH));
  if (nxd < 0 || nyd < 0 || nxd * nyd > kMaxExportCells || nxd * double(SW) > INT32_MAX || nyd * double(SH) > INT32_MAX)
    fail(Format("the export grid of %.0f x %.0f cells exceeds the %d tiles a level may hold", nxd, nyd,
                kMaxExportCells));
  const int nx = static_cast<int>(nxd), ny = static_cast<int>(nyd);

  struct TJob {
    std::vector<std::uint8_t> Jpeg;
  };
  TTileSource source(map.CurrentFile);
  TMemoryStream buffer;
  std::mutex spoolMutex;
  const std::size_t count = tiles.size();
  std::function<TJob(std::size_t)> produce = [&](std::size_t i) {
    if (report.Meter && report.Meter->Cancelled()) throw ECancelled();
    info = Format("Extracting tile %zu/%zu", i + 1, count);
    if (report.Info) report.Info(info);
    if (report.Meter) report.Meter->Advance(i, count);
    source.Restore(tiles[i], level, static_cast<int>(i), buffer);
    return TJob{std::move(buffer.Data())};
  };
  std::function<void(TJob&, std::size_t)> consume = [&](TJob& job, std::size_t i) {
    const TJnxTile& t = tiles[i];
    TJpegImage image;
    image.LoadFromBytes(std::move(job.Jpeg));
    const TPixelBuffer& decoded = image.Pixels();
    // Tiles on the west edge sit right-aligned, on the north edge bottom-aligned, in a red
    // TW x TH cell stretched onto SW x SH. The cell is never made: its size comes from the
    // tile table, which may claim far more than the decoded tile.
    thread_local TPixelBuffer cell;  // reused: a fresh buffer per tile costs page faults
    if (cell.Width != SW || cell.Height != SH || cell.Channels != 3)
      cell = TPixelBuffer(static_cast<int>(SW), static_cast<int>(SH), 3);
    static const std::uint8_t red[3] = {255, 0, 0};
    const int ox = t.Left == b.West ? TW - t.Width : 0, oy = t.Top == b.North ? TH - t.Height : 0;
    StretchPlacedHalftone(decoded, TW, TH, ox, oy, red, cell);
    if (lastUse.at(names[i]) != i) return;
    std::vector<std::uint8_t> out;
    EncodeJpeg(cell, 90, image.GrayOutput, image.WriteProgressive, out);
    std::lock_guard lock(spoolMutex);
    spool.Put(names[i], out);
  };
  TPipelineResult result = RunPipeline<TJob>(count, produce, consume, PipelineThreads());
  if (report.Meter && report.Meter->Cancelled()) throw ECancelled();
  if (!result.Ok())
    throw EFormatError(map.CurrentFile + Format(": tile %zu of level %d: ", result.FailedItem + 1, level + 1) +
                       result.Error);
  for (std::size_t i = 0; i < count; ++i) AddMemo(report, Format("%zu#9%s", i + 1, names[i].c_str()));
  AddMemo(report, "dodane kafelki");

  b.West = grid.West;
  b.North = grid.North;

  std::set<std::string> listed(names.begin(), names.end());
  int fillers = 0;
  std::string firstFiller;
  for (int ix = 0; ix < nx; ++ix)
    for (int iy = 0; iy < ny; ++iy) {
      const std::string name = TileName(level, ix * static_cast<int>(SW), iy * static_cast<int>(SH));
      if (listed.count(name)) continue;
      if (firstFiller.empty()) {
        spool.Put(name, FillerTile(static_cast<int>(SW), static_cast<int>(SH)));
        firstFiller = name;
      } else {
        spool.Alias(name, firstFiller);
      }
      names.push_back(name);
      listed.insert(name);
      AddMemo(report, name);
      ++fillers;
    }

  setNames = names;
  if (report.Memo) {
    report.Memo->insert(
        report.Memo->begin(),
        {Format("MapWidth=%lld MapHeight=%lld", static_cast<long long>(mapWidth), static_cast<long long>(mapHeight)),
         Format("newMapWidth=%lld newMapHeight=%lld", static_cast<long long>(nx * SW), static_cast<long long>(ny * SH)),
         Format("nx=%d ny=%d", nx, ny)});
  }
  const std::int32_t east = XToLon(v, b, static_cast<std::int32_t>(LonToX(v, b, b.West) + nx * SW));
  const std::int32_t south = YToLat(v, b, static_cast<std::int32_t>(LatToY(v, b, b.North) + ny * SH));
  b.East = east;
  b.South = south;
  return fillers;
}

void PackExportFolder(const std::string& archive, const std::string& title, const std::string& mapText,
                      const std::vector<std::string>& setNames, TTileSpool& tiles) {
  std::string setText;
  for (const auto& n : setNames) setText += n + "\r\n";
  const double now = NowDateTime();
  TSafeFile file(archive);
  {
    TTarWriter tar(file.Stream());
    tar.WriteDirectoryEntry("set/", 0, now);
    tar.WriteBytesEntry({mapText.begin(), mapText.end()}, title + ".map", now);
    tar.WriteBytesEntry({setText.begin(), setText.end()}, title + ".set", now);
    std::set<std::string> packed;
    for (const auto& name : setNames)
      if (packed.insert(name).second) tar.WriteBytesEntry(tiles.Get(name), "set/" + name, now);
    tar.WriteEndOfArchive();
  }
  file.Commit();
}

TExportResult ExportOziTileSet(const TJnxMap& map, int level, const TViewState& view, const TExportReport& report) {
  const std::string& jnx = map.CurrentFile;
  const std::string title = FileNameOf(WithoutExtension(jnx));
  TExportResult result;
  result.Archive = ChangeExtension(jnx, ".tar");

  TTileSpool spool(FolderOf(jnx));
  // The export works on its own copies of the view state and the bounds.
  TViewState v = view;
  TJnxMap b;
  b.North = map.North, b.East = map.East, b.South = map.South, b.West = map.West;
  if (level >= 0 && level < static_cast<int>(map.Levels.size()))
    v.Mercator = IsSquarePixelRatio(LevelPixelRatio(map.Levels[static_cast<std::size_t>(level)]));
  std::string info;
  std::vector<std::string> setNames;
  result.Fillers = BuildExportTiles(map, level, v, b, spool, setNames, report, info);
  if (result.Fillers < 0) throw EFormatError(jnx + Format(": no level %d to export", level + 1));
  const std::int64_t w64 = std::int64_t(LonToX(v, b, b.East)) - LonToX(v, b, b.West);
  const std::int64_t h64 = std::int64_t(LatToY(v, b, b.South)) - LatToY(v, b, b.North);
  if (w64 < 0 || h64 < 0 || w64 > INT32_MAX || h64 > INT32_MAX)
    throw EFormatError(jnx + Format(": level %d: the exported image of %lld x %lld pixels is out of range", level + 1,
                                    static_cast<long long>(w64), static_cast<long long>(h64)));
  const int w = static_cast<int>(w64), h = static_cast<int>(h64);
  const int xs[4] = {0, w, w, 0}, ys[4] = {0, 0, h, h};
  TOziCorner corners[4];
  for (int k = 0; k < 4; ++k) corners[k] = {xs[k], ys[k], JnxToDeg(YToLat(v, b, ys[k])), JnxToDeg(XToLon(v, b, xs[k]))};
  const std::string text = OziMapText(title, level, corners, w, h);

  info += Format("+%d. Map is tared...", result.Fillers);
  if (report.Info) report.Info(info);
  PackExportFolder(result.Archive, title, text, setNames, spool);
  info += " " + result.Archive + " saved.";
  if (report.Info) report.Info(info);
  result.InfoLine = info;
  return result;
}

}  // namespace brelo
