// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <gtest/gtest.h>

#include "MyJpeg/JpegImage.h"
#include "TestSupport.h"
#include "base/Errors.h"
#include "base/Text.h"
#include "jnx/FolderScan.h"
#include "jnx/JnxReader.h"

using namespace brelo;
using namespace brelo::test;

namespace {

TJnxMap Load(const std::string& path, bool details = true) {
  TJnxMap map;
  map.CurrentFile = path;
  ReadJnx(map, path, details);
  return map;
}

}  // namespace

TEST(ReadJnx, PeerFileVersion4TwoLevels) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TJnxMap m = Load(peer);
  EXPECT_EQ(m.FileSize, std::filesystem::file_size(peer));
  EXPECT_EQ(m.Version, 4);
  EXPECT_EQ(m.North, -403249707);
  EXPECT_EQ(m.East, -841097761);
  EXPECT_EQ(m.South, -404919972);
  EXPECT_EQ(m.West, -843483854);
  EXPECT_EQ(m.ProductId, 3);
  EXPECT_EQ(m.ZOrder, 25);
  EXPECT_EQ(m.ProductName, "SW Test");
  EXPECT_EQ(m.DetailLevel, "South-west");
  ASSERT_EQ(m.LevelCount, 2);
  EXPECT_EQ(m.Levels[0].TileCount, 4);
  EXPECT_EQ(m.Levels[0].TilesOffset, 1024);
  EXPECT_EQ(m.Levels[1].TilesOffset, 1136);
  EXPECT_EQ(m.Levels[0].LevelCopyright, "Generated test imagery");
  EXPECT_EQ(m.Levels[1].Copyright, "Generated test imagery");
  // Partial tiles at the east edge keep their pixel sizes.
  EXPECT_EQ(m.Levels[0].Tiles[1].Width, 194);
  EXPECT_EQ(m.Levels[0].Tiles[1].Right, m.East);
  EXPECT_EQ(m.Levels[0].Tiles[0].ImageOffset, 1472u);
  ASSERT_EQ(m.SourceLocations.size(), 2u);
  EXPECT_EQ(m.SourceLocations[1].size(), 12u);
  // Every tile of the peer file restores to a decodable JPEG of its stated size.
  for (int l = 0; l < 2; ++l)
    for (int t = 0; t < m.Levels[l].TileCount; ++t) {
      TJpegImage image;
      ASSERT_TRUE(DecodeTile(m, l, t, image)) << l << "/" << t;
      EXPECT_EQ(image.Width(), m.Levels[l].Tiles[t].Width);
      EXPECT_EQ(image.Height(), m.Levels[l].Tiles[t].Height);
    }
}

TEST(ReadJnx, Version3DefaultsAndFields) {
  TTempDir dir;
  auto jpeg = MakeJpeg(8, 8);
  WriteFile(dir.Path("a.jnx"), Version3File(0, false, jpeg).Data);
  TJnxMap m = Load(dir.Path("a.jnx"));
  EXPECT_EQ(m.ZOrder, -1);
  EXPECT_EQ(m.DeviceId, 0x1234);
  EXPECT_EQ(m.Crc32, 0x7EADBEEF);
  EXPECT_EQ(m.Guid, "ABCDEF01-2345-6789-ABCD-EF0123456789");  // upper-cased
  EXPECT_EQ(m.ProductName, "Map");                            // trimmed
  EXPECT_EQ(m.ProductId2, -5);
  EXPECT_EQ(m.LevelCount2, 2);
  ASSERT_EQ(m.Levels.size(), 2u);
  for (const auto& l : m.Levels) {
    EXPECT_EQ(l.LevelUnknown, 2);
    EXPECT_EQ(l.LevelCopyright, "");
  }
  EXPECT_EQ(m.Levels[1].Name, "L2");
  EXPECT_EQ(m.Levels[1].Zoom, 2);
  EXPECT_EQ(m.Levels[1].Tiles[1].Left, 152);
  auto restored = RestoreTileJpeg(m, 1, 1);
  EXPECT_EQ(restored, jpeg);  // FF D8 and the stored bytes
}

TEST(ReadJnx, SignatureOffsetAtEndOfLevelTableSkips788Bytes) {
  TTempDir dir;
  auto jpeg = MakeJpeg(8, 8);
  // 48 + 2 x 12 = 72: the description block is read from 860.
  WriteFile(dir.Path("sig.jnx"), Version3File(72, true, jpeg).Data);
  TJnxMap m = Load(dir.Path("sig.jnx"));
  EXPECT_EQ(m.BlockVersion, 9);
  EXPECT_EQ(m.ProductName, "Map");
  EXPECT_EQ(m.Levels[0].Name, "L1");
  // Any other offset reads the block directly after the level table.
  WriteFile(dir.Path("nosig.jnx"), Version3File(73, false, jpeg).Data);
  EXPECT_EQ(Load(dir.Path("nosig.jnx")).Levels[1].Description, "D2");
}

TEST(ReadJnx, HeaderOnlyLoadKeepsPreviousTiles) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TTempDir dir;
  WriteFile(dir.Path("a.jnx"), Version3File(0, false, MakeJpeg(8, 8)).Data);
  TJnxMap m = Load(peer);
  const auto tile = m.Levels[1].Tiles[0];
  m.Levels[0].Tiles[0].Bitmap = std::make_shared<TPixelBuffer>(1, 1);
  ReadJnx(m, dir.Path("a.jnx"), false);
  EXPECT_EQ(m.Version, 3);
  EXPECT_EQ(m.Levels[1].Tiles[0].Top, tile.Top);  // the peer file's tile
  EXPECT_EQ(m.SourceLocations[1].size(), 12u);
  EXPECT_EQ(m.Levels[1].Name, "Level 2");
  EXPECT_FALSE(m.Levels[0].Tiles[0].Bitmap);  // the cache is dropped on every load
}

