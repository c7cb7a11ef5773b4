// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state tying the canvas to the earth, and the conversions between encoded coordinates
// and canvas pixels. The reference edges are the map model's North and West.
#include <cstdint>

#include "jnx/JnxMap.h"

namespace brelo {

struct TViewState {
  std::int32_t ViewCentreLat = 0;  // [encoded]
  std::int32_t ViewCentreLon = 0;  // [encoded]
  double ViewScale = 1;            // zoom multiplier, > 0
  std::int32_t ViewOriginX = 0;    // [canvas px] of the map's West
  std::int32_t ViewOriginY = 0;    // [canvas px] of the map's North
  double LinearFactorX = 1;        // [px per encoded unit] at scale 1
  double LinearFactorY = 1;
  double MercatorFactorX = 1;  // [px per radian]
  double MercatorFactorY = 1;  // [px per Mercator ordinate unit]
  bool Mercator = false;       // the "MercatorProjection" option
  int CanvasWidth = 0;         // [px]
  int CanvasHeight = 0;        // [px]
};

// The scales the view offers: from far out to 256 canvas pixels a tile pixel at scale 1.
constexpr double kMinViewScale = 1e-6;
constexpr double kMaxViewScale = 256;
double ClampViewScale(double scale);

double JnxToRad(std::int32_t value);
double MercatorOrdinate(std::int32_t value);

std::int32_t LonToX(const TViewState& v, const TJnxMap& m, std::int32_t lon);
std::int32_t LatToY(const TViewState& v, const TJnxMap& m, std::int32_t lat);
std::int32_t XToLon(const TViewState& v, const TJnxMap& m, std::int32_t x);
std::int32_t YToLat(const TViewState& v, const TJnxMap& m, std::int32_t y);

void ComputeViewOrigin(TViewState& v, const TJnxMap& m);
// (a + b) / 2 without 32-bit overflow, halved toward zero: 150 and 170 degrees east give 160.
std::int32_t Midpoint(std::int32_t a, std::int32_t b);
// Factors from the level's first proper tile; returns the Mercator decision (0.9 < r < 1.1),
// which is also stored in v.Mercator. Without a proper tile nothing changes.
bool SetLevelGeometry(TViewState& v, const TJnxLevel& level);
// Pixel ratio r = (w / (Right - Left)) / (h / (Top - Bottom)) of the level's first proper
// tile, or 1 when there is none.
double LevelPixelRatio(const TJnxLevel& level);
bool IsSquarePixelRatio(double r);
// A 1 km by 1 km frame around the view centre, written into the map's bounds.
void SetDefaultFrame(TViewState& v, TJnxMap& m);

// The first tile of the level, in table order, that holds the position: a tile owns its Left
// and Bottom edges, not its Right and Top. Tiles of zero width or height are skipped; -1 for
// no hit.
int TileAt(const TJnxLevel& level, std::int32_t lat, std::int32_t lon);
// The view centre moved by (dx, dy) canvas pixels; a centre that would leave the range of
// encoded coordinates stops at its edge.
void PanBy(TViewState& v, const TJnxMap& m, int dx, int dy);
// The view at another scale with the point under canvas pixel (x, y) kept there: what is
// under the pointer stays under it. CanvasWidth and CanvasHeight must be set.
void ZoomAbout(TViewState& v, const TJnxMap& m, double scale, int x, int y);
// The centre and scale that show the box with 100 pixels of margin on the tighter side, the
// scale rounded to three significant digits.
void FitToBounds(TViewState& v, const TJnxMap& m, std::int32_t minLat, std::int32_t minLon, std::int32_t maxLat,
                 std::int32_t maxLon);

struct TMapExtent {
  double WidthKm = 0, HeightKm = 0;
  std::int32_t WidthPx = 0, HeightPx = 0;
  double Ratio = 0;  // LinearFactorX / LinearFactorY
};
TMapExtent MapExtent(const TViewState& v, const TJnxMap& m);

}  // namespace brelo
