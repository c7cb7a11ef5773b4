// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "LibTar/TarWriter.h"
#include "LibTar/UnpackTar.h"
#include "MyJpeg/JpegImage.h"
#include "TestSupport.h"
#include "base/Coordinates.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "commands/CreateCommand.h"
#include "export/OziExport.h"
#include "jnx/JnxReader.h"
#include "jnx/ScaleTable.h"
#include "pictures/PictureReader.h"
#include "uMapCreation/ImageCutter.h"
#include "uMapCreation/MapBuilder.h"
#include "uMapCreation/MapSource.h"

using namespace brelo;
using namespace brelo::test;

namespace {

struct TRun {
  bool Ok = false;
  std::vector<std::string> Errors, Info;
};

// The "Start" sequence: unpack or cut when needed, then build; the errors as the dialog shows them.
TRun Start(const std::string& source, int tw = 256, int th = 256, bool overwrite = false) {
  TRun run;
  TCreationParams params{source, 7, "Created", 40, "1.2km", "detail", "L", "Desc", "(c) test", overwrite};
  TCreationFields fields{source, "Created", "7", "40", ScaleIndex("1.2km"), std::to_string(tw), std::to_string(th),
                         "1"};
  TCreateResult r = CreateMapCommand(fields, params, tw, th, [&](const std::string& s) { run.Info.push_back(s); });
  run.Ok = r.Ok;
  if (!r.Ok) {
    run.Errors = r.Earlier;
    run.Errors.push_back(r.Text);
  }
  return run;
}

// The sample map as s.jnx in dir, its level 2 exported to s.tar beside it.
TJnxMap ExportSample(const TTempDir& dir) {
  std::filesystem::copy_file(SampleFile(), dir.Path("s.jnx"));
  TJnxMap source = LoadJnx(dir.Path("s.jnx"));
  TViewState view;
  SetLevelGeometry(view, source.Levels[1]);
  ExportOziTileSet(source, 1, view, {});
  return source;
}

}  // namespace

TEST(CutLayout, ThousandBySevenHundredGivesTwelveTilesInColumnOrder) {
  auto tiles = CutLayout(1000, 700, 256, 256);
  ASSERT_EQ(tiles.size(), 12u);
  // 3 x 2 full tiles column by column, the right column, the bottom row, the corner.
  const std::vector<std::array<int, 4>> expected = {{0, 0, 256, 256},     {0, 256, 256, 256},   {256, 0, 256, 256},
                                                    {256, 256, 256, 256}, {512, 0, 256, 256},   {512, 256, 256, 256},
                                                    {768, 0, 232, 256},   {768, 256, 232, 256}, {0, 512, 256, 188},
                                                    {256, 512, 256, 188}, {512, 512, 256, 188}, {768, 512, 232, 188}};
  for (std::size_t k = 0; k < 12; ++k) {
    EXPECT_EQ(tiles[k].Number, static_cast<int>(k) + 1);
    EXPECT_EQ((std::array<int, 4>{tiles[k].X, tiles[k].Y, tiles[k].Width, tiles[k].Height}), expected[k]) << k;
  }
  EXPECT_EQ(CutTileName("my-map", tiles[1]), "my-map#0002_0_256.jpg");
  // Width a multiple of the tile width: a bottom row only.
  auto even = CutLayout(512, 300, 256, 256);
  ASSERT_EQ(even.size(), 4u);
  EXPECT_EQ(even[2].Height, 44);
  EXPECT_EQ(even[3].X, 256);
}

