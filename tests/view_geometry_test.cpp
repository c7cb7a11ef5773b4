// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include <gtest/gtest.h>

#include "base/Coordinates.h"
#include "view/ViewGeometry.h"

using namespace brelo;

namespace {

TJnxLevel LevelOf(std::vector<TJnxTile> tiles) {
  TJnxLevel level;
  level.Tiles = std::move(tiles);
  level.TileCount = static_cast<std::int32_t>(level.Tiles.size());
  return level;
}

TJnxTile Tile(double north, double east, double south, double west, int w, int h) {
  TJnxTile t;
  t.Top = DegToJnx(north), t.Right = DegToJnx(east), t.Bottom = DegToJnx(south), t.Left = DegToJnx(west);
  t.Width = static_cast<std::int16_t>(w), t.Height = static_cast<std::int16_t>(h);
  return t;
}

struct TFixture {
  TViewState v;
  TJnxMap m;
  TFixture(bool mercator) {
    m.North = DegToJnx(49.3), m.South = DegToJnx(49.1), m.West = DegToJnx(19.8), m.East = DegToJnx(20.1);
    v.CanvasWidth = 801, v.CanvasHeight = 600;
    SetLevelGeometry(v, LevelOf({Tile(49.3, 19.9, 49.2, 19.8, 256, 256)}));
    v.Mercator = mercator;
    v.ViewScale = 0.7;
    v.ViewCentreLat = DegToJnx(49.22), v.ViewCentreLon = DegToJnx(19.95);
    ComputeViewOrigin(v, m);
  }
};

}  // namespace

TEST(ViewGeometry, CentreMapsToMiddleOfCanvasInBothFamilies) {
  for (bool mercator : {false, true}) {
    TFixture f(mercator);
    EXPECT_NEAR(LonToX(f.v, f.m, f.v.ViewCentreLon), 400.5, 1.0) << mercator;
    EXPECT_NEAR(LatToY(f.v, f.m, f.v.ViewCentreLat), 300, 1.0) << mercator;
  }
}

TEST(ViewGeometry, RoundTripsWithinOnePixel) {
  for (bool mercator : {false, true}) {
    TFixture f(mercator);
    const double unitsPerPxX = 1 / (f.v.LinearFactorX * f.v.ViewScale);
    const double unitsPerPxY = 1 / (f.v.LinearFactorY * f.v.ViewScale);
    for (double lon : {19.8, 19.83, 19.95, 20.1}) {
      std::int32_t e = DegToJnx(lon);
      EXPECT_LE(std::abs(double(XToLon(f.v, f.m, LonToX(f.v, f.m, e))) - e), unitsPerPxX * 1.5) << lon;
    }
    for (double lat : {49.3, 49.25, 49.1}) {
      std::int32_t e = DegToJnx(lat);
      EXPECT_LE(std::abs(double(YToLat(f.v, f.m, LatToY(f.v, f.m, e))) - e), unitsPerPxY * 1.5) << lat;
    }
    for (int x : {0, 17, 400, 800}) EXPECT_NEAR(LonToX(f.v, f.m, XToLon(f.v, f.m, x)), x, 1) << x;
    for (int y : {0, 33, 599}) EXPECT_NEAR(LatToY(f.v, f.m, YToLat(f.v, f.m, y)), y, 1) << y;
  }
}

TEST(ViewGeometry, LevelGeometryTakesFirstProperTileAndDecidesMercator) {
  TViewState v;
  // Degenerate tiles first; the third is proper and square in degrees.
  TJnxTile flatX = Tile(1, 1, 0, 1, 10, 10), flatY = Tile(1, 2, 1, 1, 10, 10);
  EXPECT_TRUE(SetLevelGeometry(v, LevelOf({flatX, flatY, Tile(10, 10, 9, 9, 256, 256)})));
  EXPECT_NEAR(v.LinearFactorX, 256.0 / DegToJnx(1), 1e-9);
  EXPECT_DOUBLE_EQ(v.LinearFactorX / v.LinearFactorY, 1.0);
  // The Mercator factors cross over.
  EXPECT_NEAR(v.MercatorFactorY, 256 / (JnxToRad(DegToJnx(10)) - JnxToRad(DegToJnx(9))), 1e-6);
  EXPECT_NEAR(v.MercatorFactorX, 256 / (MercatorOrdinate(DegToJnx(10)) - MercatorOrdinate(DegToJnx(9))), 1e-6);
  for (auto [w, expected] : std::vector<std::pair<int, bool>>{{205, false}, {307, false}, {231, true}, {281, true}}) {
    SetLevelGeometry(v, LevelOf({Tile(10, 10, 9, 9, w, 256)}));  // r = w / 256
    EXPECT_EQ(v.Mercator, expected) << w;
  }
  EXPECT_FALSE(IsSquarePixelRatio(0.9));
  EXPECT_FALSE(IsSquarePixelRatio(1.1));
  // No proper tile: factors stay.
  const double before = v.LinearFactorX;
  SetLevelGeometry(v, LevelOf({flatX}));
  EXPECT_EQ(v.LinearFactorX, before);
  EXPECT_EQ(LevelPixelRatio(LevelOf({flatX})), 1.0);
}

TEST(ViewGeometry, DefaultFrameIsOneKilometre) {
  TViewState v;
  v.CanvasWidth = 640, v.CanvasHeight = 480;
  TJnxMap m;
  SetDefaultFrame(v, m);
  ComputeViewOrigin(v, m);
  TMapExtent e = MapExtent(v, m);
  EXPECT_NEAR(e.WidthKm, 1.0, 1e-4);
  EXPECT_NEAR(e.HeightKm, 1.0, 1e-4);
  EXPECT_NEAR(e.WidthPx, 640, 1);
  EXPECT_NEAR(e.HeightPx, 480, 1);
}

TEST(ViewGeometry, MercatorStretchesAwayFromNorth) {
  TFixture lin(false), mer(true);
  lin.v.MercatorFactorY = lin.v.LinearFactorY * (1 / (JnxToRad(1) - JnxToRad(0)));
  // Far from the reference parallel the Mercator ordinate grows faster than the latitude.
  std::int32_t far = DegToJnx(-30);
  double linear = JnxToRad(Diff32(mer.m.North, far));
  EXPECT_GT(MercatorOrdinate(Diff32(mer.m.North, far)), linear);
  EXPECT_NEAR(MercatorOrdinate(DegToJnx(1e-4)), JnxToRad(DegToJnx(1e-4)), 1e-12);
}

TEST(ViewGeometry, AntimeridianDifferencesWrapWithoutOverflow) {
  TViewState v;
  TJnxMap m;
  m.West = DegToJnx(170), m.North = DegToJnx(10);
  v.LinearFactorX = v.LinearFactorY = 1e-5;
  // -170 is 20 degrees east of 170 across the antimeridian: the 32-bit difference wraps.
  EXPECT_NEAR(LonToX(v, m, DegToJnx(-170)), DegToJnx(20) * 1e-5, 1);
  EXPECT_EQ(XToLon(v, m, 0), m.West);
}
