// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/Errors.h"
#include "base/StreamHelpers.h"
#include "commands/SaveCommands.h"
#include "commands/UpdateCommands.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxUpdate.h"
#include "jnx/JnxWriter.h"
#include "jnx/MapEdits.h"
#include "jnx/ScaleTable.h"
#include "resources/Resources.h"

using namespace brelo;
using namespace brelo::test;

TEST(WriteHeader, FitTestIsStrictAndRefusalLeavesFileUnchanged) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {2});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  const auto original = ReadFile(dir.Path("m.jnx"));
  const std::uint32_t room = static_cast<std::uint32_t>(map.Levels[0].TilesOffset) - HeaderSize(map);
  // Exactly reaching the first table is refused.
  map.DetailLevel += std::string(room, 'x');
  EXPECT_EQ(HeaderSize(map), static_cast<std::uint32_t>(map.Levels[0].TilesOffset));
  TCommandResult r = UpdateNowCommand(map, nullptr);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Text, dir.Path("m.jnx") + "\n\nNOT updated. ReadOnly? Try SaveMap.");
  EXPECT_EQ(ReadFile(dir.Path("m.jnx")), original);
  // One byte less fits.
  map.DetailLevel.pop_back();
  r = UpdateNowCommand(map, nullptr);
  EXPECT_TRUE(r.Ok);
  EXPECT_EQ(r.Text, dir.Path("m.jnx") + " successfully updated.");
  EXPECT_EQ(LoadJnx(dir.Path("m.jnx")).DetailLevel, map.DetailLevel);
}

TEST(WriteHeader, ShorteningClearsTheFreedBytes) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {2});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  const auto before = ReadFile(dir.Path("m.jnx"));
  const std::uint32_t oldEnd = HeaderSize(map);
  map.Levels[0].Name.resize(2);  // "Level 1" shortened by 5 bytes
  ASSERT_NO_THROW(WriteHeader(map, map.CurrentFile, true));
  const auto after = ReadFile(dir.Path("m.jnx"));
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(HeaderSize(map), oldEnd - 5);
  for (std::uint32_t i = HeaderSize(map); i < static_cast<std::uint32_t>(map.Levels[0].TilesOffset); ++i)
    ASSERT_EQ(after[i], 0) << i;
  // Everything from the first tile table on is untouched.
  EXPECT_TRUE(
      std::equal(after.begin() + map.Levels[0].TilesOffset, after.end(), before.begin() + map.Levels[0].TilesOffset));
  EXPECT_EQ(LoadJnx(dir.Path("m.jnx")).Levels[0].Name, "Le");
}

TEST(DeleteTiles, TwoOfTenInLevelOneMovesLevelTwo) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {10, 4});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  const std::int32_t level2Before = map.Levels[1].TilesOffset;
  const auto keptTile = map.Levels[0].Tiles[2];
  const auto level2Tiles = map.Levels[1].Tiles;
  TCommandResult r = DeleteTilesCommand(map, 0, {0, 5});
  ASSERT_TRUE(r.Ok) << r.Text;
  EXPECT_EQ(r.Text, dir.Path("m.jnx") + " updated.");
  EXPECT_EQ(map.SourceLocations[0].size(), 8u);
  TJnxMap out = LoadJnx(dir.Path("m.jnx"));
  EXPECT_EQ(out.Levels[0].TileCount, 8);
  EXPECT_EQ(out.Levels[1].TileCount, 4);
  EXPECT_EQ(out.Levels[1].TilesOffset, level2Before - 56);
  EXPECT_EQ(out.Levels[0].Tiles[1].Top, keptTile.Top);
  EXPECT_EQ(out.Levels[0].Tiles[1].ImageOffset, keptTile.ImageOffset);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(out.Levels[1].Tiles[i].ImageOffset, level2Tiles[i].ImageOffset);
  for (int t = 0; t < 8; ++t) EXPECT_NO_THROW(RestoreTileJpeg(out, 0, t));
}

TEST(DeleteTiles, RefusedWhenTablesAreNotBackToBack) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {3, 3});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  // Pretend level 2's table lies elsewhere: rewriting contiguously would overwrite data.
  map.Levels[1].TilesOffset += 28;
  const auto before = ReadFile(dir.Path("m.jnx"));
  TCommandResult r = DeleteTilesCommand(map, 0, {1});
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(ReadFile(dir.Path("m.jnx")), before);
}