TEST(MapSource, ExportedGridAndTileCounts) {
  TTempDir dir;
  WriteOziMap(dir.Path("m.map"), "m.jpg", 1024, 768, 19.8, 49.3, 20.1, 49.1);
  TMapSourceInfo s = ReadMapSource(dir.Path("m.map"), 256, 256);
  EXPECT_EQ(s.LevelPixels, "1024 x 768");
  EXPECT_EQ(s.PointSummaries[0], "MMP1 XY     0     0 19.800000,49.300000");
  EXPECT_EQ(s.PointSummaries[2], "MMP3 XY  1024   768 20.100000,49.100000");
  EXPECT_TRUE(s.TileSizeEnabled);
  EXPECT_EQ(s.TileCount, "12");
  EXPECT_EQ(s.ProductName, "test map");
  EXPECT_EQ(std::count_if(s.Memo.begin(), s.Memo.end(), [](auto& l) { return l.rfind("MMP", 0) == 0; }), 4);
  EXPECT_EQ(s.LevelKilometers,
            Format("%.1f x %.1f", DegDistanceKm(49.3, 19.8, 49.3, 20.1), DegDistanceKm(49.1, 19.8, 49.3, 19.8)));
  WriteText(dir.Path("m.set"), "a_0_0.jpg\r\nb_256_0.jpg\r\n");
  s = ReadMapSource(dir.Path("m.map"), 256, 256);
  EXPECT_FALSE(s.TileSizeEnabled);
  EXPECT_EQ(s.TileCount, "2");
  EXPECT_EQ(TileCountText(1000, 700, "256", "256"), "12");
  EXPECT_EQ(TileCountText(1000, 700, "", "256"), "?");
  EXPECT_EQ(TileCountText(1000, 700, "0", "256"), "?");
  EXPECT_EQ(TileCountText(1000, 700, "256", "x"), "?");
}

TEST(MapSource, ScaleSuggestion) {
  TTempDir dir;
  // About 1.1 km per 50 pixels: the finest scale above 3.3 km is "5km".
  WriteOziMap(dir.Path("a.map"), "a.jpg", 1024, 768, 19.8, 49.3, 20.1072, 49.1464);
  EXPECT_EQ(ReadMapSource(dir.Path("a.map"), 256, 256).SuggestedScale, 15);
  // A continent in 100 pixels: nothing is coarse enough, so "800km".
  WriteOziMap(dir.Path("b.map"), "b.jpg", 100, 100, -20, 70, 60, 30);
  auto s = ReadMapSource(dir.Path("b.map"), 256, 256);
  EXPECT_EQ(s.SuggestedScale, 26);
  EXPECT_EQ(s.Label3, "pmax=0.333");
}

TEST(MapSource, HostileMapFiles) {
  TTempDir dir;
  WriteText(dir.Path("empty.map"), "");
  auto s = ReadMapSource(dir.Path("empty.map"), 256, 256);
  EXPECT_EQ(s.SuggestedScale, -1);
  EXPECT_EQ(s.LevelPixels, "");
  WriteText(dir.Path("bad.map"), "a\r\nb\r\nc\r\nd\r\ne\r\nMMPNUM,4\r\nMMPXY,1,abc,0\r\n");
  try {
    ReadMapSource(dir.Path("bad.map"), 256, 256);
    FAIL();
  } catch (const EFormatError& e) {
    EXPECT_EQ(std::string(e.what()), "'abc' is not a valid integer value");
  }
  WriteText(dir.Path("huge.map"), "a\r\nb\r\nc\r\nd\r\ne\r\nMMPNUM,2000000000\r\nIWH,x,10,10\r\n");
  EXPECT_NO_THROW(ReadMapSource(dir.Path("huge.map"), 256, 256));
  WriteText(dir.Path("lon.map"), "a\r\nb\r\nc\r\nd\r\ne\r\nMMPNUM,1\r\nMMPLL,1,1;5,2\r\n");
  EXPECT_THROW(ReadMapSource(dir.Path("lon.map"), 256, 256), EFormatError);
  WriteText(dir.Path("iwh.map"), "a\r\nb\r\nc\r\nd\r\ne\r\nIWH,Map Image Width/Height,99999999999,1\r\n");
  EXPECT_THROW(ReadMapSource(dir.Path("iwh.map"), 256, 256), EFormatError);
  WriteFile(dir.Path("x.tar"), std::vector<std::uint8_t>(700, 'q'));
  // An archive the export did not make is refused with the reason.
  try {
    ReadMapSource(dir.Path("x.tar"), 256, 256);
    ADD_FAILURE() << "read";
  } catch (const EFormatError& e) {
    EXPECT_EQ(std::string(e.what()), dir.Path("x.tar") + ": not an archive made by SaveTAR: it holds no .map file");
  }
}

