// SPDX-License-Identifier: GPL-3.0-or-later
#include <atomic>
#include <filesystem>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "LibTar/TarArchive.h"
#include "MyJpeg/JpegImage.h"
#include "MyJpeg/StretchHalftone.h"
#include "TestSupport.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "commands/ExportCommand.h"
#include "export/OziExport.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxUpdate.h"
#include "jnx/JnxWriter.h"
#include "uMapCreation/MapSource.h"

using namespace brelo;
using namespace brelo::test;

namespace {

// A one-level map of tiles given by pixel rectangles, by default 1.5e-5 degrees of longitude
// and 1e-5 of latitude per pixel from 50 N, 10 E (pixels not square in degrees: linear
// conversions); every tile a solid-colour JPEG of its size.
struct TGridPlace {
  double North = 50, West = 10, Unit = 1e-5, LonUnit = 1.5e-5;
};
void WriteGridJnx(const std::string& path, const std::vector<std::array<int, 4>>& rects, TGridPlace place = {}) {
  TJnxMap map;
  map.Version = 4, map.ZOrder = 30, map.BlockVersion = 9, map.Guid = "00000000-0000-0000-0000-000000000000";
  const double unit = place.Unit, lonUnit = place.LonUnit, north = place.North, west = place.West;
  int minX = 1 << 30, minY = 1 << 30, maxX = 0, maxY = 0;
  TJnxLevel level;
  level.Scale = 2388;
  std::vector<std::vector<std::uint8_t>> jpegs;
  for (const auto& [x, y, w, h] : rects) {
    TPixelBuffer p(w, h, 3);
    p.Fill(20, 180, 40);
    jpegs.emplace_back();
    EncodeJpeg(p, 90, false, false, jpegs.back());
    TJnxTile t;
    t.Left = DegToJnx(west + x * lonUnit), t.Right = DegToJnx(west + (x + w) * lonUnit);
    t.Top = DegToJnx(north - y * unit), t.Bottom = DegToJnx(north - (y + h) * unit);
    t.Width = static_cast<std::int16_t>(w), t.Height = static_cast<std::int16_t>(h);
    t.ImageSize = static_cast<std::int32_t>(jpegs.back().size() - 2);
    level.Tiles.push_back(t);
    minX = std::min(minX, x), minY = std::min(minY, y), maxX = std::max(maxX, x + w), maxY = std::max(maxY, y + h);
  }
  level.TileCount = static_cast<std::int32_t>(level.Tiles.size());
  map.Levels.push_back(level);
  map.LevelCount = map.LevelCount2 = 1;
  map.West = DegToJnx(west + minX * lonUnit), map.East = DegToJnx(west + maxX * lonUnit);
  map.North = DegToJnx(north - minY * unit), map.South = DegToJnx(north - maxY * unit);
  RebuildSourceLocations(map);
  auto writer = [&](TFileStream& out, std::uint32_t) {
    for (const auto& j : jpegs) out.Write(j.data() + 2, j.size() - 2);
  };
  ASSERT_NO_THROW(WriteJnx(map, path, -1, writer, nullptr));
}

struct TExported {
  TExportResult Result;
  std::vector<std::string> Memo, Entries;
  std::map<std::string, std::string> Files;  // entry name to contents
};

TExported Export(const std::string& jnx, int level) {
  TJnxMap map = LoadJnx(jnx);
  TViewState view;
  SetLevelGeometry(view, map.Levels[static_cast<std::size_t>(level)]);
  TExported e;
  TExportReport report{nullptr, &e.Memo};
  e.Result = ExportOziTileSet(map, level, view, report);
  TTarArchive tar(e.Result.Archive);
  TTarDirRec rec;
  while (tar.NextEntry(rec)) {
    e.Entries.push_back(rec.EntryName);
    tar.ExtractToString(e.Files[rec.EntryName]);
  }
  return e;
}

int CountFolders(const std::string& dir) {
  int n = 0;
  for (auto& entry : std::filesystem::directory_iterator(dir)) n += entry.is_directory();
  return n;
}

}  // namespace

