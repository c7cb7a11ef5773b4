// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "TestSupport.h"
#include "jnx/JnxUpdate.h"

using namespace brelo;
using namespace brelo::test;

namespace {

nlohmann::json Info(const std::string& file) {
  TRunResult r = RunCommand(Cli("info --json '" + file + "'"));
  EXPECT_EQ(r.Status, 0) << r.Err;
  return nlohmann::json::parse(r.Out);
}

// Tile bytes of a file, level by level, as "tile" returns them.
std::vector<std::vector<std::uint8_t>> AllTiles(const std::string& file) {
  auto j = Info(file);
  auto bytes = ReadFile(file);
  std::vector<std::vector<std::uint8_t>> out;
  for (const auto& l : j["Levels"])
    for (const auto& t : l["Tiles"]) {
      std::size_t at = t["ImageOffset"], n = t["ImageSize"];
      out.emplace_back(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + n));
    }
  return out;
}
}  // namespace

TEST(CliWrite, SaveMapAndSaveLevelKeepTilesAndLayout) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TTempDir dir;
  std::filesystem::copy_file(peer, dir.Path("sw.jnx"));
  TRunResult r = RunCommand(Cli("save-map " + dir.Path("sw.jnx")));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("Level 2/2, Tiles 12/12\nWait...\nCompleted\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find(dir.Path("sw_saved.jnx") + " saved.\n"), std::string::npos);
  EXPECT_EQ(AllTiles(dir.Path("sw_saved.jnx")), AllTiles(dir.Path("sw.jnx")));
  auto saved = Info(dir.Path("sw_saved.jnx"));
  EXPECT_NE(saved["Guid"], Info(dir.Path("sw.jnx"))["Guid"]);
  const int first = saved["Levels"][0]["TilesOffset"];
  auto bytes = ReadFile(dir.Path("sw_saved.jnx"));
  for (int i = first - 1024; i < first; ++i) ASSERT_EQ(bytes[static_cast<std::size_t>(i)], 0);

  r = RunCommand(Cli("save-level " + dir.Path("sw.jnx") + " 1"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto level = Info(dir.Path("sw_level1.jnx"));
  EXPECT_EQ(level["LevelCount"], 1);
  EXPECT_EQ(level["Levels"][0]["TileCount"], 4);
  EXPECT_EQ(RunCommand(Cli("save-level " + dir.Path("sw.jnx") + " 3")).Status, 1);
}

TEST(CliWrite, ImageMagickReadsSavedVersion3Files) {
  if (!HaveTool("identify")) GTEST_SKIP() << "ImageMagick missing";
  // ImageMagick's JNX reader takes the version-4 level copyright for 16-bit text, so it
  // rejects every version-4 file (the peer program's too); version 3 is what it reads.
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {3, 6}, 3);
  ASSERT_EQ(RunCommand(Cli("save-map " + dir.Path("m.jnx"))).Status, 0);
  ASSERT_EQ(RunCommand(Cli("save-level " + dir.Path("m.jnx") + " 2")).Status, 0);
  for (auto [file, count] : std::vector<std::pair<std::string, int>>{{"m_saved.jnx", 9}, {"m_level2.jnx", 6}}) {
    TRunResult r = RunCommand("identify -format '%wx%h\\n' " + dir.Path(file));
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), count) << file;
    std::istringstream lines(r.Out);
    std::string line;
    while (std::getline(lines, line)) EXPECT_EQ(line, "8x8");
  }
}

TEST(CliWrite, SaveTilesTree) {
  TTempDir dir;
  std::filesystem::copy_file(SampleFile(), dir.Path("s.jnx"));
  TRunResult r = RunCommand(Cli("save-tiles " + dir.Path("s.jnx")));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("Wait... level 2/2 tile 12/12\n"), std::string::npos);
  EXPECT_NE(r.Out.find("Kafelki zapisane do " + dir.Path("s_tiles/")), std::string::npos);
  std::size_t n = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(dir.Path("s_tiles"))) n += e.is_regular_file();
  EXPECT_EQ(n, 16u);
  WriteFile(dir.Path("bad.jnx"), {1, 2, 3});
  r = RunCommand(Cli("save-tiles " + dir.Path("bad.jnx")));
  EXPECT_EQ(r.Status, 1);
}