TEST(StartValidation, FirstInvalidFieldInOrder) {
  TCreationFields f{"a.map", "Name", "5", "30", 3, "256", "256", "12"};
  EXPECT_EQ(FirstInvalidField(f), TCreationField::None);
  auto with = [&](auto change) {
    TCreationFields g = f;
    change(g);
    return std::string(CreationFieldControl(FirstInvalidField(g)));
  };
  EXPECT_EQ(with([](auto& g) {
              g.FileName = "  ";
              g.ProductName = "";
            }),
            "leFileName");
  EXPECT_EQ(with([](auto& g) {
              g.ProductName = " ";
              g.ProductId = "-1";
            }),
            "leProductName");
  EXPECT_EQ(with([](auto& g) { g.ProductId = "-1"; }), "leProductID");
  EXPECT_EQ(with([](auto& g) { g.ProductId = "12x"; }), "leProductID");
  EXPECT_EQ(with([](auto& g) { g.ZOrder = "101"; }), "leZOrder");
  EXPECT_EQ(with([](auto& g) { g.ScaleIndex = -1; }), "cbeTrexScale");
  EXPECT_EQ(with([](auto& g) { g.TileWidth = "0"; }), "leTileW");
  EXPECT_EQ(with([](auto& g) { g.TileHeight = ""; }), "leTileH");
  EXPECT_EQ(with([](auto& g) { g.TileCount = "?"; }), "leTileCount");
  EXPECT_EQ(with([](auto& g) { g.TileCount = "50001"; }), "leTileCount");
  EXPECT_EQ(with([](auto& g) { g.TileCount = "50000"; }), "");
}

TEST(PictureReader, FormatsByExtension) {
  TTempDir dir;
  TPixelBuffer picture = TestPicture(70, 50);
  WritePng(dir.Path("t.png"), picture, false);
  WritePng(dir.Path("p.PNG"), picture, true);
  for (int bits : {8, 24, 32}) WriteBmp(dir.Path(Format("b%d.bmp", bits)), picture, bits);
  std::vector<std::uint8_t> jpeg;
  EncodeJpeg(picture, 95, false, false, jpeg);
  WriteFile(dir.Path("j.jpeg"), jpeg);
  for (const char* name : {"t.png", "p.PNG", "b8.bmp", "b24.bmp", "b32.bmp", "j.jpeg"}) {
    TPixelBuffer p = LoadPicture(dir.Path(name));
    EXPECT_EQ(p.Width, 70) << name;
    EXPECT_EQ(p.Height, 50) << name;
  }
  EXPECT_EQ(LoadPicture(dir.Path("t.png")).Data, picture.Data);
  EXPECT_EQ(LoadPicture(dir.Path("b24.bmp")).Data, picture.Data);  // bottom-up rows, BGR order
  EXPECT_EQ(LoadPicture(dir.Path("b32.bmp")).Data, picture.Data);
  TPixelBuffer palette = LoadPicture(dir.Path("p.PNG"));
  EXPECT_EQ(palette.Row(0)[0], 0);  // colour 0: (0, 255, 0)
  EXPECT_EQ(palette.Row(0)[1], 255);
  WriteText(dir.Path("x.gif"), "GIF89a");
  EXPECT_THROW(LoadPicture(dir.Path("x.gif")), EFormatError);
  WriteText(dir.Path("broken.png"), "\x89PNG\r\n\x1a\nrubbish");
  EXPECT_THROW(LoadPicture(dir.Path("broken.png")), EFormatError);
  auto bmp = ReadFile(dir.Path("b24.bmp"));
  bmp.resize(bmp.size() / 2);
  WriteFile(dir.Path("cut.bmp"), bmp);
  EXPECT_THROW(LoadPicture(dir.Path("cut.bmp")), EFormatError);
}

