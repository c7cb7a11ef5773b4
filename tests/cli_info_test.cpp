// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "TestSupport.h"

using namespace brelo::test;

namespace {

// Every failure is one line on stderr starting with the tool's name, and status 1.
void ExpectOneLineError(const TRunResult& r, const std::string& fragment) {
  EXPECT_EQ(r.Status, 1) << r.Err;
  EXPECT_EQ(r.Err.rfind("brelo-cli: ", 0), 0u) << r.Err;
  EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
  EXPECT_NE(r.Err.find(fragment), std::string::npos) << r.Err;
}
}  // namespace

TEST(CliInfo, JsonReproducesPeerFileFieldForField) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TRunResult r = RunCommand(Cli("info --json " + peer));
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto j = nlohmann::json::parse(r.Out);
  std::vector<std::string> keys;
  for (auto it = j.begin(); it != j.end(); ++it) keys.push_back(it.key());
  std::vector<std::string> expected = {"FileSize",
                                       "Version",
                                       "DeviceId",
                                       "North",
                                       "East",
                                       "South",
                                       "West",
                                       "LevelCount",
                                       "Expiration",
                                       "ProductId",
                                       "Crc32",
                                       "SignatureVersion",
                                       "SignatureOffset",
                                       "ZOrder",
                                       "BlockVersion",
                                       "Guid",
                                       "ProductName",
                                       "UnknownString",
                                       "ProductId2",
                                       "DetailLevel",
                                       "LevelCount2",
                                       "Levels"};
  std::sort(expected.begin(), expected.end());
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(j["West"], -843483854);
  EXPECT_EQ(j["SignatureOffset"], 0u);
  ASSERT_EQ(j["Levels"].size(), 2u);
  const auto& level2 = j["Levels"][1];
  EXPECT_EQ(level2["TileCount"], 12);
  EXPECT_EQ(level2["Tiles"].size(), 12u);
  EXPECT_EQ(level2["LevelCopyright"], "Generated test imagery");
  const auto& last = level2["Tiles"][11];
  for (const char* k : {"Top", "Right", "Bottom", "Left", "Width", "Height", "ImageSize", "ImageOffset"})
    EXPECT_TRUE(last.contains(k)) << k;
  // The last tile's data ends where the trailer begins.
  EXPECT_EQ(last["ImageOffset"].get<std::uint64_t>() + last["ImageSize"].get<std::uint64_t>(),
            std::filesystem::file_size(peer) - 8);
}

TEST(CliInfo, TileReturnsTheExactStoredBytes) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TTempDir dir;
  TRunResult r = RunCommand(Cli("tile " + peer + " 2 12 " + dir.Path("t.jpg")));
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto jpeg = ReadFile(dir.Path("t.jpg"));
  auto file = ReadFile(peer);
  auto json = nlohmann::json::parse(RunCommand(Cli("info --json " + peer)).Out);
  const auto& tile = json["Levels"][1]["Tiles"][11];
  const std::size_t offset = tile["ImageOffset"], size = tile["ImageSize"];
  ASSERT_EQ(jpeg.size(), size + 2);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  EXPECT_TRUE(std::equal(jpeg.begin() + 2, jpeg.end(), file.begin() + static_cast<long>(offset)));
  ExpectOneLineError(RunCommand(Cli("tile " + peer + " 2 13 " + dir.Path("t.jpg"))), "no tile 13 in level 2");
}

TEST(CliInfo, DecodeReportsSizeAndNamesFailingTiles) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TRunResult ok = RunCommand(Cli("decode " + peer + " --level 1 --scale 2"));
  EXPECT_EQ(ok.Status, 0) << ok.Err;
  EXPECT_EQ(ok.Out, "4 tiles decoded, first 128x128\n");

  TTempDir dir;
  auto bytes = ReadFile(peer);
  // Overwrite the data of tile 1 of level 1 (offset 1472) with noise.
  for (std::size_t i = 1472; i < 1472 + 64; ++i) bytes[i] = 0x5A;
  WriteFile(dir.Path("bad.jnx"), bytes);
  TRunResult bad = RunCommand(Cli("decode " + dir.Path("bad.jnx")));
  EXPECT_EQ(bad.Status, 1);
  EXPECT_NE(bad.Err.find("level 1 tile 1: JPEG error #"), std::string::npos) << bad.Err;
  EXPECT_NE(bad.Out.find("15 tiles decoded"), std::string::npos) << bad.Out;
}

TEST(CliInfo, HostileFilesGiveOneLineErrors) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TTempDir dir;
  WriteFile(dir.Path("empty.jnx"), {});
  ExpectOneLineError(RunCommand(Cli("info " + dir.Path("empty.jnx"))), "empty.jnx: file of 0 bytes is too short");
  auto bytes = ReadFile(peer);
  WriteFile(dir.Path("head.jnx"), {bytes.begin(), bytes.begin() + 30});
  ExpectOneLineError(RunCommand(Cli("info " + dir.Path("head.jnx"))), "too short");
  WriteFile(dir.Path("tables.jnx"), {bytes.begin(), bytes.begin() + 1200});
  ExpectOneLineError(RunCommand(Cli("info --json " + dir.Path("tables.jnx"))), "tile table of level 2");
  auto absurd = bytes;
  absurd[24] = 0xFF, absurd[25] = 0xFF, absurd[26] = 0xFF, absurd[27] = 0x7F;
  WriteFile(dir.Path("absurd.jnx"), absurd);
  ExpectOneLineError(RunCommand(Cli("info " + dir.Path("absurd.jnx"))), "LevelCount 2147483647");
  auto negative = bytes;
  negative[52] = negative[53] = negative[54] = negative[55] = 0xFF;
  WriteFile(dir.Path("negative.jnx"), negative);
  ExpectOneLineError(RunCommand(Cli("decode " + dir.Path("negative.jnx"))), "negative TileCount -1 in level 1");
  ExpectOneLineError(RunCommand(Cli("info " + dir.Path("nothing.jnx"))), "nothing.jnx: cannot open");
}

TEST(CliInfo, UsageErrorsExitTwo) {
  REQUIRE_PEER_FILE(peer, "sw_two_levels.jnx");
  TRunResult r = RunCommand(Cli("info"));
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("Usage"), std::string::npos);
  EXPECT_EQ(RunCommand(Cli("frobnicate")).Status, 2);
  EXPECT_EQ(RunCommand(Cli("decode " + peer + " --scale 3")).Status, 2);
}