TEST(OziExport, AlignedGridNeedsNoFillersAndArchiveOrder) {
  TTempDir dir;
  WriteGridJnx(dir.Path("g.jnx"), {{0, 0, 256, 256}, {256, 0, 256, 256}, {0, 256, 256, 256}, {256, 256, 256, 256}});
  TExported e = Export(dir.Path("g.jnx"), 0);
  EXPECT_EQ(e.Result.Fillers, 0);
  EXPECT_EQ(e.Result.InfoLine, "Extracting tile 4/4+0. Map is tared... " + dir.Path("g.tar") + " saved.");
  ASSERT_EQ(e.Entries.size(), 7u);
  EXPECT_EQ(e.Entries[0], "set/");
  EXPECT_EQ(e.Entries[1], "g.map");
  EXPECT_EQ(e.Entries[2], "g.set");
  for (std::size_t i = 3; i < 7; ++i) EXPECT_EQ(e.Entries[i].rfind("set/l0_", 0), 0u) << e.Entries[i];
  EXPECT_EQ(e.Files["g.set"], "l0_0_0.jpg\r\nl0_256_0.jpg\r\nl0_0_256.jpg\r\nl0_256_256.jpg\r\n");
  EXPECT_EQ(CountFolders(dir.Path()), 0);  // the export folder is gone
  // Memo: the three grid lines on top, the column heading, sizes, tiles, "dodane kafelki".
  ASSERT_GE(e.Memo.size(), 11u);
  EXPECT_EQ(e.Memo[0], "MapWidth=512 MapHeight=512");
  EXPECT_EQ(e.Memo[2], "nx=2 ny=2");
  EXPECT_EQ(e.Memo[4], "TileWidth=256 TileHeight=256");
  EXPECT_EQ(e.Memo[6], "1#9l0_0_0.jpg");
  EXPECT_EQ(e.Memo.back(), "dodane kafelki");

  // The map file: 22 lines, CR LF, four corners.
  auto lines = SplitLines(e.Files["g.map"]);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], "OziExplorer Map Data File Version 2.2");
  EXPECT_EQ(lines[2], "l0_0_0.jpg");
  EXPECT_EQ(lines[6], "Point1,xy,0,0,in,deg,50.000000,0,N,10.000000,0,E,grid,,,,");
  EXPECT_EQ(lines[11], "MMPNUM,4");
  EXPECT_EQ(lines[14], "MMPXY,3,512,512");
  EXPECT_EQ(lines[18], "MMPLL,3,10.007680,49.994880");
  EXPECT_EQ(lines[21], "IWH,Map Image Width/Height,512,512");
  EXPECT_EQ(std::count(e.Files["g.map"].begin(), e.Files["g.map"].end(), '\r'), 22);

  // Exporting again replaces the archive.
  const auto first = ReadFile(dir.Path("g.tar"));
  Export(dir.Path("g.jnx"), 0);
  EXPECT_EQ(ReadFile(dir.Path("g.tar")).size(), first.size());
}

TEST(OziExport, PartialWestAndNorthTilesAreAlignedInRedCells) {
  TTempDir dir;
  // A 100-pixel column on the west edge and a 60-pixel row on the north edge.
  WriteGridJnx(dir.Path("p.jnx"), {{0, 0, 100, 60}, {100, 0, 256, 60}, {0, 60, 100, 256}, {100, 60, 256, 256}});
  TExported e = Export(dir.Path("p.jnx"), 0);
  EXPECT_EQ(e.Result.Fillers, 0);
  EXPECT_EQ(e.Files["p.set"], "l0_0_0.jpg\r\nl0_256_0.jpg\r\nl0_0_256.jpg\r\nl0_256_256.jpg\r\n");
  TJpegImage corner;
  const auto& bytes = e.Files["set/l0_0_0.jpg"];
  corner.LoadFromBytes({bytes.begin(), bytes.end()});
  const TPixelBuffer& p = corner.Pixels();
  ASSERT_EQ(p.Width, 256);
  // Uncovered part (top-left) red, the tile itself at the bottom right.
  EXPECT_GT(p.Row(10)[10 * 3], 200);
  EXPECT_LT(p.Row(10)[10 * 3 + 1], 60);
  EXPECT_LT(p.Row(250)[250 * 3], 60);
  EXPECT_GT(p.Row(250)[250 * 3 + 1], 150);
  // The map file reaches out to the full cells: West 156 pixels, North 196 pixels further.
  auto lines = SplitLines(e.Files["p.map"]);
  EXPECT_EQ(lines[16], "MMPLL,1,9.997660,50.001960");
  EXPECT_EQ(lines[21], "IWH,Map Image Width/Height,512,512");
}