TEST(BuildJnx, FromSinglePicturesOfEveryType) {
  for (const std::string ext : {".jpg", ".png", ".bmp"}) {
    for (bool palette : {false, true}) {
      if (palette && ext != ".png") continue;
      TTempDir dir;
      TPixelBuffer picture = TestPicture(1000, 700);
      const std::string image = dir.Path("my_map" + ext);
      if (ext == ".jpg") {
        std::vector<std::uint8_t> jpeg;
        EncodeJpeg(picture, 90, false, false, jpeg);
        WriteFile(image, jpeg);
      } else if (ext == ".png") {
        WritePng(image, picture, palette);
      } else {
        WriteBmp(image, picture, 24);
      }
      WriteOziMap(dir.Path("my_map.map"), "C:\\maps\\my_map" + ext, 1000, 700, 19.8, 49.3, 20.1, 49.1);
      TRun run = Start(dir.Path("my_map.map"));
      ASSERT_TRUE(run.Ok) << ext << (run.Errors.empty() ? "" : run.Errors[0]);
      EXPECT_FALSE(std::filesystem::exists(dir.Path("my_map")));  // no tile folder stays behind
      TJnxMap m = LoadJnx(dir.Path("my_map.jnx"));
      ASSERT_EQ(m.Levels.size(), 1u);
      ASSERT_EQ(m.Levels[0].TileCount, 12) << ext;
      const auto layout = CutLayout(1000, 700, 256, 256);
      for (std::size_t k = 0; k < 12; ++k) {
        const TJnxTile& t = m.Levels[0].Tiles[k];
        EXPECT_EQ(t.Width, layout[k].Width);
        EXPECT_EQ(t.Height, layout[k].Height);
      }
      EXPECT_EQ(m.North, DegToJnx(49.3));
      EXPECT_EQ(m.West, DegToJnx(19.8));
      EXPECT_NEAR(m.East, DegToJnx(20.1), 2);
      EXPECT_NEAR(m.South, DegToJnx(49.1), 2);
      EXPECT_EQ(m.ProductName, "Created");
      EXPECT_EQ(m.ProductId2, 7);
      EXPECT_EQ(m.ZOrder, 40);
      EXPECT_EQ(m.Levels[0].Scale, 4777u);
      EXPECT_EQ(m.Levels[0].LevelCopyright, "(c) test");
      EXPECT_EQ(m.Levels[0].Zoom, 1);
      EXPECT_EQ(m.Levels[0].TilesOffset, static_cast<std::int32_t>(HeaderSize(m) + 1024));
      TJpegImage tile;
      EXPECT_TRUE(DecodeTile(m, 0, 11, tile));
      EXPECT_EQ(tile.Width(), 232);
      // A lossless source's tiles are its pixels at their place, encoded as they stand: the
      // part tiles of the last column and row too.
      if (ext == ".png" && !palette)
        for (const std::size_t k : {0u, 4u, 8u, 9u, 11u}) {
          const TCutTile& c = layout[k];
          TPixelBuffer part(c.Width, c.Height, 3);
          part.Draw(picture, -c.X, -c.Y);
          std::vector<std::uint8_t> expected;
          EncodeJpeg(part, 90, false, false, expected);
          EXPECT_EQ(RestoreTileJpeg(m, 0, static_cast<int>(k)), expected) << "tile " << k;
        }
    }
  }
}

TEST(BuildJnx, RoundTripOfAnExportLiesOnItsGrid) {
  TTempDir dir;
  const TJnxMap source = ExportSample(dir);
  // s.jnx is the user's own map: not replaced unless asked.
  const auto original = ReadFile(dir.Path("s.jnx"));
  TRun refused = Start(dir.Path("s.tar"));
  EXPECT_FALSE(refused.Ok);
  ASSERT_EQ(refused.Errors.size(), 1u);
  EXPECT_EQ(refused.Errors[0], dir.Path("s.jnx") + ": a file of that name exists; it was not replaced");
  EXPECT_EQ(ReadFile(dir.Path("s.jnx")), original);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("s")));
  TRun run = Start(dir.Path("s.tar"), 256, 256, true);
  ASSERT_TRUE(run.Ok);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("s")));
  TJnxMap m = LoadJnx(dir.Path("s.jnx"));
  ASSERT_EQ(m.Levels[0].TileCount, 12);
  EXPECT_EQ(m.North, source.North);
  EXPECT_EQ(m.West, source.West);
  // Every tile is a 256-pixel cell of the export's grid.
  const double lonPerPx = double(Diff32(m.East, m.West)) / 1024, latPerPx = double(Diff32(m.North, m.South)) / 768;
  for (const auto& t : m.Levels[0].Tiles) {
    EXPECT_EQ(t.Width, 256);
    const double x = Diff32(t.Left, m.West) / lonPerPx, y = Diff32(m.North, t.Top) / latPerPx;
    EXPECT_NEAR(std::fmod(x + 0.5, 256.0), 0.5, 0.51);
    EXPECT_NEAR(std::fmod(y + 0.5, 256.0), 0.5, 0.51);
  }
}

