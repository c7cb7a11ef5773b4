// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include "MyJpeg/JpegFrame.h"
#include "MyJpeg/JpegImage.h"
#include "TestSupport.h"
#include "base/Coordinates.h"
#include "base/Text.h"
#include "check/DeviceCheck.h"
#include "jnx/Guid.h"
#include "jnx/JnxReader.h"
#include "jnx/JnxWriter.h"
#include "jnx/ScaleTable.h"

using namespace brelo;
using namespace brelo::test;

namespace {

// A map of levels of tiles on a 0.01 degree grid from 50 N 10 E, each tile's JPEG given.
struct TCrafted {
  TJnxMap Map;
  std::vector<std::vector<std::uint8_t>> Jpegs;
  TCrafted() {
    Map.Version = 4, Map.ZOrder = 30, Map.BlockVersion = 9, Map.Guid = NewGuid(), Map.ProductName = "crafted";
    Map.North = DegToJnx(50.02), Map.West = DegToJnx(10), Map.South = DegToJnx(50), Map.East = DegToJnx(10.02);
  }
  TJnxTile& Tile(std::size_t level, int column, int row, std::vector<std::uint8_t> jpeg = MakeJpeg(8, 8)) {
    while (Map.Levels.size() <= level) {
      Map.Levels.emplace_back();
      Map.Levels.back().Scale = 4777 / static_cast<std::uint32_t>(Map.Levels.size());
    }
    TJnxTile t;
    t.Left = DegToJnx(10 + 0.01 * column), t.Right = DegToJnx(10 + 0.01 * (column + 1));
    t.Top = DegToJnx(50.02 - 0.01 * row), t.Bottom = DegToJnx(50.02 - 0.01 * (row + 1));
    t.Width = t.Height = 8;
    t.ImageSize = static_cast<std::int32_t>(jpeg.size() - 2);
    Jpegs.push_back(std::move(jpeg));
    Map.Levels[level].Tiles.push_back(t);
    Map.Levels[level].TileCount = static_cast<std::int32_t>(Map.Levels[level].Tiles.size());
    return Map.Levels[level].Tiles.back();
  }
  std::string Write(const TTempDir& dir, const std::string& name) {
    Map.LevelCount = Map.LevelCount2 = static_cast<std::int32_t>(Map.Levels.size());
    RebuildSourceLocations(Map);
    const std::string path = dir.Path(name);
    // Tile data in level order, as the levels hold them.
    WriteJnx(
        Map, path, -1,
        [&](TFileStream& out, std::uint32_t) {
          for (const auto& j : Jpegs) out.Write(j.data() + 2, j.size() - 2);
        },
        nullptr);
    return path;
  }
};

std::vector<std::string> Codes(const std::vector<TFinding>& findings, TSeverity severity) {
  std::vector<std::string> out;
  for (const auto& f : findings)
    if (f.Severity == severity) out.push_back(f.Code);
  return out;
}

bool Has(const std::vector<TFinding>& findings, const std::string& code, int level = -1, int tile = -1) {
  return std::any_of(findings.begin(), findings.end(), [&](const TFinding& f) {
    return f.Code == code && (level < 0 || f.Level == level) && (tile < 0 || f.Tile == tile);
  });
}

}  // namespace

TEST(JpegFrame, KindsFromTheFrameMarker) {
  auto kind = [](const std::vector<std::uint8_t>& jpeg, bool afterSoi) {
    const std::size_t skip = std::min<std::size_t>(afterSoi ? 2 : 0, jpeg.size());
    const std::size_t size = jpeg.size() - skip;
    return ReadJpegFrame(
        [&](std::uint64_t at, std::uint8_t* out, std::size_t n) {
          if (at >= size) return std::size_t{0};
          const std::size_t k = std::min<std::size_t>(n, size - at);
          std::copy_n(jpeg.begin() + static_cast<std::ptrdiff_t>(skip + at), k, out);
          return k;
        },
        size, afterSoi);
  };
  const auto baseline = MakeJpeg(16, 8);
  EXPECT_EQ(kind(baseline, true).Frame, TJpegFrame::Baseline);
  EXPECT_EQ(kind(baseline, false).Frame, TJpegFrame::Baseline);
  EXPECT_EQ(kind(baseline, true).Width, 16);
  EXPECT_EQ(kind(baseline, true).Height, 8);
  std::vector<std::uint8_t> progressive;
  EncodeJpeg(TestPicture(16, 16), 80, false, true, progressive);
  EXPECT_EQ(kind(progressive, true).Frame, TJpegFrame::Progressive);
  // A frame marker past the first bytes is reached segment by segment.
  std::vector<std::uint8_t> padded(baseline.begin(), baseline.begin() + 2);
  for (int i = 0; i < 3; ++i) {
    const std::vector<std::uint8_t> comment = {0xFF, 0xFE, 0x01, 0x02};
    padded.insert(padded.end(), comment.begin(), comment.end());
    padded.insert(padded.end(), 256, 'c');
  }
  padded.insert(padded.end(), baseline.begin() + 2, baseline.end());
  EXPECT_EQ(kind(padded, true).Frame, TJpegFrame::Baseline);
  EXPECT_EQ(kind({0x00, 0x11, 0x22, 0x33, 0x44}, true).Frame, TJpegFrame::NotJpeg);
  EXPECT_EQ(kind({0xFF}, true).Frame, TJpegFrame::NotJpeg);
}