TEST(OziExport, HolesAndRaggedEdgesGetFillers) {
  TTempDir dir;
  // Three cells of a 2 x 2 grid, and a short tile on the east side of the top row.
  WriteGridJnx(dir.Path("h.jnx"), {{0, 0, 256, 256}, {256, 0, 200, 256}, {0, 256, 256, 256}});
  TExported e = Export(dir.Path("h.jnx"), 0);
  EXPECT_EQ(e.Result.Fillers, 1);
  EXPECT_EQ(e.Files["h.set"], "l0_0_0.jpg\r\nl0_256_0.jpg\r\nl0_0_256.jpg\r\nl0_256_256.jpg\r\n");
  EXPECT_EQ(e.Memo.back(), "l0_256_256.jpg");
  TJpegImage filler;
  const auto& bytes = e.Files["set/l0_256_256.jpg"];
  filler.LoadFromBytes({bytes.begin(), bytes.end()});
  EXPECT_EQ(filler.Width(), 256);
  EXPECT_EQ(filler.Height(), 256);
  EXPECT_NE(e.Result.InfoLine.find("+1. Map is tared..."), std::string::npos);
}

TEST(OziExport, SnappingOfHalfCells) {
  EXPECT_EQ(SnapToGrid(128, 256), 0);
  EXPECT_EQ(SnapToGrid(129, 256), 256);
  EXPECT_EQ(SnapToGrid(383, 256), 256);
  EXPECT_EQ(SnapToGrid(385, 256), 512);
  EXPECT_EQ(SnapToGrid(127, 255), 0);  // 127.5 is the half
  EXPECT_EQ(SnapToGrid(128, 255), 255);
  EXPECT_EQ(SnapToGrid(0, 256), 0);
}

TEST(OziExport, SouthWestMapAndGdal) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TTempDir dir;
  std::filesystem::copy_file(peer, dir.Path("sw.jnx"));
  TExported e = Export(dir.Path("sw.jnx"), 1);
  auto lines = SplitLines(e.Files["sw.map"]);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_NE(lines[6].find(",S,"), std::string::npos);
  EXPECT_NE(lines[6].find(",W,grid"), std::string::npos);
  EXPECT_EQ(lines[16].rfind("MMPLL,1,-70.700000,-33.800000", 0), 0u) << lines[16];
  if (!HaveTool("gdalinfo")) GTEST_SKIP() << "GDAL missing";
  // GDAL's OziExplorer driver: the geotransform spans the map bounds over IWH pixels.
  std::filesystem::create_directories(dir.Path("x"));
  WriteText(dir.Path("x/sw.map"), e.Files["sw.map"]);
  WriteText(dir.Path("x/l1_0_0.jpg"), e.Files["set/l1_0_0.jpg"]);
  TRunResult r = RunCommand("gdalinfo -json " + dir.Path("x/sw.map"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto j = nlohmann::json::parse(r.Out);
  EXPECT_EQ(j["driverShortName"], "MAP");
  auto gt = j["geoTransform"];
  auto field = [&](const std::string& line, int index) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t c; (c = line.find(',', start)) != std::string::npos; start = c + 1)
      parts.push_back(line.substr(start, c - start));
    parts.push_back(line.substr(start));
    return std::stod(parts[static_cast<std::size_t>(index)]);
  };
  const double width = field(lines[21], 2), height = field(lines[21], 3);
  const double unit = 180.0 / 2147483647.0;
  EXPECT_NEAR(gt[0].get<double>(), field(lines[16], 2), 1e-6);                                        // west
  EXPECT_NEAR(gt[3].get<double>(), field(lines[16], 3), 1e-6);                                        // north
  EXPECT_NEAR(gt[0].get<double>() + width * gt[1].get<double>(), field(lines[18], 2), 1e-6 + unit);   // east
  EXPECT_NEAR(gt[3].get<double>() + height * gt[5].get<double>(), field(lines[18], 3), 1e-6 + unit);  // south
}