TEST(BuildJnx, PointOneNotAtTheOriginAndNamesWithUnderscores) {
  TTempDir dir;
  std::filesystem::create_directories(dir.Path("set"));
  std::vector<std::uint8_t> jpeg;
  EncodeJpeg(TestPicture(100, 100), 90, false, false, jpeg);
  WriteFile(dir.Path("set/a_0_0.jpg"), jpeg);
  WriteFile(dir.Path("set/a_100_0.jpg"), jpeg);
  WriteText(dir.Path("p.set"), "a_0_0.jpg\r\na_100_0.jpg\r\n");
  // Point 1 at (50, 50), point 3 at (250, 150): 0.001 degrees per pixel both ways.
  WriteText(dir.Path("p.map"),
            "x\r\nx\r\nx\r\nx\r\nx\r\nMMPNUM,4\r\nMMPXY,1,50,50\r\nMMPXY,3,250,150\r\n"
            "MMPLL,1,10.0,50.0\r\nMMPLL,3,10.2,49.9\r\nIWH,Map Image Width/Height,200,100\r\n");
  TRun run = Start(dir.Path("p.map"));
  ASSERT_TRUE(run.Ok) << (run.Errors.empty() ? "" : run.Errors[0]);
  EXPECT_TRUE(std::filesystem::exists(dir.Path("set/a_0_0.jpg")));  // a set that was there stays
  TJnxMap m = LoadJnx(dir.Path("p.jnx"));
  EXPECT_EQ(m.North, DegToJnx(50.0));  // point 1 taken as the top-left pixel
  EXPECT_EQ(m.West, DegToJnx(10.0));
  EXPECT_NEAR(m.East, DegToJnx(10.2), 2);
  EXPECT_NEAR(m.South, DegToJnx(49.9), 2);
  EXPECT_NEAR(m.Levels[0].Tiles[1].Left, DegToJnx(10.1), 2);
}

TEST(BuildJnx, FailuresAreReportedAndKeepTheEarlierFile) {
  TTempDir dir;
  WriteOziMap(dir.Path("gone.map"), "missing.jpg", 100, 100, 1, 2, 3, 1);
  WriteText(dir.Path("gone.jnx"), "earlier");
  TRun run = Start(dir.Path("gone.map"), 256, 256, true);
  EXPECT_FALSE(run.Ok);
  ASSERT_EQ(run.Errors.size(), 2u);
  EXPECT_EQ(run.Errors[0], "Image file\nmissing.jpg\nnot found!");
  EXPECT_EQ(run.Errors[1], "Błąd tworzenia mapy z\n\n" + dir.Path("gone.map"));
  EXPECT_EQ(ReadText(dir.Path("gone.jnx")), "earlier");

  // A tile after the first that cannot be read becomes a placeholder of the previous size.
  std::filesystem::create_directories(dir.Path("set"));
  std::vector<std::uint8_t> jpeg;
  EncodeJpeg(TestPicture(64, 48), 90, false, false, jpeg);
  WriteFile(dir.Path("set/q_0_0.jpg"), jpeg);
  WriteText(dir.Path("set/q_64_0.jpg"), "not a picture");
  WriteText(dir.Path("q.set"), "q_0_0.jpg\r\nq_64_0.jpg\r\n");
  WriteOziMap(dir.Path("q.map"), "q.jpg", 128, 48, 1, 2, 3, 1);
  run = Start(dir.Path("q.map"));
  ASSERT_TRUE(run.Ok);
  TJnxMap m = LoadJnx(dir.Path("q.jnx"));
  EXPECT_EQ(m.Levels[0].Tiles[1].Width, 64);
  EXPECT_EQ(m.Levels[0].Tiles[1].Height, 48);
  // A tile name without a position fails the build.
  WriteText(dir.Path("q.set"), "q_0_0.jpg\r\nnoposition.jpg\r\n");
  EXPECT_FALSE(Start(dir.Path("q.map")).Ok);
  // An unknown picture type when cutting is an error of its own.
  WriteText(dir.Path("u.gif"), "GIF89a");
  WriteOziMap(dir.Path("u.map"), "u.gif", 10, 10, 1, 2, 3, 1);
  run = Start(dir.Path("u.map"));
  EXPECT_FALSE(run.Ok);
  EXPECT_THROW(CutImageToTiles(dir.Path("u.map"), 256, 256), EFormatError);
}