// The findings of the header and tables, each on a map made to have it.
TEST(DeviceCheck, HeaderAndTableFindings) {
  TCrafted c;
  c.Tile(0, 0, 0);
  c.Map.LevelCount = 6;
  c.Map.Levels.resize(6);
  for (std::size_t i = 0; i < 6; ++i) c.Map.Levels[i].Scale = ScaleTable[20 - i].Value;
  c.Map.Levels[3].Scale = c.Map.Levels[2].Scale;  // a repeat
  c.Map.Levels[5].Scale = 1000;                   // not an eTrex scale
  c.Map.Levels[4].TileCount = 50001;              // header only: no tiles loaded
  c.Map.ZOrder = 150;
  c.Map.Version = 5;
  c.Map.ProductName = "Bad \xC3";
  const auto f = CheckModel(c.Map, std::uint64_t(5) << 30);
  EXPECT_TRUE(Has(f, "version"));
  EXPECT_TRUE(Has(f, "level-count"));
  EXPECT_TRUE(Has(f, "file-size"));
  EXPECT_TRUE(Has(f, "tile-count", 5));
  EXPECT_TRUE(Has(f, "scale-repeat", 4));
  EXPECT_TRUE(Has(f, "scale-value", 6));
  EXPECT_TRUE(Has(f, "text"));
  EXPECT_FALSE(Has(f, "zorder"));  // version 5: no Z order to judge; version 4 below
  c.Map.Version = 4;
  EXPECT_TRUE(Has(CheckModel(c.Map, 1000), "zorder"));
  // The repeat names both levels, the limit its number.
  for (const auto& x : f) {
    if (x.Code == "scale-repeat") {
      EXPECT_NE(x.Message.find("levels 3 and 4 share the scale"), std::string::npos) << x.Message;
    }
    if (x.Code == "tile-count") {
      EXPECT_EQ(x.Message, "level 5: 50001 tiles: receivers show a level of at most 50000");
    }
  }
  // Scales that rise towards the last level: out of order, a warning.
  TCrafted order;
  order.Tile(0, 0, 0);
  order.Tile(1, 0, 0);
  std::swap(order.Map.Levels[0].Scale, order.Map.Levels[1].Scale);
  const auto g = CheckModel(order.Map, 1000);
  EXPECT_TRUE(Has(g, "scale-order"));
  EXPECT_EQ(Codes(g, TSeverity::Error), std::vector<std::string>{});
}