TEST(OziExport, FailureKeepsTheEarlierArchiveAndLeavesNoFolder) {
  TTempDir dir;
  WriteGridJnx(dir.Path("f.jnx"), {{0, 0, 256, 256}, {256, 0, 256, 256}});
  Export(dir.Path("f.jnx"), 0);
  const auto archive = ReadFile(dir.Path("f.tar"));
  TJnxMap map = LoadJnx(dir.Path("f.jnx"));
  auto bytes = ReadFile(dir.Path("f.jnx"));
  const auto& t = map.Levels[0].Tiles[1];
  for (int i = 0; i < t.ImageSize; ++i) bytes[t.ImageOffset + i] = 0x22;
  WriteFile(dir.Path("f.jnx"), bytes);
  TViewState view;
  SetLevelGeometry(view, map.Levels[0]);
  const TViewState before = view;
  EXPECT_THROW(ExportOziTileSet(map, 0, view, {}), EBreloError);
  EXPECT_EQ(ReadFile(dir.Path("f.tar")), archive);
  EXPECT_EQ(CountFolders(dir.Path()), 0);
  EXPECT_EQ(view.ViewScale, before.ViewScale);
  EXPECT_EQ(map.West, LoadJnx(dir.Path("f.jnx")).West);
  // A folder of the user's that has the export's name is never touched.
  std::filesystem::create_directories(dir.Path("g/set"));
  WriteText(dir.Path("g/mine.txt"), "keep");
  WriteGridJnx(dir.Path("g.jnx"), {{0, 0, 256, 256}});
  Export(dir.Path("g.jnx"), 0);
  EXPECT_EQ(ReadText(dir.Path("g/mine.txt")), "keep");
}

namespace {
// Field k (from 0) of a comma-separated map-file line, as a number.
double MapField(const std::string& line, std::size_t k) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t c; (c = line.find(',', start)) != std::string::npos; start = c + 1)
    parts.push_back(line.substr(start, c - start));
  parts.push_back(line.substr(start));
  return std::stod(parts.at(k));
}
}  // namespace

// Square pixels at 33 S export with the Mercator conversions, whose cells are narrower than
// the tiles' own pixels: the partial west and north tiles must still register where their
// bounds say, and so must every tile after them.
TEST(OziExport, MercatorCellsRegisterTheTilesWhereTheirBoundsSay) {
  TTempDir dir;
  std::vector<std::array<int, 4>> rects;
  for (int y : {128, 256, 512})
    for (int x : {128, 256, 512}) rects.push_back({x, y, x == 128 ? 128 : 256, y == 128 ? 128 : 256});
  WriteGridJnx(dir.Path("m.jnx"), rects, {-33.0, -70.0, 1e-5, 1e-5});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  TExported e = Export(dir.Path("m.jnx"), 0);
  ASSERT_EQ(e.Memo[5].rfind("ScaledWidth=", 0), 0u);
  ASSERT_NE(e.Memo[4], "TileWidth=" + e.Memo[5].substr(std::string("ScaledWidth=").size()));  // cells differ
  auto lines = SplitLines(e.Files["m.map"]);
  const double west = MapField(lines[16], 2), north = MapField(lines[16], 3);
  const double east = MapField(lines[18], 2), south = MapField(lines[18], 3);
  const double width = MapField(lines[21], 2), height = MapField(lines[21], 3);
  const auto set = SplitLines(e.Files["m.set"]);
  for (std::size_t i = 0; i < map.Levels[0].Tiles.size(); ++i) {
    const auto& t = map.Levels[0].Tiles[i];
    if (t.Left == map.West || t.Top == map.North) continue;  // placed inside their cells
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(set[i].c_str(), "l0_%d_%d.jpg", &x, &y), 2) << set[i];
    const double lonPerPx = (east - west) / width, latPerPx = (north - south) / height;
    EXPECT_NEAR((JnxToDeg(t.Left) - west) / lonPerPx, x, 1.5) << set[i];
    EXPECT_NEAR((north - JnxToDeg(t.Top)) / latPerPx, y, 1.5) << set[i];
  }
}