TEST(CutImage, TileSetFolderMatchesTheDirectBuild) {
  TTempDir dir;
  WritePng(dir.Path("my_map.png"), TestPicture(1000, 700), false);
  WriteOziMap(dir.Path("my_map.map"), "my_map.png", 1000, 700, 19.8, 49.3, 20.1, 49.1);
  bool created = false;
  ASSERT_NO_THROW(created = CutImageToTiles(dir.Path("my_map.map"), 256, 256));
  EXPECT_TRUE(created);
  const std::string set = ReadText(dir.Path("my_map/my_map.set"));
  EXPECT_EQ(set.rfind("my-map#0001_0_0.jpg\r\nmy-map#0002_0_256.jpg\r\n", 0), 0u) << set;
  EXPECT_EQ(std::count(set.begin(), set.end(), '\n'), 12);
  EXPECT_TRUE(std::filesystem::exists(dir.Path("my_map/set/my-map#0012_768_512.jpg")));
  EXPECT_EQ(ReadText(dir.Path("my_map/my_map.map")), ReadText(dir.Path("my_map.map")));
  // Built from the cut folder (tiles encoded a second time) or straight from the picture, the
  // maps have the same tiles in the same places.
  TCreationParams params{dir.Path("my_map/my_map.map"), 1, "x", 30, "5m", "", "", "", ""};
  ASSERT_NO_THROW(BuildJnxFromMap(params, WorkingFolder(params.Source)));
  ASSERT_TRUE(Start(dir.Path("my_map.map")).Ok);
  TJnxMap fromSet = LoadJnx(dir.Path("my_map/my_map.jnx")), direct = LoadJnx(dir.Path("my_map.jnx"));
  ASSERT_EQ(fromSet.Levels[0].TileCount, direct.Levels[0].TileCount);
  for (int k = 0; k < 12; ++k) {
    const auto &a = fromSet.Levels[0].Tiles[k], &b = direct.Levels[0].Tiles[k];
    EXPECT_EQ(a.Top, b.Top);
    EXPECT_EQ(a.Left, b.Left);
    EXPECT_EQ(a.Right, b.Right);
    EXPECT_EQ(a.Width, b.Width);
  }
  ASSERT_NO_THROW(created = CutImageToTiles(dir.Path("my_map.map"), 256, 256));
  EXPECT_FALSE(created);  // the folder was there
}

TEST(CutImage, BandReadingKeepsMemoryToTheWidth) {
  // An 8192 x 2048 picture is 48 MB as RGB; cutting it must stay near one band of 256 rows.
#ifdef BRELO_SANITIZED
  GTEST_SKIP() << "the sanitizers' own memory hides the bound";
#endif
  TTempDir dir;
  {
    TPixelBuffer picture = TestPicture(8192, 2048);
    std::vector<std::uint8_t> jpeg;
    EncodeJpeg(picture, 75, false, false, jpeg);
    WriteFile(dir.Path("wide.jpg"), jpeg);
  }
  WriteOziMap(dir.Path("wide.map"), "wide.jpg", 8192, 2048, 10, 50, 11, 49.5);
  if (!HaveTool("python3")) GTEST_SKIP() << "python3 missing";
  // A small parent measures the child's peak resident size (a fork of this test process would
  // count the test's own memory).
  TRunResult r = RunCommand(
      "python3 -c 'import resource, subprocess, sys; "
      "subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True); "
      "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' " +
      CliPath() + " create " + dir.Path("wide.map") + " --product-name W --scale 1.2km");
  ASSERT_EQ(r.Status, 0) << r.Err;
  const long peakKb = std::stol(r.Out);
  EXPECT_LT(peakKb, 30 * 1024) << "peak " << peakKb << " KB";
  EXPECT_EQ(LoadJnx(dir.Path("wide.jnx")).Levels[0].TileCount, 256);
}