TEST(AddDummyLevel, PlaceholderReplacesTheTrailer) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {20});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  const std::int32_t firstTable = map.Levels[0].TilesOffset;
  const std::uint32_t oldSize = map.FileSize;
  ASSERT_TRUE(CanAddDummyLevel(map));
  const auto jpeg = DummyJpgBytes();
  TCommandResult r = AddPlaceholderLevelCommand(map, ScaleName(18));
  ASSERT_TRUE(r.Ok) << r.Text;
  EXPECT_EQ(r.Text, dir.Path("m.jnx") + " updated. Dummy level added.");
  TJnxMap out = LoadJnx(dir.Path("m.jnx"));
  ASSERT_EQ(out.LevelCount, 2);
  EXPECT_EQ(out.LevelCount2, 2);
  EXPECT_EQ(out.Levels[0].TilesOffset, firstTable - 28);
  const TJnxLevel& d = out.Levels[1];
  EXPECT_EQ(d.Name, "dummy");
  EXPECT_EQ(d.LevelCopyright, "dummy");
  EXPECT_EQ(d.Zoom, 2);
  EXPECT_EQ(d.Scale, 18u);
  ASSERT_EQ(d.TileCount, 1);
  EXPECT_EQ(d.Tiles[0].Width, 1);
  EXPECT_EQ(d.Tiles[0].Height, 1);
  EXPECT_EQ(d.Tiles[0].Top, out.North);
  EXPECT_EQ(d.Tiles[0].Bottom, out.North - 1);
  EXPECT_EQ(d.Tiles[0].Right, out.West + 1);
  EXPECT_EQ(d.Tiles[0].ImageSize, static_cast<std::int32_t>(jpeg.size() - 2));
  EXPECT_EQ(d.Tiles[0].ImageOffset, oldSize - 8);
  EXPECT_EQ(out.FileSize, oldSize - 8 + jpeg.size() - 2 + 8);
  EXPECT_EQ(RestoreTileJpeg(out, 1, 0), jpeg);
  auto bytes = ReadFile(dir.Path("m.jnx"));
  EXPECT_EQ(std::string(bytes.end() - 8, bytes.end()), "BirdsEye");
  for (int t = 0; t < 20; ++t) EXPECT_EQ(RestoreTileJpeg(out, 0, t), RestoreTileJpeg(map, 0, t));
  EXPECT_FALSE(CanAddDummyLevel(out));  // the last level is now "dummy"
}

TEST(AddDummyLevel, WithoutTrailerAppendsInsteadOfOverwriting) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {2});
  auto bytes = ReadFile(dir.Path("m.jnx"));
  bytes.resize(bytes.size() - 8);  // no trailer: the last bytes are tile data
  WriteFile(dir.Path("m.jnx"), bytes);
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  const auto lastTile = RestoreTileJpeg(map, 0, 1);
  ASSERT_TRUE(AddPlaceholderLevelCommand(map, ScaleName(18)).Ok);
  TJnxMap out = LoadJnx(dir.Path("m.jnx"));
  EXPECT_EQ(out.Levels[1].Tiles[0].ImageOffset, bytes.size());
  EXPECT_EQ(RestoreTileJpeg(out, 0, 1), lastTile);
}

TEST(AddDummyLevel, RefusalRestoresModelAndFile) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {2});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  // Use up the free space so that the grown header no longer fits.
  map.DetailLevel = std::string(static_cast<std::size_t>(map.Levels[0].TilesOffset) - HeaderSize(map) - 30, 'x');
  ASSERT_NO_THROW(WriteHeader(map, map.CurrentFile, true));
  map = LoadJnx(dir.Path("m.jnx"));
  const auto before = ReadFile(dir.Path("m.jnx"));
  TCommandResult r = AddPlaceholderLevelCommand(map, ScaleName(18));
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Text, dir.Path("m.jnx") + "\n\nNOT updated. ReadOnly? Save map first and try again.");
  EXPECT_EQ(map.LevelCount, 1);
  EXPECT_EQ(ReadFile(dir.Path("m.jnx")), before);
}

TEST(AddDummyLevel, MenuOffersScalesUpToTheLastLevels) {
  TJnxMap map;
  map.Levels.resize(5);
  map.LevelCount = 5;
  EXPECT_FALSE(CanAddDummyLevel(map));
  map.Levels.resize(4);
  map.LevelCount = 4;
  map.Levels.back().Scale = 4700;  // first table scale not below it: 4777, entry 12
  EXPECT_TRUE(CanAddDummyLevel(map));
  EXPECT_EQ(DummyLevelScaleCount(map), 13);
  map.Levels.back().Scale = 3000000;
  EXPECT_EQ(DummyLevelScaleCount(map), 27);
}