TEST(DeviceCheck, TileFindingsOfAFile) {
  TTempDir dir;
  TCrafted c;
  c.Tile(0, 0, 0);
  c.Tile(0, 1, 0).Width = 0;         // no pixels
  c.Tile(0, 5, 5);                   // outside the box
  TJnxTile& over = c.Tile(0, 0, 1);  // overlaps tile 1 below it
  over.Top = DegToJnx(50.015);
  std::vector<std::uint8_t> progressive;
  EncodeJpeg(TestPicture(8, 8), 80, false, true, progressive);
  c.Tile(1, 0, 0, progressive);  // not baseline
  std::vector<std::uint8_t> broken = MakeJpeg(8, 8);
  std::fill(broken.begin() + static_cast<std::ptrdiff_t>(broken.size() / 2), broken.end() - 2, 0x00);
  c.Tile(1, 1, 0, broken);  // does not decode
  // A progressive frame behind a long comment, past the first bytes read, and a tile of a
  // few bytes that are no JPEG.
  std::vector<std::uint8_t> late(progressive.begin(), progressive.begin() + 2);
  const std::vector<std::uint8_t> comment = {0xFF, 0xFE, 0x01, 0x02};
  late.insert(late.end(), comment.begin(), comment.end());
  late.insert(late.end(), 256, 'c');
  late.insert(late.end(), progressive.begin() + 2, progressive.end());
  c.Tile(1, 0, 1, late);
  c.Tile(1, 1, 1, {0xFF, 0xD8, 0x01, 0x02, 0x03});
  const std::string path = c.Write(dir, "tiles.jnx");
  const TMapCheck quick = CheckMapFile(path, TCheckDepth::Tiles);
  EXPECT_TRUE(Has(quick.Findings, "tile-size", 1, 2));
  EXPECT_TRUE(Has(quick.Findings, "tile-outside", 1, 3));
  EXPECT_TRUE(Has(quick.Findings, "tile-overlap", 1, 4));
  EXPECT_TRUE(Has(quick.Findings, "tile-progressive", 2, 1));
  EXPECT_TRUE(Has(quick.Findings, "tile-progressive", 2, 3));
  EXPECT_TRUE(Has(quick.Findings, "tile-jpeg", 2, 4));
  EXPECT_FALSE(Has(quick.Findings, "tile-decode"));
  // Tiles' first bytes queued on a ring find the same.
  TBatchReader ring;
  const TMapCheck queued = CheckMapFile(path, TCheckDepth::Tiles, 1, &ring);
  ASSERT_EQ(queued.Findings.size(), quick.Findings.size());
  for (std::size_t i = 0; i < quick.Findings.size(); ++i)
    EXPECT_EQ(queued.Findings[i].Message, quick.Findings[i].Message);
  const TMapCheck full = CheckMapFile(path, TCheckDepth::Decode);
  EXPECT_TRUE(Has(full.Findings, "tile-decode", 2, 2)) << full.Summary();
  EXPECT_NE(full.Summary().find(" errors"), std::string::npos);
  for (const auto& f : full.Findings) EXPECT_EQ(f.Message.find('\n'), std::string::npos);
  // A map the program writes is in order.
  std::filesystem::copy_file(SampleFile(), dir.Path("sample.jnx"));
  EXPECT_EQ(CheckMapFile(dir.Path("sample.jnx"), TCheckDepth::Decode).Summary(), "ok");
}

TEST(DeviceCheck, FoldersCopiesFifosAndTheCommandLine) {
  TTempDir dir;
  std::filesystem::copy_file(SampleFile(), dir.Path("a.jnx"));
  std::filesystem::copy_file(SampleFile(), dir.Path("b.jnx"));  // the same map GUID
  ASSERT_EQ(::mkfifo(dir.Path("pipe.jnx").c_str(), 0600), 0);
  const TFolderCheck folder = CheckFolder(dir.Path(), TCheckDepth::Tiles);
  ASSERT_EQ(folder.Maps.size(), 2u);
  EXPECT_TRUE(Has(folder.Folder, "guid-copy"));
  EXPECT_TRUE(Has(folder.Folder, "not-a-file"));
  EXPECT_EQ(folder.Errors(), 1);
  // The command line: 3 for errors, 0 without; JSON with every finding's fields.
  TRunResult r = RunCommand(CliPath() + " check " + dir.Path());
  EXPECT_EQ(r.Status, 3) << r.Out;
  EXPECT_NE(r.Out.find("pipe.jnx: named like a map, but not a regular file"), std::string::npos) << r.Out;
  r = RunCommand(CliPath() + " check " + dir.Path("a.jnx"));
  EXPECT_EQ(r.Status, 0) << r.Out;
  EXPECT_EQ(r.Out, dir.Path("a.jnx") + ": ok\n");
  r = RunCommand(CliPath() + " check --json " + dir.Path());
  EXPECT_EQ(r.Status, 3);
  const auto j = nlohmann::json::parse(r.Out);
  EXPECT_EQ(j["errors"], 1);
  EXPECT_EQ(j["maps"].size(), 2u);
  const auto& findings = j["folders"][0]["findings"];
  ASSERT_EQ(findings.size(), 2u);
  for (const auto& f : findings)
    for (const char* key : {"severity", "code", "level", "tile", "message"}) EXPECT_TRUE(f.contains(key)) << key;
  // Past 200 files: older receivers do not show them all.
  TTempDir many;
  MakeTestJnx(many.Path("m0.jnx"), {1});
  for (int i = 1; i < 201; ++i) std::filesystem::copy_file(many.Path("m0.jnx"), many.Path(Format("m%d.jnx", i)));
  const TFolderCheck crowded = CheckFolder(many.Path(), TCheckDepth::Header);
  EXPECT_TRUE(Has(crowded.Folder, "file-count"));
  EXPECT_EQ(crowded.Errors(), 0);
}
