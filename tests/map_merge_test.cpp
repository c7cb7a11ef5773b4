// SPDX-License-Identifier: GPL-3.0-or-later
// Merging maps: halves of a picture merge into the map of the whole; what cannot merge is refused.
#include <cstdlib>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "jnx/JnxReader.h"
#include "jnx/MapMerge.h"

using namespace brelo;
using namespace brelo::test;

namespace {

// A calibrated picture made into a one-level map by the command line: 0.002 degrees a pixel
// from 15 E 50 N.
void MakeMap(const TTempDir& dir, const std::string& name, const TPixelBuffer& picture, int x0) {
  WritePng(dir.Path(name + ".png"), picture, false);
  const double west = 15.0 + 0.002 * x0;
  WriteOziMap(dir.Path(name + ".map"), name + ".png", picture.Width, picture.Height, west, 50.0,
              west + 0.002 * picture.Width, 50.0 - 0.002 * picture.Height);
  const TRunResult r = RunCommand(Cli("create " + dir.Path(name + ".map") + " --product-name M --scale 1.2km"));
  ASSERT_EQ(r.Status, 0) << r.Err;
}

TPixelBuffer Crop(const TPixelBuffer& p, int x0, int width) {
  TPixelBuffer out(width, p.Height, 3);
  for (int y = 0; y < p.Height; ++y) std::copy_n(p.Row(y) + 3 * x0, 3 * width, out.Row(y));
  return out;
}

}  // namespace

TEST(MapMerge, HalvesOfAPictureMergeIntoTheWhole) {
  TTempDir dir;
  const TPixelBuffer whole = TestPicture(512, 256);
  MakeMap(dir, "whole", whole, 0);
  MakeMap(dir, "west", Crop(whole, 0, 256), 0);
  MakeMap(dir, "east", Crop(whole, 256, 256), 256);
  const TMergeResult r =
      MergeMaps({dir.Path("west.jnx"), dir.Path("east.jnx")}, dir.Path("merged.jnx"), false, nullptr);
  EXPECT_EQ(r.Tiles, std::vector<int>{2});
  const TJnxMap a = LoadJnx(dir.Path("whole.jnx")), b = LoadJnx(dir.Path("merged.jnx"));
  EXPECT_EQ(b.ProductName, "M");
  EXPECT_NE(b.Guid, LoadJnx(dir.Path("west.jnx")).Guid);
  EXPECT_NEAR(b.West, a.West, 1);
  EXPECT_NEAR(b.East, a.East, 1);
  EXPECT_EQ(b.North, a.North);
  EXPECT_EQ(b.South, a.South);
  ASSERT_EQ(a.Levels[0].Tiles.size(), b.Levels[0].Tiles.size());
  for (int i = 0; i < 2; ++i) {
    const TJnxTile &x = a.Levels[0].Tiles[i], &y = b.Levels[0].Tiles[i];
    EXPECT_NEAR(x.Left, y.Left, 1) << i;
    EXPECT_NEAR(x.Right, y.Right, 1) << i;
    EXPECT_EQ(x.Top, y.Top) << i;
    EXPECT_EQ(x.Bottom, y.Bottom) << i;
    EXPECT_EQ(RestoreTileJpeg(a, 0, i), RestoreTileJpeg(b, 0, i)) << i;  // bytes copied, not re-encoded
  }
}

TEST(MapMerge, RefusalsLeaveNothing) {
  TTempDir dir;
  MakeTestJnx(dir.Path("two.jnx"), {1, 2});
  MakeTestJnx(dir.Path("three.jnx"), {1, 2, 3});
  MakeTestJnx(dir.Path("other.jnx"), {1, 2});
  auto refused = [&](const std::vector<std::string>& in, const std::string& out, const std::string& reason) {
    try {
      MergeMaps(in, out, false, nullptr);
      ADD_FAILURE() << "merged into " << out;
    } catch (const EBreloError& e) {
      EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
    }
  };
  refused({dir.Path("two.jnx"), dir.Path("three.jnx")}, dir.Path("m.jnx"), "do not match by scale");
  refused({dir.Path("two.jnx"), dir.Path("other.jnx")}, dir.Path("two.jnx"), "one of the maps merged");
  refused({dir.Path("two.jnx")}, dir.Path("m.jnx"), "at least two");
  EXPECT_FALSE(FileExists(dir.Path("m.jnx")));
  // An existing file is replaced only when asked; the command line says so with status 1.
  WriteText(dir.Path("m.jnx"), "mine");
  EXPECT_EQ(
      RunCommand(Cli("merge " + dir.Path("m.jnx") + " " + dir.Path("two.jnx") + " " + dir.Path("other.jnx"))).Status,
      1);
  EXPECT_EQ(ReadText(dir.Path("m.jnx")), "mine");
  const TRunResult r = RunCommand(
      Cli("merge " + dir.Path("m.jnx") + " " + dir.Path("two.jnx") + " " + dir.Path("other.jnx") + " --overwrite"));
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(LoadJnx(dir.Path("m.jnx")).Levels[1].Tiles.size(), 4u);
}
