// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "MyJpeg/JpegImage.h"
#include "TestSupport.h"

using namespace brelo;
using namespace brelo::test;

namespace {}  // namespace

TEST(CliCreation, ExportThenCreateFromTheArchive) {
  TTempDir dir;
  std::filesystem::create_directories(dir.Path("a"));
  std::filesystem::copy_file(SampleFile(), dir.Path("a/tatry.jnx"));
  TRunResult r = RunCommand(Cli("export-tar " + dir.Path("a/tatry.jnx") + " 2"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("Extracting tile 12/12\n"), std::string::npos);
  EXPECT_NE(r.Out.find("+0. Map is tared... " + dir.Path("a/tatry.tar") + " saved.\n"), std::string::npos) << r.Out;
  if (HaveTool("tar")) {
    TRunResult list = RunCommand("tar -tf " + dir.Path("a/tatry.tar"));
    EXPECT_EQ(list.Out.substr(0, 25), "set/\ntatry.map\ntatry.set\n");
  }
  std::filesystem::create_directories(dir.Path("b"));
  std::filesystem::copy_file(dir.Path("a/tatry.tar"), dir.Path("b/tatry.tar"));
  r = RunCommand(Cli("map-info " + dir.Path("b/tatry.tar")));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("Size in pixels:     1024 x 768"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("Tile count:         12\n"), std::string::npos);
  EXPECT_NE(r.Out.find("Suggested scale:    "), std::string::npos);
  r = RunCommand(Cli("create " + dir.Path("b/tatry.tar") +
                     " --product-name 'Tatry again' --scale 800m --product-id 12 --zorder 55 --level-name Detail"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("tatry: Writing 12/12\n"), std::string::npos);
  EXPECT_NE(r.Out.find("tatry.jnx saved in "), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("b/tatry")));  // the unpacked folder is removed
  auto j = nlohmann::json::parse(RunCommand(Cli("info --json " + dir.Path("b/tatry.jnx"))).Out);
  EXPECT_EQ(j["ProductName"], "Tatry again");
  EXPECT_EQ(j["ProductId"], 12);
  EXPECT_EQ(j["ZOrder"], 55);
  EXPECT_EQ(j["LevelCount"], 1);
  EXPECT_EQ(j["Levels"][0]["TileCount"], 12);
  EXPECT_EQ(j["Levels"][0]["Name"], "Detail");
  EXPECT_EQ(RunCommand(Cli("decode " + dir.Path("b/tatry.jnx"))).Status, 0);
  // Beside the map it was exported from, the build refuses to replace it unless told to.
  const auto original = ReadFile(dir.Path("a/tatry.jnx"));
  r = RunCommand(Cli("create " + dir.Path("a/tatry.tar") + " --product-name T --scale 800m"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "brelo-cli: " + dir.Path("a/tatry.jnx") + ": a file of that name exists; it was not replaced\n");
  EXPECT_EQ(ReadFile(dir.Path("a/tatry.jnx")), original);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("a/tatry")));
  r = RunCommand(Cli("create " + dir.Path("a/tatry.tar") + " --product-name T --scale 800m --overwrite"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(nlohmann::json::parse(RunCommand(Cli("info --json " + dir.Path("a/tatry.jnx"))).Out)["LevelCount"], 1);
}

TEST(CliCreation, ValidationNamesTheFirstInvalidField) {
  TTempDir dir;
  WriteOziMap(dir.Path("m.map"), "m.jpg", 1000, 700, 1, 2, 3, 1);
  auto expectField = [&](const std::string& args, const std::string& field) {
    TRunResult r = RunCommand(Cli("create " + dir.Path("m.map") + " " + args));
    EXPECT_EQ(r.Status, 1) << args;
    EXPECT_NE(r.Err.find(field), std::string::npos) << args << ": " << r.Err;
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1);
  };
  expectField("--product-name ' ' --scale 5m", "Product Name (leProductName)");
  expectField("--product-name x --scale 5m --product-id -1", "(leProductID)");
  expectField("--product-name x --scale 5m --zorder 101", "(leZOrder)");
  expectField("--product-name x --scale 5M", "(cbeTrexScale)");
  expectField("--product-name x --scale 5m --tile-width 0", "(leTileW)");
  expectField("--product-name x --scale 5m --tile-height abc", "(leTileH)");
  expectField("--product-name x --scale 5m --tile-width 4 --tile-height 3", "(leTileCount)");  // 58,450 tiles
  EXPECT_EQ(RunCommand(Cli("create " + dir.Path("m.map") + " --scale 5m")).Status, 2);
}

TEST(CliCreation, HostileSourcesGiveOneLineErrors) {
  TTempDir dir;
  WriteOziMap(dir.Path("gone.map"), "gone.jpg", 300, 200, 1, 2, 3, 1);
  TRunResult r = RunCommand(Cli("create " + dir.Path("gone.map") + " --product-name x --scale 5m"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Image file gone.jpg not found!; Błąd tworzenia mapy z  " + dir.Path("gone.map")),
            std::string::npos)
      << r.Err;
  EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1);
  WriteText(dir.Path("bad.map"), "a\nb\nc\nd\ne\nMMPNUM,4\nMMPXY,1,x,0\n");
  r = RunCommand(Cli("map-info " + dir.Path("bad.map")));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "brelo-cli: 'x' is not a valid integer value\n");
  WriteFile(dir.Path("junk.tar"), std::vector<std::uint8_t>(2048, 'j'));
  r = RunCommand(Cli("create " + dir.Path("junk.tar") + " --product-name x --scale 5m"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
  // A tile set whose set file names a tile without a position.
  std::filesystem::create_directories(dir.Path("set"));
  std::vector<std::uint8_t> jpeg;
  EncodeJpeg(TestPicture(16, 16), 90, false, false, jpeg);
  WriteFile(dir.Path("set/nopos.jpg"), jpeg);
  WriteText(dir.Path("t.set"), "nopos.jpg\r\n");
  WriteOziMap(dir.Path("t.map"), "t.jpg", 16, 16, 1, 2, 3, 1);
  r = RunCommand(Cli("create " + dir.Path("t.map") + " --product-name x --scale 5m"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("does not give a position"), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.Path("t.jnx")));
}
