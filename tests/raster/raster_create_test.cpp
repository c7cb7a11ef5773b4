// SPDX-License-Identifier: GPL-3.0-or-later
// Maps made from georeferenced rasters: where the pixels land, levels, volumes, formats and
// sources that are refused without leaving anything behind.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "GdalFixtures.h"
#include "MyJpeg/JpegImage.h"
#include "TestSupport.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "jnx/JnxReader.h"
#include "uMapCreation/RasterMapBuilder.h"

using namespace brelo;
using namespace brelo::test;

namespace {

constexpr double kEasting = 500000, kNorthing = 5500000, kMetres = 2;  // on zone 33's central meridian

std::vector<double> UtmTransform(double easting = kEasting, double northing = kNorthing, double metres = kMetres) {
  return {easting, metres, 0, northing, 0, -metres};
}

// Four blocks: red, green / blue, yellow, split at column w / 2 and row h / 2.
void Quadrants(int w, int h, int x, int y, std::uint8_t* v) {
  static const std::uint8_t colours[4][3] = {{220, 20, 20}, {20, 200, 20}, {20, 20, 220}, {230, 230, 20}};
  const auto* c = colours[(y >= h / 2 ? 2 : 0) + (x >= w / 2 ? 1 : 0)];
  std::copy(c, c + 3, v);
}

TFixtureRaster QuadrantRaster(int w, int h) {
  TFixtureRaster r;
  r.Width = w, r.Height = h;
  r.GeoTransform = UtmTransform();
  r.Pixel = [w, h](int x, int y, std::uint8_t* v) { Quadrants(w, h, x, y, v); };
  return r;
}

TRasterBuildResult Build(const std::vector<std::string>& sources, const std::string& output,
                         TLevelOptions levels = {}) {
  TRasterBuildOptions o;
  o.Sources = sources;
  o.Output = output;
  o.Levels = levels;
  o.Texts.ProductName = "Test";
  return BuildRasterMap(o, nullptr, nullptr);
}

struct TRgb {
  int R = -1, G = -1, B = -1;
};

// The colour the map shows at a position on a level (file order), from the tile holding it.
TRgb ColourAt(const TJnxMap& map, int level, double lon, double lat) {
  const auto& tiles = map.Levels[static_cast<std::size_t>(level)].Tiles;
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    const TJnxTile& t = tiles[i];
    const double w = JnxToDeg(t.Left), e = JnxToDeg(t.Right), n = JnxToDeg(t.Top), s = JnxToDeg(t.Bottom);
    if (lon < w || lon >= e || lat > n || lat <= s) continue;
    TJpegImage image;
    if (!DecodeTile(map, level, static_cast<int>(i), image)) return {};
    const TPixelBuffer rgb = image.Pixels().ToRgb();
    const int x = std::clamp(static_cast<int>((lon - w) / (e - w) * rgb.Width), 0, rgb.Width - 1);
    const int y = std::clamp(static_cast<int>((n - lat) / (n - s) * rgb.Height), 0, rgb.Height - 1);
    const std::uint8_t* p = rgb.Row(y) + 3 * x;
    return {p[0], p[1], p[2]};
  }
  return {};
}

