// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/StreamHelpers.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxWriter.h"

using namespace brelo;
using namespace brelo::test;

namespace {

bool Save(TJnxMap& map, const std::string& dest, int level, std::string* error = nullptr) {
  auto writer = [&map](TFileStream& out, std::uint32_t first) { CopyTileData(map, out, first, nullptr); };
  try {
    WriteJnx(map, dest, level, writer, nullptr);
    return true;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
}

// Model fields that a save must leave as they were.
void ExpectSameModel(const TJnxMap& a, const TJnxMap& b) {
  ASSERT_EQ(a.Levels.size(), b.Levels.size());
  EXPECT_EQ(a.LevelCount, b.LevelCount);
  EXPECT_EQ(a.LevelCount2, b.LevelCount2);
  for (std::size_t i = 0; i < a.Levels.size(); ++i) {
    EXPECT_EQ(a.Levels[i].TilesOffset, b.Levels[i].TilesOffset);
    ASSERT_EQ(a.Levels[i].Tiles.size(), b.Levels[i].Tiles.size());
    for (std::size_t t = 0; t < a.Levels[i].Tiles.size(); ++t)
      EXPECT_EQ(a.Levels[i].Tiles[t].ImageOffset, b.Levels[i].Tiles[t].ImageOffset);
    ASSERT_EQ(a.SourceLocations[i].size(), b.SourceLocations[i].size());
  }
}

}  // namespace

TEST(WriteJnx, LayoutOfAThreeLevelMap) {
  TTempDir dir;
  MakeTestJnx(dir.Path("src.jnx"), {2, 4, 8});
  TJnxMap map = LoadJnx(dir.Path("src.jnx"));
  const TJnxMap before = map;
  ASSERT_TRUE(Save(map, dir.Path("out.jnx"), -1));
  ExpectSameModel(map, before);
  EXPECT_NE(map.Guid, before.Guid);  // the new identifier is kept

  TJnxMap out = LoadJnx(dir.Path("out.jnx"));
  const std::uint32_t first = HeaderSize(out) + 1024;
  EXPECT_EQ(out.Levels[0].TilesOffset, static_cast<std::int32_t>(first));
  EXPECT_EQ(out.Levels[1].TilesOffset, static_cast<std::int32_t>(first + 56));
  EXPECT_EQ(out.Levels[2].TilesOffset, static_cast<std::int32_t>(first + 168));
  EXPECT_EQ(out.Levels[0].Tiles[0].ImageOffset, first + 392);
  EXPECT_EQ(out.Guid, map.Guid);
  auto bytes = ReadFile(dir.Path("out.jnx"));
  // 1024 zero bytes between the description block and the first table.
  for (std::uint32_t i = HeaderSize(out); i < first; ++i) ASSERT_EQ(bytes[i], 0) << i;
  // Tile data back to back in table order, then the trailer.
  std::uint32_t expected = first + 392;
  for (const auto& l : out.Levels)
    for (const auto& t : l.Tiles) {
      EXPECT_EQ(t.ImageOffset, expected);
      expected += static_cast<std::uint32_t>(t.ImageSize);
    }
  EXPECT_EQ(bytes.size(), expected + 8u);
  EXPECT_EQ(std::string(bytes.end() - 8, bytes.end()), "BirdsEye");
  // Every tile's bytes are the source's.
  for (int l = 0; l < 3; ++l)
    for (int t = 0; t < out.Levels[l].TileCount; ++t) EXPECT_EQ(RestoreTileJpeg(out, l, t), RestoreTileJpeg(map, l, t));
}

TEST(WriteJnx, SingleLevelKeepsBoundsAndRestoresModel) {
  TTempDir dir;
  MakeTestJnx(dir.Path("src.jnx"), {1, 3, 5});
  TJnxMap map = LoadJnx(dir.Path("src.jnx"));
  const TJnxMap before = map;
  ASSERT_TRUE(Save(map, dir.Path("src_level2.jnx"), 1));
  ExpectSameModel(map, before);
  TJnxMap out = LoadJnx(dir.Path("src_level2.jnx"));
  EXPECT_EQ(out.LevelCount, 1);
  EXPECT_EQ(out.LevelCount2, 1);
  EXPECT_EQ(out.Levels[0].TileCount, 3);
  EXPECT_EQ(out.Levels[0].Name, "Level 2");
  EXPECT_EQ(out.North, map.North);
  EXPECT_EQ(out.East, map.East);
  for (int t = 0; t < 3; ++t) EXPECT_EQ(RestoreTileJpeg(out, 0, t), RestoreTileJpeg(map, 1, t));
}

TEST(WriteJnx, Version3OneTileLayout) {
  // One level of one tile, empty texts, a 36-character Guid.
  TTempDir dir;
  MakeTestJnx(dir.Path("v3.jnx"), {1}, 3, "");
  TJnxMap map = LoadJnx(dir.Path("v3.jnx"));
  map.DetailLevel.clear();
  map.Levels[0].Name = map.Levels[0].Description = map.Levels[0].Copyright = "";
  ASSERT_TRUE(Save(map, dir.Path("out.jnx"), -1));
  TJnxMap out = LoadJnx(dir.Path("out.jnx"));
  EXPECT_EQ(HeaderSize(out), 117u);
  EXPECT_EQ(out.Levels[0].TilesOffset, 1141);
  EXPECT_EQ(out.Levels[0].Tiles[0].ImageOffset, 1169u);
  EXPECT_EQ(out.FileSize, 1169u + static_cast<std::uint32_t>(out.Levels[0].Tiles[0].ImageSize) + 8);
  EXPECT_EQ(out.ZOrder, -1);
  // The description block starts at 60: no ZOrder, no version-4 level fields.
  auto bytes = ReadFile(dir.Path("out.jnx"));
  EXPECT_EQ(LoadInt32(bytes.data() + 60), 9);
}

TEST(WriteJnx, NonAsciiTextsAreUtf8AndTheGapStays1024) {
  TTempDir dir;
  MakeTestJnx(dir.Path("src.jnx"), {2});
  TJnxMap map = LoadJnx(dir.Path("src.jnx"));
  map.ProductName = "Mapa gór – Tatry";
  map.Levels[0].Name = "Łomnica";
  ASSERT_TRUE(Save(map, dir.Path("out.jnx"), -1));
  TJnxMap out = LoadJnx(dir.Path("out.jnx"));
  EXPECT_EQ(out.ProductName, "Mapa gór – Tatry");
  EXPECT_EQ(out.Levels[0].Name, "Łomnica");
  EXPECT_EQ(out.Levels[0].TilesOffset, static_cast<std::int32_t>(HeaderSize(out) + 1024));
}

TEST(WriteJnx, PeerFileRoundTripKeepsEveryTile) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TTempDir dir;
  TJnxMap map = LoadJnx(peer);
  ASSERT_TRUE(Save(map, dir.Path("peer.jnx"), -1));
  TJnxMap out = LoadJnx(dir.Path("peer.jnx"));
  EXPECT_EQ(out.ProductName, "SW Test");
  for (int l = 0; l < 2; ++l) {
    EXPECT_EQ(out.Levels[l].LevelCopyright, map.Levels[l].LevelCopyright);
    for (int t = 0; t < out.Levels[l].TileCount; ++t) {
      EXPECT_EQ(out.Levels[l].Tiles[t].Width, map.Levels[l].Tiles[t].Width);
      EXPECT_EQ(RestoreTileJpeg(out, l, t), RestoreTileJpeg(map, l, t));
    }
  }
}

