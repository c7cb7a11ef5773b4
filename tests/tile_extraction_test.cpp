// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <gtest/gtest.h>

#include "MyJpeg/JpegImage.h"
#include "TestSupport.h"
#include "jnx/JnxReader.h"
#include "jnx/TileExtraction.h"

using namespace brelo;
using namespace brelo::test;

namespace {
// SaveTiles as a true/false result with the base folder and the reason.
bool Save(const TJnxMap& map, const ProgressSink& progress, std::string& base, std::string* error = nullptr) {
  try {
    base = SaveTiles(map, progress);
    return true;
  } catch (const std::exception& e) {
    base.clear();
    if (error) *error = e.what();
    return false;
  }
}
}  // namespace

TEST(TileExtraction, NumberingWidth) {
  EXPECT_EQ(TileNumberDigits(1), 1);
  EXPECT_EQ(TileNumberDigits(10), 1);
  EXPECT_EQ(TileNumberDigits(100), 2);
  EXPECT_EQ(TileNumberDigits(250), 3);
  EXPECT_EQ(TileNumberDigits(1000), 3);
  TJnxTile t;
  t.Top = 5, t.Right = -6, t.Bottom = 7, t.Left = -8;
  EXPECT_EQ(TileFileName(1, 100, t), "01_T5_R-6_B7_L-8.jpg");
  EXPECT_EQ(TileFileName(100, 100, t), "100_T5_R-6_B7_L-8.jpg");
  EXPECT_EQ(TileFileName(3, 250, t), "003_T5_R-6_B7_L-8.jpg");
  EXPECT_EQ(TileFileName(10, 10, t), "10_T5_R-6_B7_L-8.jpg");
}

TEST(TileExtraction, PeerFileTreeWestOfGreenwich) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TTempDir dir;
  std::filesystem::copy_file(peer, dir.Path("sw.jnx"));
  TJnxMap map;
  map.CurrentFile = dir.Path("sw.jnx");
  ReadJnx(map, map.CurrentFile, true);
  std::vector<std::string> progress;
  std::string base;
  ASSERT_TRUE(Save(
      map, [&](const std::string& s) { progress.push_back(s); }, base));
  EXPECT_EQ(base, dir.Path("sw_tiles/"));
  ASSERT_EQ(progress.size(), 16u);
  EXPECT_EQ(progress[0], "Wait... level 1/2 tile 1/4");
  EXPECT_EQ(progress[15], "Wait... level 2/2 tile 12/12");
  const auto& t = map.Levels[1].Tiles[0];
  const std::string file = base + "level2_12_tiles/" + TileFileName(1, 12, t);
  EXPECT_NE(file.find("_R-"), std::string::npos);
  EXPECT_NE(file.find("_L-"), std::string::npos);
  ASSERT_TRUE(std::filesystem::exists(file)) << file;
  // Re-encoded, not copied, with the tile's size.
  auto written = ReadFile(file);
  EXPECT_NE(written, RestoreTileJpeg(map, 1, 0));
  TJpegImage image;
  image.LoadFromBytes(written);
  EXPECT_EQ(image.Width(), t.Width);
  // Running again overwrites the same files.
  ASSERT_TRUE(Save(map, nullptr, base));
  std::size_t count = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(base)) count += e.is_regular_file();
  EXPECT_EQ(count, 16u);
}

TEST(TileExtraction, UndecodableTileStopsWithFilesSoFar) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {3});
  TJnxMap map;
  map.CurrentFile = dir.Path("m.jnx");
  ReadJnx(map, map.CurrentFile, true);
  auto bytes = ReadFile(map.CurrentFile);
  const auto& second = map.Levels[0].Tiles[1];
  for (int i = 0; i < second.ImageSize; ++i) bytes[second.ImageOffset + i] = 0x11;
  WriteFile(map.CurrentFile, bytes);
  std::string base, error;
  EXPECT_FALSE(Save(map, nullptr, base, &error));
  EXPECT_TRUE(base.empty());
  EXPECT_NE(error.find("JPEG error"), std::string::npos) << error;
  std::size_t count = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(dir.Path("m_tiles"))) count += e.is_regular_file();
  EXPECT_EQ(count, 1u);
}

TEST(TileExtraction, EmptyLevelGetsItsFolder) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {2, 0});
  TJnxMap map;
  map.CurrentFile = dir.Path("m.jnx");
  ReadJnx(map, map.CurrentFile, true);
  std::string base;
  ASSERT_TRUE(Save(map, nullptr, base));
  EXPECT_TRUE(std::filesystem::is_directory(base + "level2_0_tiles"));
  EXPECT_TRUE(std::filesystem::is_empty(base + "level2_0_tiles"));
}

TEST(TileExtraction, ClaimedSizesAreCheckedAgainstTheFileFirst) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {2});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  map.Levels[0].Tiles[1].ImageSize = 0x7FFFFFF0;  // a 2 GB tile in a file of a few KB
  std::string base, error;
  EXPECT_FALSE(Save(map, nullptr, base, &error));
  EXPECT_NE(error.find("data of tile 2 of level 1 lies past the end of the file"), std::string::npos) << error;
}

TEST(TileExtraction, FailureNamesTheTileAndProgressEndsThere) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {2, 40});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  auto bytes = ReadFile(map.CurrentFile);
  const auto& bad = map.Levels[1].Tiles[4];
  for (int i = 0; i < bad.ImageSize; ++i) bytes[bad.ImageOffset + static_cast<std::uint32_t>(i)] = 0x11;
  WriteFile(map.CurrentFile, bytes);
  std::vector<std::string> progress;
  std::string base, error;
  EXPECT_FALSE(Save(
      map, [&](const std::string& s) { progress.push_back(s); }, base, &error));
  EXPECT_NE(error.find("level 2 tile 5: JPEG error #"), std::string::npos) << error;
  // The lines a one-thread run shows: every tile up to the failing one, in order.
  ASSERT_EQ(progress.size(), 7u);
  EXPECT_EQ(progress[1], "Wait... level 1/2 tile 2/2");
  EXPECT_EQ(progress.back(), "Wait... level 2/2 tile 5/40");
}