TEST(ApplyMapEdits, AcceptanceRules) {
  TJnxMap map;
  map.Version = 4;
  map.ProductId = 9;
  map.ZOrder = 40;
  map.ProductName = "Old";
  map.Levels.resize(1);
  map.LevelCount = 1;
  auto apply = [&](auto change) {
    TMapEditCells cells = EditCellsFromMap(map);
    change(cells);
    ApplyMapEdits(map, cells);
    return cells;
  };
  auto cells = apply([](TMapEditCells& c) { c.Version = "5"; });
  EXPECT_EQ(map.Version, 4);
  EXPECT_EQ(cells.Version, "4");
  apply([](TMapEditCells& c) { c.ProductId = "abc"; });
  EXPECT_EQ(map.ProductId, 0);
  apply([](TMapEditCells& c) { c.ProductId = "12x"; });
  EXPECT_EQ(map.ProductId, 12);
  apply([](TMapEditCells& c) { c.ProductId = "-3"; });
  EXPECT_EQ(map.ProductId, 12);
  apply([](TMapEditCells& c) { c.ProductId = "-3x"; });
  EXPECT_EQ(map.ProductId, 3);
  apply([](TMapEditCells& c) { c.ProductId = " $1F"; });
  EXPECT_EQ(map.ProductId, 31);
  cells = apply([](TMapEditCells& c) { c.ProductId = "70000"; });
  EXPECT_EQ(map.ProductId2, 4464);
  cells = apply([](TMapEditCells& c) { c.ProductId = "40000"; });
  EXPECT_EQ(map.ProductId2, -25536);
  EXPECT_EQ(cells.ProductId2, "-25536");
  apply([](TMapEditCells& c) { c.ZOrder = "150"; });
  EXPECT_EQ(map.ZOrder, 30);
  apply([](TMapEditCells& c) { c.ZOrder = "-1"; });
  EXPECT_EQ(map.ZOrder, 30);
  apply([](TMapEditCells& c) { c.ZOrder = "100"; });
  EXPECT_EQ(map.ZOrder, 100);
  cells = apply([](TMapEditCells& c) { c.ProductName = "   "; });
  EXPECT_EQ(map.ProductName, "Old");
  EXPECT_EQ(cells.ProductName, "Old");
  apply([](TMapEditCells& c) { c.ProductName = "  New  "; });
  EXPECT_EQ(map.ProductName, "New");
  apply([](TMapEditCells& c) {
    c.Version = "3";
    c.ZOrder = "50";
  });
  EXPECT_EQ(map.ZOrder, -1);
  apply([](TMapEditCells& c) {
    c.Levels[0].Copyright = "(c) me";
    c.Levels[0].Scale = "4777";
  });
  EXPECT_EQ(map.Levels[0].Copyright, "(c) me");
  EXPECT_EQ(map.Levels[0].LevelCopyright, "(c) me");
  EXPECT_EQ(map.Levels[0].Scale, 4777u);
  EXPECT_THROW(apply([](TMapEditCells& c) { c.Levels[0].Scale = "12x"; }), EFormatError);
}

TEST(UpdateMapNow, SignedFileKeepsReadingBackAfterAnEdit) {
  TTempDir dir;
  WriteFile(dir.Path("sig.jnx"), Version3File(72, true, MakeJpeg(8, 8)).Data);
  TJnxMap map = LoadJnx(dir.Path("sig.jnx"));
  map.ProductName = "Renamed";
  TCommandResult r = UpdateNowCommand(map, nullptr);
  ASSERT_TRUE(r.Ok) << r.Text;
  EXPECT_EQ(map.SignatureOffset, 0u);  // the model says what the file now holds
  TJnxMap out = LoadJnx(dir.Path("sig.jnx"));
  EXPECT_EQ(out.SignatureOffset, 0u);
  EXPECT_EQ(out.ProductName, "Renamed");
  EXPECT_EQ(out.Guid, map.Guid);
  EXPECT_EQ(out.Levels[1].Description, "D2");
  EXPECT_EQ(out.Levels[1].Zoom, 2);
  EXPECT_EQ(RestoreTileJpeg(out, 1, 1), RestoreTileJpeg(LoadJnx(dir.Path("sig.jnx")), 1, 1));
}

