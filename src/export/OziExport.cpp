#include "export/OziExport.h"

#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <mutex>
#include <set>

#include "LibTar/TarWriter.h"
#include "MyJpeg/JpegImage.h"
#include "MyJpeg/StretchHalftone.h"
#include "export/OziMapFile.h"
#include "jnx/Coordinates.h"
#include "jnx/Errors.h"
#include "jnx/JnxReader.h"
#include "jnx/Paths.h"
#include "jnx/Pipeline.h"
#include "jnx/SafeFile.h"
#include "jnx/Text.h"
#include "jnx/TileSource.h"
#include "resources/Resources.h"
#include "uMapCreation/PictureReader.h"

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

int SnapToGrid(int p, int cell) {
  int q = p / cell;
  int rem = p - q * cell;
  if (rem > cell / 2.0) ++q;
  return q * cell;
}

int BuildExportTiles(const TJnxMap& map, int level, TViewState& v, TJnxMap& b, TTileSpool& spool,
                     std::vector<std::string>& setNames, const TExportReport& report, std::string& info) {
  if (map.Levels.empty() || level < 0 || level >= static_cast<int>(map.Levels.size())) return -1;
  if (report.Memo) report.Memo->clear();
  AddMemo(report, Format("%4s %10s %10s %10s %10s", "lp", "lonW", "latN", "x", "y"));
  v.ViewOriginX = v.ViewOriginY = 0;
  v.ViewScale = 1.0;
  const auto& tiles = map.Levels[static_cast<std::size_t>(level)].Tiles;

  int TW = 0, TH = 0, SW = 0, SH = 0;
  for (const auto& t : tiles) {
    TW = std::max<int>(TW, t.Width);
    TH = std::max<int>(TH, t.Height);
    SW = std::max(SW, Diff32(LonToX(v, b, t.Right), LonToX(v, b, t.Left)));
    SH = std::max(SH, Diff32(LatToY(v, b, t.Bottom), LatToY(v, b, t.Top)));
  }
  int dTop = 0, dLeft = 0, dBottom = 0, dRight = 0;
  for (const auto& t : tiles) {
    if (t.Top == b.North) dTop = TH - t.Height;
    if (t.Left == b.West) dLeft = TW - t.Width;
    if (t.Bottom == b.South) dBottom = TH - t.Height;
    if (t.Right == b.East) dRight = TW - t.Width;
  }
  AddMemo(report, Format("TileWidth=%d TileHeight=%d", TW, TH));
  AddMemo(report, Format("ScaledWidth=%d ScaledHeight=%d", SW, SH));
  if (!tiles.empty() && (TW <= 0 || TH <= 0 || SW <= 0 || SH <= 0 || std::int64_t(SW) * SH > (1 << 26)))
    throw EFormatError(map.CurrentFile + Format(": level %d has no usable tile size (%d x %d pixels, cells %d x %d)",
                                                level + 1, TW, TH, SW, SH));

  // Grid names first: a later tile that snaps to the same cell replaces the earlier file.
  std::vector<std::string> names;
  for (const auto& t : tiles) {
    int px = LonToX(v, b, t.Left) + (t.Left != b.West ? dLeft : 0);
    int py = LatToY(v, b, t.Top) + (t.Top != b.North ? dTop : 0);
    names.push_back(TileName(level, SnapToGrid(px, SW), SnapToGrid(py, SH)));
  }
  std::map<std::string, std::size_t> lastUse;
  for (std::size_t i = 0; i < names.size(); ++i) lastUse[names[i]] = i;

  struct TJob {
    std::vector<std::uint8_t> Jpeg;
  };
  TTileSource source(map.CurrentFile);
  TMemoryStream buffer;
  std::mutex spoolMutex;
  const std::size_t count = tiles.size();
  std::function<TJob(std::size_t)> produce = [&](std::size_t i) {
    info = Format("Extracting tile %zu/%zu", i + 1, count);
    if (report.Info) report.Info(info);
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
    if (cell.Width != SW || cell.Height != SH || cell.Channels != 3) cell = TPixelBuffer(SW, SH, 3);
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
  if (!result.Ok())
    throw EFormatError(map.CurrentFile + Format(": tile %zu of level %d: ", result.FailedItem + 1, level + 1) +
                       result.Error);
  for (std::size_t i = 0; i < count; ++i) AddMemo(report, Format("%zu#9%s", i + 1, names[i].c_str()));
  AddMemo(report, "dodane kafelki");

  const std::int32_t west = XToLon(v, b, LonToX(v, b, b.West) - dLeft);
  b.West = west;
  const std::int32_t north = YToLat(v, b, LatToY(v, b, b.North) - dTop);
  b.North = north;
  const int mapWidth = LonToX(v, b, b.East) + dRight - LonToX(v, b, b.West);
  const int mapHeight = LatToY(v, b, b.South) + dBottom - LatToY(v, b, b.North);
  const int nx = SW > 0 ? static_cast<int>(std::nearbyint(double(mapWidth) / SW)) : 0;
  const int ny = SH > 0 ? static_cast<int>(std::nearbyint(double(mapHeight) / SH)) : 0;

  std::set<std::string> listed(names.begin(), names.end());
  int fillers = 0;
  std::string firstFiller;
  for (int ix = 0; ix < nx; ++ix)
    for (int iy = 0; iy < ny; ++iy) {
      const std::string name = TileName(level, ix * SW, iy * SH);
      if (listed.count(name)) continue;
      if (firstFiller.empty()) {
        spool.Put(name, FillerTile(SW, SH));
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
    report.Memo->insert(report.Memo->begin(),
                        {Format("MapWidth=%d MapHeight=%d", mapWidth, mapHeight),
                         Format("newMapWidth=%d newMapHeight=%d", nx * SW, ny * SH), Format("nx=%d ny=%d", nx, ny)});
  }
  const std::int32_t east = XToLon(v, b, LonToX(v, b, b.West) + nx * SW);
  const std::int32_t south = YToLat(v, b, LatToY(v, b, b.North) + ny * SH);
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
  const int w = LonToX(v, b, b.East) - LonToX(v, b, b.West);
  const int h = LatToY(v, b, b.South) - LatToY(v, b, b.North);
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