TEST(WriteJnx, AFailedWriteLeavesTheEarlierDestinationAndReportsFalse) {
  TTempDir dir;
  MakeTestJnx(dir.Path("src.jnx"), {3, 3});
  TJnxMap map = LoadJnx(dir.Path("src.jnx"));
  ASSERT_TRUE(Save(map, dir.Path("dest.jnx"), -1));
  const auto earlier = ReadFile(dir.Path("dest.jnx"));
  const auto source = ReadFile(dir.Path("src.jnx"));
  const TJnxMap before = map;

  // A tile writer that fails midway, as a full disk would.
  auto failing = [](TFileStream& out, std::uint32_t) {
    out.Write("partial", 7);
    throw EIoError("dest.jnx: write error: No space left on device");
  };
  std::string error;
  try {
    WriteJnx(map, dir.Path("dest.jnx"), -1, failing, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EIoError& e) {
    error = e.what();
  }
  EXPECT_NE(error.find("No space left"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.Path("dest.jnx")), earlier);
  EXPECT_EQ(ReadFile(dir.Path("src.jnx")), source);
  ExpectSameModel(map, before);

  // A source that became shorter than its tables say: the copy fails, nothing is replaced.
  std::filesystem::resize_file(dir.Path("src.jnx"), source.size() - 100);
  EXPECT_FALSE(Save(map, dir.Path("dest.jnx"), -1, &error));
  EXPECT_NE(error.find("short read"), std::string::npos) << error;
  EXPECT_EQ(ReadFile(dir.Path("dest.jnx")), earlier);
  // A destination folder that does not exist.
  EXPECT_FALSE(Save(map, dir.Path("no/such/folder/x.jnx"), -1));
  // No temporary file stays behind.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) files += e.is_regular_file();
  EXPECT_EQ(files, 2);
}

// A file whose signature block the reader skips reads back field for field after a save:
// the written file carries no signature, and its description block is where the reader looks.
TEST(WriteJnx, SavedSignedFileReadsBackFieldForField) {
  TTempDir dir;
  WriteFile(dir.Path("sig.jnx"), Version3File(72, true, MakeJpeg(8, 8)).Data);
  TJnxMap map = LoadJnx(dir.Path("sig.jnx"));
  ASSERT_EQ(map.ProductName, "Map");
  for (int level : {-1, 0}) {
    const std::string dest = dir.Path(level < 0 ? "all.jnx" : "one.jnx");
    ASSERT_TRUE(Save(map, dest, level));
    TJnxMap out = LoadJnx(dest);
    EXPECT_EQ(out.SignatureOffset, 0u);
    EXPECT_EQ(out.Guid, map.Guid);
    EXPECT_EQ(out.ProductName, "Map");
    EXPECT_EQ(out.DetailLevel, "detail");
    EXPECT_EQ(out.BlockVersion, 9);
    EXPECT_EQ(out.Levels[0].Name, "L1");
    EXPECT_EQ(out.Levels.back().Copyright, level < 0 ? "C2" : "C1");
    for (int t = 0; t < out.Levels[0].TileCount; ++t) EXPECT_EQ(RestoreTileJpeg(out, 0, t), RestoreTileJpeg(map, 0, t));
  }
  // Any other offset goes as well: the new file matches no old signature.
  WriteFile(dir.Path("other.jnx"), Version3File(73, false, MakeJpeg(8, 8)).Data);
  TJnxMap other = LoadJnx(dir.Path("other.jnx"));
  ASSERT_TRUE(Save(other, dir.Path("other_saved.jnx"), -1));
  EXPECT_EQ(LoadJnx(dir.Path("other_saved.jnx")).SignatureOffset, 0u);
  EXPECT_EQ(LoadJnx(dir.Path("other_saved.jnx")).Levels[1].Description, "D2");
}

TEST(WriteJnx, OutputOf4GiBIsRefusedBeforeAnythingIsWritten) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {3});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  // The stored sizes claim more than 32-bit offsets can address.
  for (auto& t : map.Levels[0].Tiles) t.ImageSize = 0x60000000;
  const TJnxMap before = map;
  EXPECT_THROW(LayoutOffsets(map), EFormatError);
  EXPECT_EQ(map.Levels[0].TilesOffset, before.Levels[0].TilesOffset);
  EXPECT_EQ(map.Levels[0].Tiles[2].ImageOffset, before.Levels[0].Tiles[2].ImageOffset);
  std::string error;
  EXPECT_FALSE(Save(map, dir.Path("big.jnx"), -1, &error));
  EXPECT_NE(error.find("4 GiB"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(dir.Path("big.jnx")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary file left
}

// Tile data in one run is copied with the bytes before it to the start of the new file, which
// are then written over; data in several runs, or behind a shorter header, is appended.
TEST(WriteJnx, EveryCopyPathWritesTheSameFile) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {3, 5});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  ASSERT_TRUE(Save(map, dir.Path("one_run.jnx"), -1));
  // Two runs: the data of the first level's second tile is left out.
  TJnxMap split = map;
  split.Levels[0].Tiles.erase(split.Levels[0].Tiles.begin() + 1);
  split.Levels[0].TileCount = 2;
  RebuildSourceLocations(split);
  ASSERT_TRUE(Save(split, dir.Path("two_runs.jnx"), -1));
  // A header longer than everything before the source's data.
  TJnxMap longer = map;
  longer.DetailLevel = std::string(5000, 'd');
  ASSERT_TRUE(Save(longer, dir.Path("longer.jnx"), -1));
  const auto expectTiles = [&](const std::string& file, const TJnxMap& from) {
    TJnxMap out = LoadJnx(file);
    ASSERT_EQ(out.Levels.size(), from.Levels.size());
    for (std::size_t l = 0; l < out.Levels.size(); ++l)
      for (int t = 0; t < out.Levels[l].TileCount; ++t)
        EXPECT_EQ(RestoreTileJpeg(out, static_cast<int>(l), t), RestoreTileJpeg(from, static_cast<int>(l), t));
    EXPECT_EQ(out.DetailLevel, from.DetailLevel);
    EXPECT_EQ(out.Guid, from.Guid);
    const auto bytes = ReadFile(file);
    EXPECT_EQ(std::string(bytes.end() - 8, bytes.end()), "BirdsEye");
    for (std::uint32_t i = HeaderSize(out); i < static_cast<std::uint32_t>(out.Levels[0].TilesOffset); ++i)
      ASSERT_EQ(bytes[i], 0) << file << " " << i;
  };
  expectTiles(dir.Path("one_run.jnx"), map);
  expectTiles(dir.Path("two_runs.jnx"), split);
  expectTiles(dir.Path("longer.jnx"), longer);
}