TEST(CliEdit, EditsAreWrittenInPlaceAndRefusalsLeaveTheFile) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {2, 3});
  TRunResult r = RunCommand(Cli("edit " + dir.Path("m.jnx") +
                                " 'ProductName=Góry & doliny' ProductId=70000 ZOrder=150 DetailLevel=x"
                                " L2.Scale=1.2km L1.Name=Przegląd L2.Copyright=me L1.Description=d"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, dir.Path("m.jnx") + " successfully updated.\n");
  auto j = Info(dir.Path("m.jnx"));
  EXPECT_EQ(j["ProductName"], "Góry & doliny");
  EXPECT_EQ(j["ProductId"], 70000);
  EXPECT_EQ(j["ProductId2"], 4464);
  EXPECT_EQ(j["ZOrder"], 30);
  EXPECT_EQ(j["Levels"][1]["Scale"], 4777);
  EXPECT_EQ(j["Levels"][1]["Copyright"], "me");
  EXPECT_EQ(j["Levels"][1]["LevelCopyright"], "me");
  EXPECT_EQ(j["Levels"][0]["Name"], "Przegląd");

  const auto before = ReadFile(dir.Path("m.jnx"));
  r = RunCommand(Cli("edit " + dir.Path("m.jnx") + " DetailLevel=" + std::string(1100, 'x')));
  EXPECT_EQ(r.Status, 1);
  // The refusal says why.
  EXPECT_EQ(r.Err.rfind("brelo-cli: " + dir.Path("m.jnx") + "  NOT updated. ReadOnly? Try SaveMap. (", 0), 0u) << r.Err;
  EXPECT_NE(r.Err.find("no room left in the header for the longer texts"), std::string::npos) << r.Err;
  EXPECT_EQ(ReadFile(dir.Path("m.jnx")), before);
  EXPECT_EQ(RunCommand(Cli("edit " + dir.Path("m.jnx") + " Colour=red")).Status, 1);
  EXPECT_EQ(RunCommand(Cli("edit " + dir.Path("m.jnx") + " L1.Scale=1.2 km")).Status, 1);
  EXPECT_EQ(ReadFile(dir.Path("m.jnx")), before);
}