::testing::AssertionResult Near(TRgb got, int r, int g, int b, int tolerance = 40) {
  if (std::abs(got.R - r) <= tolerance && std::abs(got.G - g) <= tolerance && std::abs(got.B - b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << got.R << "," << got.G << "," << got.B << " for " << r << "," << g
                                       << "," << b;
}

TRgb ColourAtUtm(const TJnxMap& map, int level, double easting, double northing) {
  double lon = 0, lat = 0;
  ToWgs84("EPSG:32633", easting, northing, lon, lat);
  return ColourAt(map, level, lon, lat);
}

std::set<std::string> Listing(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

}  // namespace

// A UTM GeoTIFF: three levels whose blocks land where the source puts them, each within about
// a pixel of its own resolution; scales distinct, least detailed first; the box holds the area.
TEST(RasterCreate, UtmGeoTiffLandsOnEveryLevel) {
  TTempDir dir;
  const int w = 1200, h = 1000;
  WriteRaster(dir.Path("utm.tif"), QuadrantRaster(w, h), "GTiff", {"TILED=YES"});
  TLevelOptions levels;
  levels.Factors = {1, 2, 4};
  const TRasterBuildResult built = Build({dir.Path("utm.tif")}, dir.Path("utm.jnx"), levels);
  ASSERT_EQ(built.Files, std::vector<std::string>{dir.Path("utm.jnx")});
  const TJnxMap map = LoadJnx(dir.Path("utm.jnx"));
  ASSERT_EQ(map.LevelCount, 3);
  EXPECT_EQ(map.ProductName, "Test");
  for (int l = 1; l < 3; ++l) EXPECT_LT(map.Levels[l].Scale, map.Levels[l - 1].Scale);
  // The box holds the four corners of the source, and not much more.
  for (const auto& [e, n] :
       {std::pair{kEasting, kNorthing}, std::pair{kEasting + w * kMetres, kNorthing - h * kMetres}}) {
    double lon = 0, lat = 0;
    ToWgs84("EPSG:32633", e, n, lon, lat);
    EXPECT_LE(JnxToDeg(map.West), lon + 1e-5);
    EXPECT_GE(JnxToDeg(map.East), lon - 1e-5);
    EXPECT_LE(JnxToDeg(map.South), lat + 1e-5);
    EXPECT_GE(JnxToDeg(map.North), lat - 1e-5);
  }
  EXPECT_LT(JnxToDeg(map.North) - JnxToDeg(map.South), 2.2 * h * kMetres / 111000);
  const double splitE = kEasting + w / 2 * kMetres, splitN = kNorthing - h / 2 * kMetres;
  for (int l = 0; l < 3; ++l) {
    const double px = kMetres * (4 >> l);  // the level's pixel on the ground; file level 0 is the coarsest
    SCOPED_TRACE("level " + std::to_string(l + 1));
    // Inside each block, and two of the level's pixels either side of the split between blocks.
    EXPECT_TRUE(Near(ColourAtUtm(map, l, kEasting + 300, kNorthing - 300), 220, 20, 20));
    EXPECT_TRUE(Near(ColourAtUtm(map, l, splitE + 300, kNorthing - 300), 20, 200, 20));
    EXPECT_TRUE(Near(ColourAtUtm(map, l, kEasting + 300, splitN - 300), 20, 20, 220));
    EXPECT_TRUE(Near(ColourAtUtm(map, l, splitE + 300, splitN - 300), 230, 230, 20));
    EXPECT_TRUE(Near(ColourAtUtm(map, l, splitE - 2 * px, kNorthing - 300), 220, 20, 20, 60));
    EXPECT_TRUE(Near(ColourAtUtm(map, l, splitE + 2 * px, kNorthing - 300), 20, 200, 20, 60));
    EXPECT_TRUE(Near(ColourAtUtm(map, l, kEasting + 300, splitN + 2 * px), 220, 20, 20, 60));
    EXPECT_TRUE(Near(ColourAtUtm(map, l, kEasting + 300, splitN - 2 * px), 20, 20, 220, 60));
  }
  // An existing map is not replaced unless asked.
  EXPECT_THROW(Build({dir.Path("utm.tif")}, dir.Path("utm.jnx"), levels), ERefused);
}

// A map over the tile limit: volumes, each a complete map of every level over its own block,
// sharing the product name, each with its own GUID, together holding every tile once.
TEST(RasterCreate, OverTheTileLimitSplitsIntoVolumes) {
  TTempDir dir;
  WriteRaster(dir.Path("big.tif"), QuadrantRaster(1200, 1000));
  TLevelOptions levels;
  levels.Factors = {1, 2};
  Build({dir.Path("big.tif")}, dir.Path("whole.jnx"), levels);
  const TJnxMap whole = LoadJnx(dir.Path("whole.jnx"));
  levels.MaxTiles = 6;
  const TRasterBuildResult built = Build({dir.Path("big.tif")}, dir.Path("big.jnx"), levels);
  ASSERT_GT(built.Files.size(), 1u);
  EXPECT_EQ(built.Files[0], dir.Path("big_Part01.jnx"));
  std::set<std::string> guids;
  std::size_t tiles[2] = {0, 0};
  for (const auto& f : built.Files) {
    const TJnxMap v = LoadJnx(f);
    ASSERT_EQ(v.LevelCount, 2);
    EXPECT_EQ(v.ProductName, whole.ProductName);
    EXPECT_EQ(v.ZOrder, whole.ZOrder);
    guids.insert(v.Guid);
    for (int l = 0; l < 2; ++l) {
      EXPECT_LE(v.Levels[l].TileCount, 6);
      EXPECT_EQ(v.Levels[l].Scale, whole.Levels[l].Scale);
      tiles[l] += v.Levels[l].Tiles.size();
    }
  }
  EXPECT_EQ(guids.size(), built.Files.size());
  EXPECT_EQ(tiles[0], whole.Levels[0].Tiles.size());
  EXPECT_EQ(tiles[1], whole.Levels[1].Tiles.size());
  // --no-split refuses before writing anything.
  levels.NoSplit = true;
  const auto before = Listing(dir.Path(""));
  EXPECT_THROW(Build({dir.Path("big.tif")}, dir.Path("other.jnx"), levels), EFormatError);
  EXPECT_EQ(Listing(dir.Path("")), before);
}

// Nodata and alpha: tiles with no valid pixel are not written, the uncovered part of a partly
// covered tile takes the background colour; gray, palette and RGBA sources all read.
TEST(RasterCreate, NodataAlphaAndBandLayouts) {
  TTempDir dir;
  const int w = 1200, h = 600;
  TFixtureRaster gray;
  gray.Width = w, gray.Height = h, gray.Bands = 1, gray.GeoTransform = UtmTransform();
  gray.NoData = 0;
  gray.Pixel = [](int x, int, std::uint8_t* v) { v[0] = x < 640 ? 128 : 0; };  // the east half has no data
  WriteRaster(dir.Path("gray.tif"), gray);
  TRasterBuildOptions o;
  o.Sources = {dir.Path("gray.tif")};
  o.Output = dir.Path("gray.jnx");
  o.Levels.Levels = 1;
  o.Background[0] = 0, o.Background[1] = 0, o.Background[2] = 255;
  BuildRasterMap(o, nullptr, nullptr);
  const TJnxMap map = LoadJnx(dir.Path("gray.jnx"));
  // Of 5 tile columns only the 3 reaching west of easting +1280 m are written.
  EXPECT_EQ(map.Levels[0].Tiles.size(), 3u * 3u);
  EXPECT_TRUE(Near(ColourAtUtm(map, 0, kEasting + 600, kNorthing - 600), 128, 128, 128));
  EXPECT_TRUE(Near(ColourAtUtm(map, 0, kEasting + 1400, kNorthing - 600), 0, 0, 255));
  EXPECT_EQ(ColourAtUtm(map, 0, kEasting + 2200, kNorthing - 600).R, -1);  // no tile there

  TFixtureRaster rgba = QuadrantRaster(w, h);
  rgba.Bands = 4;
  rgba.Pixel = [w, h](int x, int y, std::uint8_t* v) {
    Quadrants(w, h, x, y, v);
    v[3] = y < 300 ? 255 : 0;
  };
  WriteRaster(dir.Path("rgba.tif"), rgba);
  Build({dir.Path("rgba.tif")}, dir.Path("rgba.jnx"), {});
  const TJnxMap clear = LoadJnx(dir.Path("rgba.jnx"));
  EXPECT_TRUE(Near(ColourAtUtm(clear, 0, kEasting + 300, kNorthing - 300), 220, 20, 20));
  EXPECT_TRUE(Near(ColourAtUtm(clear, 0, kEasting + 300, kNorthing - 700), 255, 255, 255));  // white by default
  EXPECT_LT(clear.Levels[0].Tiles.size(), 5u * 3u);

  TFixtureRaster palette;
  palette.Width = 600, palette.Height = 400, palette.Palette = true, palette.GeoTransform = UtmTransform();
  palette.Pixel = [](int x, int, std::uint8_t* v) { v[0] = x < 300 ? 0 : 255; };  // (0,255,0) and (255,0,0)
  WriteRaster(dir.Path("palette.tif"), palette);
  Build({dir.Path("palette.tif")}, dir.Path("palette.jnx"), {});
  const TJnxMap indexed = LoadJnx(dir.Path("palette.jnx"));
  EXPECT_TRUE(Near(ColourAtUtm(indexed, 0, kEasting + 200, kNorthing - 400), 0, 255, 0));
  EXPECT_TRUE(Near(ColourAtUtm(indexed, 0, kEasting + 1000, kNorthing - 400), 255, 0, 0));
}

// A picture with a world file, MBTiles in web Mercator, and a mosaic of two sheets side by side.
TEST(RasterCreate, WorldFilesMBTilesAndMosaics) {
  TTempDir dir;
  const int w = 800, h = 600;
  WriteRaster(dir.Path("sheet.png"), QuadrantRaster(w, h), "PNG", {"WORLDFILE=YES"});
  ASSERT_TRUE(std::filesystem::exists(dir.Path("sheet.wld")) || std::filesystem::exists(dir.Path("sheet.pgw")));
  Build({dir.Path("sheet.png")}, dir.Path("sheet.jnx"), {});
  const TJnxMap sheet = LoadJnx(dir.Path("sheet.jnx"));
  EXPECT_TRUE(Near(ColourAtUtm(sheet, 0, kEasting + 200, kNorthing - 200), 220, 20, 20));
  EXPECT_TRUE(Near(ColourAtUtm(sheet, 0, kEasting + 1400, kNorthing - 1000), 230, 230, 20));

  // Web Mercator at about 2.4 m a pixel around 15 E 49.6 N.
  double x = 0, y = 0;
  FromWgs84("EPSG:3857", 15.0, 49.66, x, y);
  TFixtureRaster merc = QuadrantRaster(1024, 1024);
  merc.Srs = "EPSG:3857";
  merc.GeoTransform = std::vector<double>{x, 2.4, 0, y, 0, -2.4};
  WriteRaster(dir.Path("cache.mbtiles"), merc, "MBTiles", {"TILE_FORMAT=PNG"});
  Build({dir.Path("cache.mbtiles")}, dir.Path("cache.jnx"), {});
  const TJnxMap cache = LoadJnx(dir.Path("cache.jnx"));
  double lon = 0, lat = 0;
  ToWgs84("EPSG:3857", x + 300 * 2.4, y - 300 * 2.4, lon, lat);
  EXPECT_TRUE(Near(ColourAt(cache, cache.LevelCount - 1, lon, lat), 220, 20, 20));
  ToWgs84("EPSG:3857", x + 700 * 2.4, y - 700 * 2.4, lon, lat);
  EXPECT_TRUE(Near(ColourAt(cache, cache.LevelCount - 1, lon, lat), 230, 230, 20));

  // Two sheets meeting at an edge form one map.
  TFixtureRaster west = QuadrantRaster(400, 400), east = QuadrantRaster(400, 400);
  west.Pixel = [](int, int, std::uint8_t* v) { v[0] = 220, v[1] = 20, v[2] = 20; };
  east.Pixel = [](int, int, std::uint8_t* v) { v[0] = 20, v[1] = 20, v[2] = 220; };
  east.GeoTransform = UtmTransform(kEasting + 800);
  WriteRaster(dir.Path("west.tif"), west);
  WriteRaster(dir.Path("east.tif"), east);
  Build({dir.Path("west.tif"), dir.Path("east.tif")}, dir.Path("mosaic.jnx"), {});
  const TJnxMap mosaic = LoadJnx(dir.Path("mosaic.jnx"));
  EXPECT_TRUE(Near(ColourAtUtm(mosaic, 0, kEasting + 400, kNorthing - 400), 220, 20, 20));
  EXPECT_TRUE(Near(ColourAtUtm(mosaic, 0, kEasting + 1200, kNorthing - 400), 20, 20, 220));
}

// OziExplorer maps that are not WGS 84 latitude and longitude: a Mercator sheet lands where its
// projection puts it, not where a straight calibration would; a sheet calibrated by UTM grid
// points alone lands at its grid position, not at 0 N 0 E.
TEST(RasterCreate, OziMapsInOtherProjectionsLandRight) {
  TTempDir dir;
  // 1000 rows spanning 49 to 50 N; a black row at the middle of the Mercator sheet.
  const double north = 50, south = 49;
  auto mercY = [](double lat) { return std::log(std::tan(M_PI / 4 + lat * M_PI / 360)); };
  const double midLat = std::atan(std::sinh((mercY(north) + mercY(south)) / 2)) * 180 / M_PI;
  TPixelBuffer picture(200, 1000);
  picture.Fill(255, 255, 255);
  for (int x = 0; x < 200; ++x) std::fill_n(picture.Row(500) + 3 * x, 3, std::uint8_t{0});
  WritePng(dir.Path("merc.png"), picture, false);
  WriteText(dir.Path("merc.map"),
            "OziExplorer Map Data File Version 2.2\r\nt\r\nmerc.png\r\n1,Map Code,\r\nWGS 84,WGS 84,0.0000,0.0000,"
            "WGS 84\r\nReserved 1\r\nReserved 2\r\nMagnetic Variation,,,E\r\nMap Projection,Mercator,PolyCal,No,"
            "AutoCalOnly,No,BSBUseWPX,No\r\n"
            "Point01,xy,0,0,in,deg,50,0,N,15,0,E,grid,,,,N\r\n"
            "Point02,xy,200,1000,in,deg,49,0,N,15,12,E,grid,,,,N\r\n"
            "Projection Setup,,,,,,,,,,\r\nMMPNUM,4\r\nMMPXY,1,0,0\r\nMMPXY,2,200,0\r\nMMPXY,3,200,1000\r\n"
            "MMPXY,4,0,1000\r\nMMPLL,1,15.0,50.0\r\nMMPLL,2,15.2,50.0\r\nMMPLL,3,15.2,49.0\r\nMMPLL,4,15.0,49.0\r\n"
            "IWH,Map Image Width/Height,200,1000\r\n");
  const TRunResult run =
      RunCommand(Cli("create " + dir.Path("merc.map") + " --product-name M --scale 200m --resampling near"));
  ASSERT_EQ(run.Status, 0) << run.Err;
  const TJnxMap map = LoadJnx(dir.Path("merc.jnx"));
  ASSERT_EQ(map.LevelCount, 1);
  EXPECT_NEAR(JnxToDeg(map.North), north, 0.002);
  EXPECT_NEAR(JnxToDeg(map.South), south, 0.002);
  const double pixel = (north - south) / 1000;
  EXPECT_TRUE(Near(ColourAt(map, 0, 15.1, midLat - pixel / 2), 0, 0, 0, 60));
  EXPECT_TRUE(Near(ColourAt(map, 0, 15.1, 49.5), 255, 255, 255, 60));  // 2.6 pixels away

  // A UTM sheet by grid points: 400 x 300 pixels of 2 m from 500000 E 5500000 N.
  WritePng(dir.Path("grid.png"), TestPicture(400, 300), false);
  WriteText(dir.Path("grid.map"),
            "OziExplorer Map Data File Version 2.2\r\nt\r\ngrid.png\r\n1,Map Code,\r\nWGS 84,WGS 84,0.0000,0.0000,"
            "WGS 84\r\nReserved 1\r\nReserved 2\r\nMagnetic Variation,,,E\r\nMap Projection,(UTM) Universal "
            "Transverse Mercator,PolyCal,No,AutoCalOnly,No,BSBUseWPX,No\r\n"
            "Point01,xy,0,0,in,deg,,,N,,,E,grid,33,500000,5500000,N\r\n"
            "Point02,xy,400,0,in,deg,,,N,,,E,grid,33,500800,5500000,N\r\n"
            "Point03,xy,400,300,in,deg,,,N,,,E,grid,33,500800,5499400,N\r\n"
            "Projection Setup,,,,,,,,,,\r\nIWH,Map Image Width/Height,400,300\r\n");
  ASSERT_EQ(RunCommand(Cli("create " + dir.Path("grid.map") + " --product-name G --scale 500m")).Status, 0);
  const TJnxMap grid = LoadJnx(dir.Path("grid.jnx"));
  double lon = 0, lat = 0;
  ToWgs84("EPSG:32633", kEasting, kNorthing, lon, lat);
  EXPECT_NEAR(JnxToDeg(grid.West), lon, 1e-4);
  EXPECT_NEAR(JnxToDeg(grid.North), lat, 1e-4);
  // A tile set of such a map cannot be warped: refused, not misplaced.
  std::filesystem::create_directories(dir.Path("set"));
  WriteFile(dir.Path("set/t_0_0.jpg"), MakeJpeg(256, 256));
  WriteText(dir.Path("merc.set"), "t_0_0.jpg\r\n");
  const TRunResult set =
      RunCommand(Cli("create " + dir.Path("merc.map") + " --product-name M --scale 200m --overwrite"));
  EXPECT_EQ(set.Status, 1);
  EXPECT_NE(set.Err.find("projection \"Mercator\""), std::string::npos) << set.Err;
}

// Sources that cannot make a map are refused with the reason and leave the folder as it was.
TEST(RasterCreate, RefusedSourcesLeaveNothing) {
  TTempDir dir;
  TFixtureRaster plain = QuadrantRaster(300, 200);
  plain.Srs.clear();
  plain.GeoTransform.reset();
  WriteRaster(dir.Path("plain.png"), plain, "PNG");
  TFixtureRaster deep = QuadrantRaster(300, 200);
  deep.SixteenBit = true;
  WriteRaster(dir.Path("deep.tif"), deep);
  WriteRaster(dir.Path("near.tif"), QuadrantRaster(300, 200));
  TFixtureRaster far = QuadrantRaster(300, 200);
  far.GeoTransform = UtmTransform(kEasting + 50000);
  WriteRaster(dir.Path("far.tif"), far);
  TFixtureRaster gray = QuadrantRaster(300, 200);
  gray.Bands = 1;
  gray.GeoTransform = UtmTransform(kEasting + 600);
  WriteRaster(dir.Path("gray.tif"), gray);
  TFixtureRaster dateline = QuadrantRaster(300, 200);
  dateline.Srs = "EPSG:4326";
  dateline.GeoTransform = std::vector<double>{179.9, 0.001, 0, 50, 0, -0.001};
  WriteRaster(dir.Path("dateline.tif"), dateline);
  ASSERT_EQ(mkfifo(dir.Path("pipe.tif").c_str(), 0600), 0);
  WriteRaster(dir.Path("side.tif"), QuadrantRaster(300, 200));
  ASSERT_EQ(mkfifo(dir.Path("side.tif.aux.xml").c_str(), 0600), 0);
  WriteText(dir.Path("pipe.vrt"),
            "<VRTDataset rasterXSize=\"10\" rasterYSize=\"10\"><VRTRasterBand dataType=\"Byte\" band=\"1\">"
            "<SimpleSource><SourceFilename relativeToVRT=\"1\">pipe.tif</SourceFilename><SourceBand>1</SourceBand>"
            "</SimpleSource></VRTRasterBand></VRTDataset>");
  const auto before = Listing(dir.Path(""));
  auto refused = [&](const std::vector<std::string>& names, const std::string& reason) {
    std::vector<std::string> paths;
    for (const auto& n : names) paths.push_back(dir.Path(n));
    try {
      Build(paths, dir.Path("out.jnx"), {});
      ADD_FAILURE() << names[0] << " accepted";
    } catch (const EBreloError& e) {
      EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
    }
    EXPECT_EQ(Listing(dir.Path("")), before) << names[0];
  };
  refused({"plain.png"}, "no georeference");
  refused({"deep.tif"}, "not 8-bit");
  refused({"pipe.tif"}, "not a regular file");
  refused({"pipe.vrt"}, "not a regular file");
  refused({"side.tif"}, "side.tif.aux.xml beside it is not a regular file");
  refused({"near.tif", "far.tif"}, "neither touches nor overlaps");
  refused({"near.tif", "gray.tif"}, "a mosaic needs one layout");
  refused({"missing.tif"}, "does not exist");
  refused({"dateline.tif"}, "antimeridian");
}