TEST(ReadJnx, HostileFilesRaiseNamedErrors) {
  TTempDir dir;
  auto expectError = [&](const std::vector<std::uint8_t>& bytes, const std::string& fragment) {
    WriteFile(dir.Path("bad.jnx"), bytes);
    TJnxMap m;
    try {
      ReadJnx(m, dir.Path("bad.jnx"), true);
      ADD_FAILURE() << "no error for " << fragment;
    } catch (const EFormatError& e) {
      EXPECT_NE(std::string(e.what()).find(dir.Path("bad.jnx")), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
    }
  };
  expectError({}, "too short");
  expectError(std::vector<std::uint8_t>(47, 0), "too short");
  TBytes negative;
  negative.I32(3).Zeros(20).I32(-1).Zeros(20);
  expectError(negative.Data, "negative LevelCount");
  TBytes huge;
  huge.I32(4).Zeros(20).I32(0x7FFFFFFF).Zeros(24);
  expectError(huge.Data, "LevelCount 2147483647");
  TBytes tiles;
  tiles.I32(3).Zeros(20).I32(1).Zeros(20).I32(0x10000000).I32(60).I32(0).Zeros(30);
  expectError(tiles.Data, "TileCount 268435456 in level 1");
  TBytes negTiles;
  negTiles.I32(3).Zeros(20).I32(1).Zeros(20).I32(-4).I32(60).I32(0).Zeros(30);
  expectError(negTiles.Data, "negative TileCount -4 in level 1");
  // Cut into the tile table of level 2 (the first table starts at the offset stored at 52).
  auto full = Version3File(0, false, MakeJpeg(8, 8)).Data;
  const std::int32_t tables = full[52] | full[53] << 8;
  std::vector<std::uint8_t> truncated(full.begin(), full.begin() + tables + 40);
  expectError(truncated, "tile table of level 2");
  EXPECT_THROW(
      {
        TJnxMap m;
        ReadJnx(m, dir.Path("missing.jnx"), true);
      },
      EIoError);
}

TEST(DecodeTile, OutOfRangeAndBadData) {
  TTempDir dir;
  auto jpeg = MakeJpeg(8, 8);
  TBytes b = Version3File(0, false, jpeg);
  // Spoil the stored bytes of the last tile.
  for (std::size_t i = b.Size() - 8 - (jpeg.size() - 2); i < b.Size() - 8; ++i) b.Data[i] = 0x11;
  WriteFile(dir.Path("a.jnx"), b.Data);
  TJnxMap m = Load(dir.Path("a.jnx"));
  TJpegImage image;
  EXPECT_TRUE(DecodeTile(m, 0, 0, image));
  EXPECT_FALSE(DecodeTile(m, 0, 1, image));  // index equal to TileCount
  EXPECT_FALSE(DecodeTile(m, 2, 0, image));
  EXPECT_FALSE(DecodeTile(m, 1, 1, image));
}

// A folder large enough to be read on several threads gives the same scan as one thread: name
// order ignoring case, broken files listed with their reasons, a folder named like a map skipped.
TEST(ScanJnxFolder, ThreadsDoNotChangeTheResult) {
  TTempDir dir;
  MakeTestJnx(dir.Path("seed.jnx"), {2});
  const std::string seed = dir.Path("seed.jnx");
  for (int i = 0; i < 60; ++i) {
    std::string name = i % 3 == 0 ? "M" : "m";
    name += std::to_string(100 + i);
    name += i % 2 ? ".JNX" : ".jnx";
    if (i % 17 == 5)
      WriteText(dir.Path(name), "not a map " + std::to_string(i));
    else
      std::filesystem::copy_file(seed, dir.Path(name));
  }
  std::filesystem::remove(seed);
  std::filesystem::create_directory(dir.Path("m130.jnx.d.jnx"));
  const TFolderScan one = ScanJnxFolder(dir.Path(), 1), two = ScanJnxFolder(dir.Path(), 2);
  ASSERT_EQ(one.Maps.size(), 56u);
  ASSERT_EQ(one.Unreadable.size(), 4u);
  for (const TFolderScan* s : {&one, &two}) {
    ASSERT_EQ(s->Maps.size(), one.Maps.size());
    ASSERT_EQ(s->Unreadable.size(), one.Unreadable.size());
    for (std::size_t i = 0; i < s->Maps.size(); ++i) {
      EXPECT_EQ(s->Maps[i].Path, one.Maps[i].Path);
      EXPECT_EQ(s->Maps[i].Header.LevelCount, 1);
      if (i > 0) {
        EXPECT_LT(LowerAscii(s->Maps[i - 1].Path), LowerAscii(s->Maps[i].Path));
      }
    }
    for (std::size_t i = 0; i < s->Unreadable.size(); ++i) {
      EXPECT_EQ(s->Unreadable[i].Path, one.Unreadable[i].Path);
      EXPECT_EQ(s->Unreadable[i].Reason, one.Unreadable[i].Reason);
      EXPECT_FALSE(s->Unreadable[i].Reason.empty());
    }
  }
  EXPECT_EQ(one.Unreadable[0].Path, dir.Path("m105.JNX"));
}