TEST(OziExport, HostileTablesAndGridsAreRefusedBeforeAnythingIsWritten) {
  TTempDir dir;
  WriteText(dir.Path("m.tar"), "earlier");
  // A level without tiles would give a map file naming a tile that does not exist.
  MakeTestJnx(dir.Path("m.jnx"), {2, 0});
  try {
    Export(dir.Path("m.jnx"), 1);
    ADD_FAILURE() << "exported a level without tiles";
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("level 2 has no tiles to export"), std::string::npos) << e.what();
  }
  // Wide bounds over small tiles ask for a grid of more cells than a level may hold.
  TJnxMap wide = LoadJnx(dir.Path("m.jnx"));
  wide.East = wide.West + DegToJnx(5.0);
  wide.South = wide.North - DegToJnx(5.0);
  ASSERT_NO_THROW(WriteHeader(wide, wide.CurrentFile, false));
  try {
    Export(dir.Path("m.jnx"), 0);
    ADD_FAILURE() << "exported a grid of millions of cells";
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("exceeds the 50000 tiles a level may hold"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(": level 1: the export grid of "), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadText(dir.Path("m.tar")), "earlier");
}

// The cell a tile is drawn into is sized from the tile table, which may claim 32767 x 32767
// pixels over an 8 x 8 JPEG: it is never made, so memory follows the decoded tile and cell.
TEST(StretchPlacedHalftone, MatchesDrawingOntoAFilledCanvas) {
  const std::uint8_t red[3] = {255, 0, 0};
  TPixelBuffer tile = TestPicture(40, 30);
  for (auto [cw, ch, x, y] :
       std::vector<std::array<int, 4>>{{64, 48, 24, 18}, {64, 48, -5, 30}, {40, 30, 0, 0}, {50, 70, 10, 100}}) {
    TPixelBuffer canvas(cw, ch, 3);
    canvas.Fill(255, 0, 0);
    canvas.Draw(tile, x, y);
    for (auto [dw, dh] : std::vector<std::array<int, 2>>{{32, 24}, {64, 48}, {100, 20}}) {
      TPixelBuffer expected(dw, dh, 3), placed(dw, dh, 3);
      StretchHalftone(canvas, expected);
      StretchPlacedHalftone(tile, cw, ch, x, y, red, placed);
      EXPECT_EQ(placed.Data, expected.Data)
          << cw << "x" << ch << " at " << x << "," << y << " onto " << dw << "x" << dh;
    }
  }
  TPixelBuffer cell(256, 256, 3);
  StretchPlacedHalftone(tile, 32767, 32767, 32767 - 8, 32767 - 8, red, cell);
  EXPECT_EQ(cell.Row(255)[255 * 3 + 1], 0);  // red, the tile covering far less than a pixel
}

// A cancelled export stops before the archive: nothing is written, and the result says so.
TEST(ExportCommand, CancelLeavesNoArchive) {
  TTempDir dir;
  std::filesystem::copy_file(SampleFile(), dir.Path("s.jnx"));
  const TJnxMap map = LoadJnx(dir.Path("s.jnx"));
  std::atomic<bool> cancel{true};
  TWorkMeter meter;
  meter.Cancel = &cancel;
  const TCommandResult r = ExportLevelCommand(map, 2, {nullptr, nullptr, &meter});
  EXPECT_FALSE(r.Ok);
  EXPECT_TRUE(r.Cancelled);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("s.tar")));
  // Uncancelled, the meter sees every tile.
  cancel = false;
  std::uint64_t last = 0, total = 0;
  meter.Advanced = [&](std::uint64_t done, std::uint64_t all) { last = done, total = all; };
  EXPECT_TRUE(ExportLevelCommand(map, 2, {nullptr, nullptr, &meter}).Ok);
  EXPECT_EQ(total, 12u);
  EXPECT_EQ(last, 11u);
}