// A ".set" beside the archive must not turn the archive's own folder into the working folder:
// that folder, with the archive, the new map and everything else in it, used to be deleted.
TEST(BuildJnx, ArchiveWithASetBesideItDeletesOnlyWhatItUnpacked) {
  TTempDir dir;
  const TJnxMap source = ExportSample(dir);
  WriteText(dir.Path("s.set"), "stray.jpg\r\n");
  WriteText(dir.Path("unrelated.txt"), "mine");
  TRun run = Start(dir.Path("s.tar"), 256, 256, true);
  ASSERT_TRUE(run.Ok);
  EXPECT_EQ(ReadText(dir.Path("unrelated.txt")), "mine");
  EXPECT_TRUE(std::filesystem::exists(dir.Path("s.tar")));
  EXPECT_TRUE(std::filesystem::exists(dir.Path("s.set")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("s")));
  EXPECT_EQ(LoadJnx(dir.Path("s.jnx")).Levels[0].TileCount, 12);  // built from the archive's own set
}

// Calibrations that give no scale, or spans past 32 bits, are errors that name the fields,
// never "50px=-nankm", a coarsest-scale guess or undefined arithmetic.
TEST(MapSource, DegenerateAndExtremeCalibrations) {
  TTempDir dir;
  const std::string head = "OziExplorer Map Data File Version 2.2\r\nt\r\np.png\r\n1,Map Code,\r\nWGS 84\r\n";
  WriteText(dir.Path("column.map"), head +
                                        "MMPNUM,2\r\nMMPXY,1,5,0\r\nMMPXY,2,5,100\r\nMMPLL,1,10.0,50.0\r\n"
                                        "MMPLL,2,10.1,49.9\r\nIWH,Map Image Width/Height,10,100\r\n");
  try {
    ReadMapSource(dir.Path("column.map"), 256, 256);
    ADD_FAILURE() << "no error";
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("the MMPXY points (lines 7, 8) lie in one pixel column"), std::string::npos)
        << e.what();
  }
  WriteText(dir.Path("wide.map"), head +
                                      "MMPNUM,2\r\nMMPXY,1,-2147483648,0\r\nMMPXY,2,2147483647,100\r\n"
                                      "MMPLL,1,10.0,50.0\r\nMMPLL,2,10.1,49.9\r\n");
  try {
    ReadMapSource(dir.Path("wide.map"), 256, 256);
    ADD_FAILURE() << "no error";
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("span 4294967295 x 100 pixels"), std::string::npos) << e.what();
  }
  // The build reads points 1 and 3 whether or not MMPNUM is there.
  WritePng(dir.Path("p.png"), TestPicture(64, 64), false);
  WriteText(dir.Path("p.map"), head +
                                   "MMPXY,1,-2147483648,0\r\nMMPXY,3,2147483647,64\r\nMMPLL,1,10.0,50.0\r\n"
                                   "MMPLL,3,10.1,49.9\r\nIWH,Map Image Width/Height,64,64\r\n");
  TCreationParams params{dir.Path("p.map"), 7, "P", 30, "1.2km", "", "", "", ""};
  std::string error;
  try {
    BuildJnxFromPicture(params, 32, 32);
  } catch (const EFormatError& e) {
    error = e.what();
  }
  EXPECT_NE(error.find("MMPXY,1 and MMPXY,3: a span of 4294967295 x 64 pixels does not fit"), std::string::npos)
      << error;
  EXPECT_FALSE(std::filesystem::exists(dir.Path("p.jnx")));
  WriteText(dir.Path("p.map"), head +
                                   "MMPXY,1,0,0\r\nMMPXY,3,64,64\r\nMMPLL,1,10.0,50.0\r\nMMPLL,3,10.0,49.9\r\n"
                                   "IWH,Map Image Width/Height,64,64\r\n");
  EXPECT_THROW(
      try { BuildJnxFromPicture(params, 32, 32); } catch (const EFormatError& e) {
        EXPECT_NE(std::string(e.what()).find("MMPLL,1 and MMPLL,3 have one longitude"), std::string::npos) << e.what();
        throw;
      },
      EFormatError);
}

