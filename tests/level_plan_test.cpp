// SPDX-License-Identifier: GPL-3.0-or-later
// Levels, scales and volumes of maps made from georeferenced rasters.
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "jnx/ScaleTable.h"
#include "uMapCreation/LevelPlan.h"

using namespace brelo;

namespace {

// A grid of 2 m pixels at 50 N.
TGeoGrid Grid(int width, int height) {
  const double lat = 50.0, m = 2.0;
  return {15.0, lat, m / MetresPerDegreeLon(lat), m / MetresPerDegreeLat(lat), width, height};
}

bool HasNote(const TLevelPlan& plan, const std::string& part) {
  for (const auto& n : plan.Notes)
    if (n.find(part) != std::string::npos) return true;
  return false;
}

}  // namespace

TEST(LevelPlan, LevelsHalveUntilOneScreenAndScalesRiseDistinct) {
  const TLevelPlan p = PlanLevels(Grid(8192, 6000), 2.0, {}, "/x/m.jnx");
  ASSERT_EQ(p.Levels.size(), 4u);  // 8192, 4096, 2048, 1024
  for (std::size_t l = 0; l < p.Levels.size(); ++l) {
    EXPECT_EQ(p.Levels[l].Factor, 1 << l);
    EXPECT_DOUBLE_EQ(p.Levels[l].MetresPerPixel, 2.0 * (1 << l));
    if (l > 0) {
      EXPECT_GT(p.Levels[l].Scale, p.Levels[l - 1].Scale);
    }
  }
  EXPECT_EQ(p.Levels[3].Grid.Width, 1024);
  EXPECT_EQ(p.Levels[3].Grid.Height, 750);
  EXPECT_EQ(p.Levels[0].Columns, 32);
  EXPECT_EQ(p.Levels[0].Rows, 24);  // 6000 / 256 rounded up
  // 2 m a pixel: 2000 is nearest 1800 ("500m") by ratio, not the next value up.
  EXPECT_EQ(p.Levels[0].ScaleName, "500m");
  ASSERT_EQ(p.Volumes.size(), 1u);
  EXPECT_EQ(p.Volumes[0].Path, "/x/m.jnx");
  // A huge raster stops at five levels; a small one is one level.
  EXPECT_EQ(PlanLevels(Grid(200000, 200000), 2.0, {}, "m.jnx").Levels.size(), 5u);
  EXPECT_EQ(PlanLevels(Grid(1000, 900), 2.0, {}, "m.jnx").Levels.size(), 1u);
  // The plan printed before a build lists the least detailed level first.
  const auto lines = p.Describe();
  EXPECT_NE(lines[1].find("1024x750"), std::string::npos) << lines[1];
}

TEST(LevelPlan, OptionsShiftOrNameScalesAndClashesMoveUp) {
  TLevelOptions o;
  o.ScaleFactor = 2;
  const TLevelPlan shifted = PlanLevels(Grid(4000, 4000), 2.0, o, "m.jnx");
  EXPECT_GT(shifted.Levels[0].Scale, 1800u);
  // Factors close together give the same nearest value: the coarser moves to the next and says so.
  o = {};
  o.Factors = {1, 2};
  o.ScaleNames = {"500m", "500m"};
  const TLevelPlan clash = PlanLevels(Grid(4000, 4000), 2.0, o, "m.jnx");
  EXPECT_EQ(clash.Levels[0].ScaleName, "500m");
  EXPECT_NE(clash.Levels[1].ScaleName, "500m");
  EXPECT_GT(clash.Levels[1].Scale, clash.Levels[0].Scale);
  EXPECT_TRUE(HasNote(clash, "taken by a more detailed level"));
  // What cannot be met is refused with the reason.
  auto refused = [](TLevelOptions options, const std::string& part) {
    try {
      PlanLevels(Grid(4000, 4000), 2.0, options, "m.jnx");
      ADD_FAILURE() << "accepted: " << part;
    } catch (const EFormatError& e) {
      EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
  };
  o = {};
  o.Factors = {1, 2, 3};  // 3 is not averaged from 2 by whole pixels
  refused(o, "larger multiple");
  o.Factors = {1, 2, 4, 8, 16, 32};
  refused(o, "1 to 5 levels");
  o = {};
  o.Levels = 2;
  o.ScaleNames = {"500m"};
  refused(o, "1 scale names for 2 levels");
  o.ScaleNames = {"500m", "nowhere"};
  refused(o, "unknown eTrex scale name");
  o = {};
  o.TileSize = 2048;
  refused(o, "tile size");
}

TEST(LevelPlan, SplitsIntoVolumesOnCoarseTileBlocks) {
  TLevelOptions o;
  o.MaxTiles = 100;  // level 1 has 16 x 16 = 256 tiles
  const TLevelPlan p = PlanLevels(Grid(4096, 4096), 2.0, o, "/d/m.jnx");
  ASSERT_GT(p.Volumes.size(), 2u);
  EXPECT_EQ(p.Volumes[0].Path, "/d/m_Part01.jnx");
  EXPECT_EQ(p.Volumes[1].Path, "/d/m_Part02.jnx");
  EXPECT_TRUE(HasNote(p, "split into"));
  // The blocks cover the coarsest level once, and no block breaks the limit at any level.
  int covered = 0;
  for (const auto& v : p.Volumes) {
    covered += v.Columns * v.Rows;
    const int per = p.Levels.back().Factor;
    const std::int64_t finest = std::int64_t(v.Columns) * per * v.Rows * per;
    EXPECT_LE(finest, o.MaxTiles);
  }
  EXPECT_EQ(covered, p.Levels.back().Columns * p.Levels.back().Rows);
  // A larger tile size avoids the split; --no-split refuses it.
  o.TileSize = 512;
  EXPECT_EQ(PlanLevels(Grid(4096, 4096), 2.0, o, "m.jnx").Volumes.size(), 1u);
  o.TileSize = 256;
  o.NoSplit = true;
  EXPECT_THROW(PlanLevels(Grid(4096, 4096), 2.0, o, "m.jnx"), EFormatError);
}
