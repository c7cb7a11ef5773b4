// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/Coordinates.h"
#include "base/NumberFormat.h"
#include "base/PrintfFormat.h"
#include "view/MapTexts.h"
#include "view/ViewGeometry.h"

using namespace brelo;
using namespace brelo::test;

TEST(FormatNumbers, SignificantDigitsAtLeastTwoAndShortestForms) {
  EXPECT_EQ(FormatNumbers("%.0g %.0g %.0g", 5.3, 53.0, 0.53), "5.3 53 0.53");
  EXPECT_EQ(FormatNumbers("%.3g", 21.84), "21.8");
  EXPECT_EQ(FormatNumbers("%.0e", 2.46), "2.5e0");
  EXPECT_EQ(FormatNumbers("%.0e", 0.973), "9.7e-1");
  EXPECT_EQ(FormatNumbers("%.2d:%s %.4f", 7, "x", 0.5), "07:x 0.5000");
  EXPECT_EQ(ShortestNumber(0.25), "0.25");
  EXPECT_EQ(ShortestNumber(3), "3");
  EXPECT_EQ(ShortestNumber(1.5e-5), "1.5E-5");
}

TEST(MapTexts, ScaleBarRoundsInTwoSteps) {
  EXPECT_EQ(ScaleBarKm(2.46), 2);
  EXPECT_EQ(ScaleBarKm(3.46), 4);
  EXPECT_EQ(ScaleBarKm(0.973), 1);
  EXPECT_DOUBLE_EQ(ScaleBarKm(0.52), 0.5);
  EXPECT_EQ(ScaleBarLabel(2), "2km");
  EXPECT_EQ(ScaleBarLabel(0.5), "500m");
}

TEST(MapTexts, InfoTextsAndDegrees) {
  TJnxMap none;
  TMapExtent e{1, 1, 640, 482, 1.3278};
  EXPECT_EQ(MapInfoText(none, -1, e), "No map\n1km x 1km\n640px x 482px\nscale_x/scale_y=1.3278");
  TTempDir dir;
  MakeTestJnx(dir.Path("v3.jnx"), {2, 4}, 3, "Three");
  TJnxMap m = LoadJnx(dir.Path("v3.jnx"));
  e = {21.84, 15.6, 1000, 700, 0.6667};
  EXPECT_EQ(
      MapInfoText(m, 1, e),
      "0: Three\nL 2/2  21.8km x 15.6km\n1000px x 700px\n4 tiles   ZOrder=-1\nzoom 2388=800m\nscale_x/scale_y=0.6667");
  EXPECT_EQ(LevelChangeText(m, 0, e),
            "0: Three\n21.8km x 15.6km\nLevel 1/2\n1000px x 700px\n2 tiles   ZOrder=-1\nzoom "
            "4777=1.2km\nscale_x/scale_y=0.6667");
  EXPECT_EQ(FormatDms(2, 49.118125),
            "49\xC2\xB0"
            "07'05.25\"");
  EXPECT_EQ(FormatDms(0, -10.5),
            "-10\xC2\xB0"
            "30'00\"");
  EXPECT_EQ(TrackLengthText({}), "TrackLen=0.000km");
}

TEST(MapTexts, PositionReadOutInTheFourHemispheres) {
  TJnxMap m;
  TViewState v;
  v.CanvasWidth = 640, v.CanvasHeight = 480;
  for (auto [lat, lon, h1, h2] : std::vector<std::tuple<double, double, const char*, const char*>>{
           {49.5, 19.5, "N", "E"}, {-33.9, -70.6, "S", "W"}, {35.0, -120.0, "N", "W"}, {-12.0, 130.0, "S", "E"}}) {
    v.ViewCentreLat = DegToJnx(lat), v.ViewCentreLon = DegToJnx(lon);
    SetDefaultFrame(v, m);
    ComputeViewOrigin(v, m);
    const std::string text = PositionText(v, m, 320, 240, {});
    EXPECT_NE(text.find(std::string("(") + h1 + FormatNumbers("%.6f", std::fabs(lat)).substr(0, 4)), std::string::npos)
        << text;
    EXPECT_NE(text.find(std::string(" ") + h2), std::string::npos) << text;
    EXPECT_EQ(text.find('-', text.find(')')), std::string::npos) << text;  // unsigned values with their letters
    EXPECT_NE(text.find("km from center TrackLen=0.000km"), std::string::npos) << text;
  }
}

TEST(ViewGeometry, HalfOpenHitTestPansAndFits) {
  TJnxLevel level;
  TJnxTile a, b;
  a.Left = 0, a.Right = 100, a.Bottom = 0, a.Top = 100, a.Width = a.Height = 8;
  b.Left = 100, b.Right = 200, b.Bottom = 0, b.Top = 100, b.Width = b.Height = 8;
  level.Tiles = {a, b};
  EXPECT_EQ(TileAt(level, 0, 0), 0);      // Left and Bottom belong to the tile
  EXPECT_EQ(TileAt(level, 50, 100), 1);   // its Right is the neighbour's Left
  EXPECT_EQ(TileAt(level, 100, 50), -1);  // its Top belongs to no tile here
  level.Tiles[0].Width = 0;
  EXPECT_EQ(TileAt(level, 10, 10), -1);  // no size: never hit

  TJnxMap m;
  TViewState v;
  v.CanvasWidth = 640, v.CanvasHeight = 480;
  SetDefaultFrame(v, m);
  const std::int32_t lon = v.ViewCentreLon;
  ComputeViewOrigin(v, m);
  PanBy(v, m, -30, 0);  // the pointer moved 30 pixels right
  EXPECT_EQ(v.ViewCentreLon, XToLon(v, m, LonToX(v, m, lon) - 30));
  // Panning past the range stops at its edge.
  v.ViewCentreLon = kJnxMaxUnit - 10;
  PanBy(v, m, 100000, 0);
  EXPECT_EQ(v.ViewCentreLon, kJnxMaxUnit);

  // A 0.1-degree box on a 640 x 482 canvas: 100 pixels of margin (at scale 1) on the tighter
  // side, and a scale of three significant digits.
  v.CanvasWidth = 640, v.CanvasHeight = 482;
  v.ViewCentreLat = DegToJnx(50), v.ViewCentreLon = DegToJnx(20);
  SetDefaultFrame(v, m);
  FitToBounds(v, m, DegToJnx(49.95), DegToJnx(19.95), DegToJnx(50.05), DegToJnx(20.05));
  std::string digits = ShortestNumber(v.ViewScale);
  digits.erase(0, digits.find_first_not_of("0."));
  EXPECT_LE(digits.size(), 3u) << ShortestNumber(v.ViewScale);
  ComputeViewOrigin(v, m);
  const int top = LatToY(v, m, DegToJnx(50.05)), bottom = LatToY(v, m, DegToJnx(49.95));
  const int left = LonToX(v, m, DegToJnx(19.95)), right = LonToX(v, m, DegToJnx(20.05));
  EXPECT_NEAR(std::min({top, 482 - bottom, left, 640 - right}), 100 * v.ViewScale, 2);
}