TEST(CliEdit, DeleteTilesAndDummyLevel) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {10, 4});
  auto tiles = AllTiles(dir.Path("m.jnx"));
  TRunResult r = RunCommand(Cli("delete-tiles " + dir.Path("m.jnx") + " 1 1,6"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, dir.Path("m.jnx") + " updated.\n");
  auto after = AllTiles(dir.Path("m.jnx"));
  tiles.erase(tiles.begin() + 5);
  tiles.erase(tiles.begin());
  EXPECT_EQ(after, tiles);
  EXPECT_EQ(RunCommand(Cli("delete-tiles " + dir.Path("m.jnx") + " 1 9")).Status, 1);

  r = RunCommand(Cli("add-dummy-level " + dir.Path("m.jnx") + " 5m"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, dir.Path("m.jnx") + " updated. Dummy level added.\n");
  auto j = Info(dir.Path("m.jnx"));
  EXPECT_EQ(j["LevelCount"], 3);
  EXPECT_EQ(j["Levels"][2]["Name"], "dummy");
  // Not offered again once the last level is the placeholder.
  const auto before = ReadFile(dir.Path("m.jnx"));
  r = RunCommand(Cli("add-dummy-level " + dir.Path("m.jnx") + " 5m"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(ReadFile(dir.Path("m.jnx")), before);
  MakeTestJnx(dir.Path("five.jnx"), {1, 1, 1, 1, 1});
  EXPECT_EQ(RunCommand(Cli("add-dummy-level " + dir.Path("five.jnx") + " 5m")).Status, 1);
}

TEST(CliTar, CreateListExtract) {
  TTempDir dir;
  std::filesystem::create_directories(dir.Path("pack/set"));
  WriteText(dir.Path("pack/set/t.jpg"), "tile");
  WriteText(dir.Path("pack/pack.map"), "map");
  ASSERT_EQ(RunCommand(Cli("tar create " + dir.Path("x.tar") + " " + dir.Path("pack"))).Status, 0);
  TRunResult list = RunCommand(Cli("tar list " + dir.Path("x.tar")));
  EXPECT_EQ(list.Status, 0);
  EXPECT_NE(list.Out.find("pack.map"), std::string::npos);
  EXPECT_NE(list.Out.find("set/t.jpg"), std::string::npos);
  TRunResult x = RunCommand(Cli("tar extract " + dir.Path("x.tar")));
  EXPECT_EQ(x.Status, 0) << x.Err;
  EXPECT_EQ(ReadText(dir.Path("x/set/t.jpg")), "tile");
  WriteFile(dir.Path("bad.tar"), std::vector<std::uint8_t>(100, 'z'));
  EXPECT_EQ(RunCommand(Cli("tar list " + dir.Path("bad.tar"))).Status, 0);  // no entry: an empty listing
}

TEST(CliGpx, OutlinesAndInfo) {
  TTempDir dir;
  MakeTestJnx(dir.Path("a.jnx"), {1});
  MakeTestJnx(dir.Path("b.jnx"), {2});
  TRunResult r = RunCommand(Cli("gpx outlines " + dir.Path()));
  ASSERT_EQ(r.Status, 0) << r.Err;
  r = RunCommand(Cli("gpx info " + dir.Path("Maps.gpx")));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("Track points: 10"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("Track colour: Red"), std::string::npos);
  // A Maps.gpx of the user's: left alone, with exit status 1 and the reason.
  WriteText(dir.Path("Maps.gpx"), "<gpx><trk><name>mine</name></trk></gpx>");
  r = RunCommand(Cli("gpx outlines " + dir.Path()));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "brelo-cli: " + dir.Path("Maps.gpx") +
                       " is not an outline file written by brelo: it was left as it is, and the outlines were not "
                       "written\n");
  EXPECT_EQ(ReadText(dir.Path("Maps.gpx")), "<gpx><trk><name>mine</name></trk></gpx>");
  WriteText(dir.Path("bad.gpx"), "<gpx>\n<trkpt lat='1' lon='2,5'/></gpx>");
  r = RunCommand(Cli("gpx info " + dir.Path("bad.gpx")));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "brelo-cli: " + dir.Path("bad.gpx") + ": line 2: '2,5' is not a valid floating point value\n");
}

TEST(CliTar, ArchiveInsideTheFolderIsLeftOutAndLongNamesRefused) {
  TTempDir dir;
  std::filesystem::create_directories(dir.Path("pack"));
  WriteText(dir.Path("pack/a.txt"), "a");
  WriteText(dir.Path("pack/pack.tar"), "an earlier archive");
  TRunResult r = RunCommand(Cli("tar create " + dir.Path("pack/pack.tar") + " " + dir.Path("pack")));
  ASSERT_EQ(r.Status, 0) << r.Err;
  TRunResult list = RunCommand(Cli("tar list " + dir.Path("pack/pack.tar")));
  EXPECT_NE(list.Out.find("a.txt"), std::string::npos);
  EXPECT_EQ(list.Out.find("pack.tar"), std::string::npos) << list.Out;
  EXPECT_EQ(std::count(list.Out.begin(), list.Out.end(), '\n'), 1) << list.Out;

  std::filesystem::create_directories(dir.Path("long"));
  WriteText(dir.Path("long/" + std::string(101, 'x')), "1");
  r = RunCommand(Cli("tar create " + dir.Path("long.tar") + " " + dir.Path("long")));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("more than the 100 a TAR header holds"), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.Path("long.tar")));  // no archive that lists as complete
}

TEST(CliGpx, EmptyFolderMeansTheCurrentOneAndFoldersAreNotMaps) {
  TTempDir dir;
  MakeTestJnx(dir.Path("a.jnx"), {1});
  std::filesystem::create_directories(dir.Path("folder.jnx"));
  TRunResult r = RunCommand("cd " + dir.Path() + " && " + Cli("gpx outlines ''"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("(1 maps)"), std::string::npos) << r.Out;
  EXPECT_TRUE(std::filesystem::exists(dir.Path("Maps.gpx")));
  r = RunCommand(Cli("info " + dir.Path("folder.jnx")));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("cannot open: it is a folder"), std::string::npos) << r.Err;
}

TEST(CliWrite, SaveMapAppliesTheEditRules) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {1, 1});
  // Fields as another program may leave them: a stray ProductId2, a Z order out of range and
  // level copyrights that differ from the shown ones.
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  map.ProductId = 70000;
  map.ProductId2 = 9;
  map.ZOrder = 150;
  map.Levels[0].Copyright = "other";
  ASSERT_NO_THROW(WriteHeader(map, map.CurrentFile, false));
  ASSERT_EQ(RunCommand(Cli("save-map " + dir.Path("m.jnx"))).Status, 0);
  auto j = Info(dir.Path("m_saved.jnx"));
  EXPECT_EQ(j["ProductId2"], 4464);
  EXPECT_EQ(j["ZOrder"], 30);
  EXPECT_EQ(j["Levels"][0]["Copyright"], j["Levels"][0]["LevelCopyright"]);
}