namespace {

// Every path under root with its bytes ("" for a folder).
std::map<std::string, std::vector<std::uint8_t>> Snapshot(const std::string& root) {
  std::map<std::string, std::vector<std::uint8_t>> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    files[e.path().string()] = e.is_regular_file() ? ReadFile(e.path().string()) : std::vector<std::uint8_t>{};
  return files;
}

std::vector<std::string> HiddenEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.path().filename().string()[0] == '.') names.push_back(e.path().filename().string());
  return names;
}

}  // namespace

// A folder s/ beside s.tar is the user's (the original tile set, likely): a build from the
// archive unpacks it elsewhere and leaves s/ byte for byte as it was, on success and failure.
TEST(BuildJnx, ArchiveLeavesTheUsersFolderBesideItAlone) {
  TTempDir dir;
  ExportSample(dir);
  std::filesystem::create_directories(dir.Path("s/set"));
  WriteText(dir.Path("s/s.map"), "the user's own calibration");
  WriteText(dir.Path("s/set/mine.jpg"), "the user's tile");
  WriteText(dir.Path("s/notes.txt"), "notes");
  const auto before = Snapshot(dir.Path("s"));
  std::vector<std::string> info;
  TCreationParams params{dir.Path("s.tar"), 7, "Created", 40, "1.2km", "", "", "", "", true};
  TCreationFields fields{params.Source, "Created", "7", "40", ScaleIndex("1.2km"), "256", "256", "1"};
  TCreateResult r = CreateMapCommand(fields, params, 256, 256, [&](const std::string& s) { info.push_back(s); });
  ASSERT_TRUE(r.Ok) << r.Text << r.Detail;
  EXPECT_EQ(LoadJnx(dir.Path("s.jnx")).Levels[0].TileCount, 12);
  EXPECT_EQ(Snapshot(dir.Path("s")), before);
  EXPECT_EQ(HiddenEntries(dir.Path()), std::vector<std::string>{});
  EXPECT_EQ(info.front(), "UnTARing " + dir.Path("s.tar") + "...");

  // An archive whose tiles are unusable: the build fails, the unpacked copy goes all the same.
  {
    TTarWriter tar(dir.Path("s.tar"));
    tar.WriteDirectoryEntry("set/", 0, NowDateTime());
    tar.WriteBytesEntry({'x'}, "s.map", NowDateTime());
    const std::string set = "broken.jpg\r\n";
    tar.WriteBytesEntry({set.begin(), set.end()}, "s.set", NowDateTime());
    tar.WriteBytesEntry({'n', 'o'}, "set/broken.jpg", NowDateTime());
  }
  r = CreateMapCommand(fields, params, 256, 256, nullptr);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(Snapshot(dir.Path("s")), before);
  EXPECT_EQ(HiddenEntries(dir.Path()), std::vector<std::string>{});
  // One that does not unpack (an entry outside the folder) leaves nothing either.
  {
    TTarWriter tar(dir.Path("s.tar"));
    tar.WriteBytesEntry({'e'}, "set/../../evil.txt", NowDateTime());
  }
  r = CreateMapCommand(fields, params, 256, 256, nullptr);
  EXPECT_FALSE(r.Ok);
  ASSERT_FALSE(r.Earlier.empty());
  EXPECT_NE(r.Earlier[0].find("unsafe entry name"), std::string::npos) << r.Earlier[0];
  EXPECT_EQ(Snapshot(dir.Path("s")), before);
  EXPECT_EQ(HiddenEntries(dir.Path()), std::vector<std::string>{});
  EXPECT_FALSE(std::filesystem::exists(dir.Path("evil.txt")));
}
