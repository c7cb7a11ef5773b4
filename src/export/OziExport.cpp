#include "export/OziExport.h"

#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <map>
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
#include "resources/Resources.h"
#include "uMapCreation/PictureReader.h"

namespace brelo {

namespace {

std::string TileName(int level, int x, int y) { return Format("l%d_%d_%d.jpg", level, x, y); }

void AddMemo(const TExportReport& r, const std::string& line) {
  if (r.Memo) r.Memo->push_back(line);
}

std::vector<std::uint8_t> FillerJpeg(int width, int height) {
  TPixelBuffer picture = DecodeBmp(resources::Wirus, resources::WirusSize);
  TPixelBuffer tile(width, height, 3);
  StretchHalftone(picture, tile);
  std::vector<std::uint8_t> jpeg;
  EncodeJpeg(tile, 90, false, false, jpeg);
  return jpeg;
}

}  // namespace

int SnapToGrid(int p, int cell) {
  int q = p / cell;
  int rem = p - q * cell;
  if (rem > cell / 2.0) ++q;
  return q * cell;
}

void WriteFillerTile(const std::string& path, int width, int height) {
  auto jpeg = FillerJpeg(width, height);
  WriteFileBytes(path, jpeg.data(), jpeg.size());
}

int BuildExportTiles(const TJnxMap& map, int level, TViewState& v, TJnxMap& b, const std::string& tileFolder,
                     const std::string& setFile, const TExportReport& report, std::string& info) {
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
  TFileStream in(map.CurrentFile, TOpenMode::Read);
  TMemoryStream buffer;
  const std::size_t count = tiles.size();
  std::function<TJob(std::size_t)> produce = [&](std::size_t i) {
    info = Format("Extracting tile %zu/%zu", i + 1, count);
    if (report.Info) report.Info(info);
    RestoreTileJpeg(in, tiles[i], buffer);
    return TJob{std::move(buffer.Data())};
  };
  std::function<void(TJob&, std::size_t)> consume = [&](TJob& job, std::size_t i) {
    const TJnxTile& t = tiles[i];
    TJpegImage image;
    image.LoadFromBytes(std::move(job.Jpeg));
    const TPixelBuffer& decoded = image.Pixels();
    // Tiles on the west edge sit right-aligned, on the north edge bottom-aligned, in a red cell.
    TPixelBuffer a(TW, TH, 3);
    a.Fill(255, 0, 0);
    a.Draw(decoded.ToRgb(), t.Left == b.West ? TW - t.Width : 0, t.Top == b.North ? TH - t.Height : 0);
    TPixelBuffer cell(SW, SH, 3);
    StretchHalftone(a, cell);
    if (lastUse.at(names[i]) != i) return;
    std::vector<std::uint8_t> out;
    EncodeJpeg(cell, 90, image.GrayOutput, image.WriteProgressive, out);
    WriteFileBytes(tileFolder + names[i], out.data(), out.size());
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
  std::vector<std::uint8_t> filler;
  for (int ix = 0; ix < nx; ++ix)
    for (int iy = 0; iy < ny; ++iy) {
      const std::string name = TileName(level, ix * SW, iy * SH);
      if (listed.count(name)) continue;
      if (filler.empty()) filler = FillerJpeg(SW, SH);
      WriteFileBytes(tileFolder + name, filler.data(), filler.size());
      names.push_back(name);
      listed.insert(name);
      AddMemo(report, name);
      ++fillers;
    }

  std::string set;
  for (const auto& n : names) set += n + "\r\n";
  WriteFileBytes(setFile, set.data(), set.size());
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

void PackExportFolder(const std::string& folder, const std::string& title, const std::string& archive) {
  TSafeFile file(archive);
  {
    TTarWriter tar(file.Stream());
    tar.WriteDirectoryEntry("set/", 0, NowDateTime());
    tar.WriteFileEntry(folder + title + ".map", title + ".map");
    tar.WriteFileEntry(folder + title + ".set", title + ".set");
    DIR* d = opendir((folder + "set").c_str());
    if (!d) throw EIoError(folder + "set: cannot open the folder");
    std::vector<std::string> entries;
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") entries.push_back(name);
    }
    closedir(d);
    for (const auto& name : entries) tar.WriteFileEntry(folder + "set/" + name, "set/" + name);
    tar.WriteEndOfArchive();
  }
  file.Commit();
}

TExportResult ExportOziTileSet(const TJnxMap& map, int level, const TViewState& view, const TExportReport& report) {
  const std::string& jnx = map.CurrentFile;
  const std::string title = FileNameOf(WithoutExtension(jnx));
  TExportResult result;
  result.Archive = ChangeExtension(jnx, ".tar");

  std::string pattern = FolderOf(jnx) + "." + title + ".export-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) throw EIoError(pattern + ": cannot create the export folder");
  const std::string folder = std::string(name.data()) + "/";
  try {
    CreateFolder(folder + "set/");
    // The export works on its own copies of the view state and the bounds.
    TViewState v = view;
    TJnxMap b;
    b.North = map.North, b.East = map.East, b.South = map.South, b.West = map.West;
    if (level >= 0 && level < static_cast<int>(map.Levels.size()))
      v.Mercator = IsSquarePixelRatio(LevelPixelRatio(map.Levels[static_cast<std::size_t>(level)]));
    std::string info;
    result.Fillers = BuildExportTiles(map, level, v, b, folder + "set/", folder + title + ".set", report, info);
    if (result.Fillers < 0) throw EFormatError(jnx + Format(": no level %d to export", level + 1));
    const int w = LonToX(v, b, b.East) - LonToX(v, b, b.West);
    const int h = LatToY(v, b, b.South) - LatToY(v, b, b.North);
    const int xs[4] = {0, w, w, 0}, ys[4] = {0, 0, h, h};
    TOziCorner corners[4];
    for (int k = 0; k < 4; ++k)
      corners[k] = {xs[k], ys[k], JnxToDeg(YToLat(v, b, ys[k])), JnxToDeg(XToLon(v, b, xs[k]))};
    const std::string text = OziMapText(title, level, corners, w, h);
    WriteFileBytes(folder + title + ".map", text.data(), text.size());

    info += "+" + std::to_string(result.Fillers) + ". Map is tared...";
    if (report.Info) report.Info(info);
    PackExportFolder(folder, title, result.Archive);
    info += " " + result.Archive + " saved.";
    if (report.Info) report.Info(info);
    result.InfoLine = info;
  } catch (...) {
    DeleteFolderTree(folder);
    throw;
  }
  DeleteFolderTree(folder);
  return result;
}

}  // namespace brelo