TEST(UpdateMapNow, FirstTableBeyondTheEndIsRefusedAndTheFileUnchanged) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {1});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  const auto original = ReadFile(dir.Path("m.jnx"));
  map.Levels[0].TilesOffset = 50 * 1000 * 1000;  // as a damaged level table claims
  TCommandResult r = UpdateNowCommand(map, nullptr);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Text, dir.Path("m.jnx") + "\n\nNOT updated. ReadOnly? Try SaveMap.");
  EXPECT_EQ(ReadFile(dir.Path("m.jnx")), original);
}

TEST(AddDummyLevel, ScalesNotOnOfferAreRefused) {
  TTempDir dir;
  MakeTestJnx(dir.Path("m.jnx"), {1});
  TJnxMap map = LoadJnx(dir.Path("m.jnx"));
  const auto original = ReadFile(dir.Path("m.jnx"));
  const int offered = DummyLevelScaleCount(map);
  ASSERT_LT(offered, static_cast<int>(ScaleTable.size()));
  TCommandResult r = AddPlaceholderLevelCommand(map, ScaleTable[static_cast<std::size_t>(offered)].Name);
  EXPECT_FALSE(r.Ok);
  EXPECT_NE(r.Text.find("is not offered"), std::string::npos) << r.Text;
  EXPECT_THROW(AppendDummyLevel(map, ScaleTable[static_cast<std::size_t>(offered)].Value, DummyJpgBytes()), ERefused);
  EXPECT_THROW(AppendDummyLevel(map, 12345, DummyJpgBytes()), ERefused);
  EXPECT_EQ(ReadFile(dir.Path("m.jnx")), original);
  EXPECT_EQ(map.LevelCount, 1);
  EXPECT_EQ(PlaceholderScales(map).size(), static_cast<std::size_t>(offered));
  EXPECT_TRUE(AddPlaceholderLevelCommand(map, PlaceholderScales(map).back()).Ok);
  EXPECT_TRUE(PlaceholderScales(map).empty());  // the last level is now "dummy"
}

// Another program replaced, changed or removed the loaded file: no in-place change and no
// copy touches what is there now, and each says why.
TEST(LoadedFile, ChangesOnDiskStopEveryWriteFromTheLoadedModel) {
  TTempDir dir;
  const std::string a = dir.Path("a.jnx"), b = dir.Path("b.jnx");
  MakeTestJnx(a, {3, 2}, 4, "Map A");
  MakeTestJnx(b, {1}, 4, "Map B");

  // Replaced under the same name by another map.
  TJnxMap map = LoadJnx(a);
  std::filesystem::rename(b, a);
  const auto replaced = ReadFile(a);
  TCommandResult r = UpdateNowCommand(map, nullptr);
  EXPECT_FALSE(r.Ok);
  EXPECT_TRUE(r.ChangedOnDisk);
  EXPECT_EQ(r.Text, a + " changed on disk since it was loaded");
  EXPECT_FALSE(DeleteTilesCommand(map, 0, {0}).Ok);
  EXPECT_FALSE(AddPlaceholderLevelCommand(map, "300m").Ok);
  EXPECT_TRUE(SaveMapCommand(map, nullptr, {}).ChangedOnDisk);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("a_saved.jnx")));
  EXPECT_EQ(ReadFile(a), replaced);

  // Changed in place (same size, another header).
  MakeTestJnx(a, {3, 2}, 4, "Map A");
  map = LoadJnx(a);
  TJnxMap other = LoadJnx(a);
  other.ProductName = "Map Z";
  ASSERT_NO_THROW(WriteHeader(other, a, false));
  const auto changed = ReadFile(a);
  EXPECT_TRUE(UpdateNowCommand(map, nullptr).ChangedOnDisk);
  EXPECT_EQ(ReadFile(a), changed);

  // Removed: the update creates nothing.
  map = LoadJnx(a);
  std::filesystem::remove(a);
  r = UpdateNowCommand(map, nullptr);
  EXPECT_TRUE(r.ChangedOnDisk);
  EXPECT_FALSE(std::filesystem::exists(a));

  // The program's own changes keep the model in step with the file.
  MakeTestJnx(a, {3, 2}, 4, "Map A");
  map = LoadJnx(a);
  map.ProductName = "First";
  EXPECT_TRUE(UpdateNowCommand(map, nullptr).Ok);
  map.ProductName = "Second";
  EXPECT_TRUE(UpdateNowCommand(map, nullptr).Ok);
  EXPECT_TRUE(DeleteTilesCommand(map, 0, {1}).Ok);
  EXPECT_TRUE(SaveMapCommand(map, nullptr, {}).Ok);
  EXPECT_EQ(LoadJnx(a).ProductName, "Second");
  EXPECT_EQ(LoadJnx(a).Levels[0].TileCount, 2);
}
