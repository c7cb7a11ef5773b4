// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/ViewGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "base/Coordinates.h"

namespace brelo {

namespace {
constexpr double kPi = std::numbers::pi;

std::int32_t RadToJnx(double r) { return DegToJnx(r * 180.0 / kPi); }
std::int32_t InverseMercatorToJnx(double m) { return DegToJnx((2.0 * std::atan(std::exp(m)) - kPi / 2) * 180.0 / kPi); }
std::int32_t Round(double value) { return RoundToInt32(value); }

bool IsProper(const TJnxTile& t) { return t.Right != t.Left && t.Top != t.Bottom; }

const TJnxTile* FirstProperTile(const TJnxLevel& level) {
  for (const auto& t : level.Tiles)
    if (IsProper(t)) return &t;
  return nullptr;
}
}  // namespace

double ClampViewScale(double scale) {
  if (!(scale > 0)) return 1;  // also NaN
  return std::clamp(scale, kMinViewScale, kMaxViewScale);
}

double JnxToRad(std::int32_t value) { return JnxToDeg(value) * kPi / 180.0; }

double MercatorOrdinate(std::int32_t value) { return std::log(std::tan(JnxToRad(value) / 2 + kPi / 4)); }

std::int32_t LonToX(const TViewState& v, const TJnxMap& m, std::int32_t lon) {
  std::int32_t d = Diff32(lon, m.West);
  if (v.Mercator) return Round(JnxToRad(d) * v.MercatorFactorX * v.ViewScale + v.ViewOriginX);
  return Round(d * v.LinearFactorX * v.ViewScale + v.ViewOriginX);
}

std::int32_t LatToY(const TViewState& v, const TJnxMap& m, std::int32_t lat) {
  std::int32_t d = Diff32(m.North, lat);
  if (v.Mercator) return Round(MercatorOrdinate(d) * v.MercatorFactorY * v.ViewScale + v.ViewOriginY);
  return Round(d * v.LinearFactorY * v.ViewScale + v.ViewOriginY);
}

std::int32_t XToLon(const TViewState& v, const TJnxMap& m, std::int32_t x) {
  if (v.Mercator) {
    double q = (double(x) - v.ViewOriginX) / (v.MercatorFactorX * v.ViewScale);
    return Sum32(RadToJnx(q), m.West);
  }
  double k = v.LinearFactorX * v.ViewScale;
  return Round((m.West * k + (double(x) - v.ViewOriginX)) / k);
}

std::int32_t YToLat(const TViewState& v, const TJnxMap& m, std::int32_t y) {
  if (v.Mercator) {
    double q = (double(y) - v.ViewOriginY) / (v.MercatorFactorY * v.ViewScale);
    return Diff32(m.North, InverseMercatorToJnx(q));
  }
  double k = v.LinearFactorY * v.ViewScale;
  return Round((m.North * k + (double(v.ViewOriginY) - y)) / k);
}

std::int32_t Midpoint(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>((std::int64_t(a) + std::int64_t(b)) / 2);
}

void ComputeViewOrigin(TViewState& v, const TJnxMap& m) {
  double w = v.CanvasWidth / 2.0, h = v.CanvasHeight / 2.0;
  std::int32_t dLon = Diff32(v.ViewCentreLon, m.West), dLat = Diff32(m.North, v.ViewCentreLat);
  if (v.Mercator) {
    v.ViewOriginX = Round(w - JnxToRad(dLon) * v.ViewScale * v.MercatorFactorX);
    v.ViewOriginY = Round(h - MercatorOrdinate(dLat) * v.ViewScale * v.MercatorFactorY);
  } else {
    v.ViewOriginX = Round(w - v.ViewScale * v.LinearFactorX * dLon);
    v.ViewOriginY = Round(h - v.ViewScale * v.LinearFactorY * dLat);
  }
}

int TileAt(const TJnxLevel& level, std::int32_t lat, std::int32_t lon) {
  for (std::size_t i = 0; i < level.Tiles.size(); ++i) {
    const TJnxTile& t = level.Tiles[i];
    if (t.Width == 0 || t.Height == 0) continue;
    if (t.Left <= lon && lon < t.Right && t.Bottom <= lat && lat < t.Top) return static_cast<int>(i);
  }
  return -1;
}

void PanBy(TViewState& v, const TJnxMap& m, int dx, int dy) {
  const std::int64_t x = std::int64_t(LonToX(v, m, v.ViewCentreLon)) + dx;
  const std::int64_t y = std::int64_t(LatToY(v, m, v.ViewCentreLat)) + dy;
  auto pixel = [](std::int64_t p) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(p, INT32_MIN, INT32_MAX));
  };
  const std::int32_t lon = XToLon(v, m, pixel(x)), lat = YToLat(v, m, pixel(y));
  // A move east that comes out west of where it started went round the range: it stops at
  // the edge instead, and so on for the other directions.
  if (dx > 0 && lon < v.ViewCentreLon)
    v.ViewCentreLon = kJnxMaxUnit;
  else if (dx < 0 && lon > v.ViewCentreLon)
    v.ViewCentreLon = -kJnxMaxUnit;
  else
    v.ViewCentreLon = lon;
  if (dy > 0 && lat > v.ViewCentreLat)
    v.ViewCentreLat = -kJnxMaxUnit;
  else if (dy < 0 && lat < v.ViewCentreLat)
    v.ViewCentreLat = kJnxMaxUnit;
  else
    v.ViewCentreLat = lat;
}

void ZoomAbout(TViewState& v, const TJnxMap& m, double scale, int x, int y) {
  ComputeViewOrigin(v, m);
  const std::int32_t lat = YToLat(v, m, y), lon = XToLon(v, m, x);
  v.ViewScale = ClampViewScale(scale);
  // The point at the centre, then the view moved so that it lies at (x, y) again.
  v.ViewCentreLat = lat;
  v.ViewCentreLon = lon;
  ComputeViewOrigin(v, m);
  PanBy(v, m, v.CanvasWidth / 2 - x, v.CanvasHeight / 2 - y);
  ComputeViewOrigin(v, m);
}

void FitToBounds(TViewState& v, const TJnxMap& m, std::int32_t minLat, std::int32_t minLon, std::int32_t maxLat,
                 std::int32_t maxLon) {
  v.ViewCentreLat = Midpoint(minLat, maxLat);
  v.ViewCentreLon = Midpoint(minLon, maxLon);
  v.ViewScale = 1;
  ComputeViewOrigin(v, m);
  const double x1 = LonToX(v, m, minLon), y1 = LatToY(v, m, minLat);
  const double x2 = LonToX(v, m, maxLon), y2 = LatToY(v, m, maxLat);
  const double sx = v.CanvasWidth / (x2 - x1 + 200), sy = v.CanvasHeight / (y1 - y2 + 200);
  double s = std::min(sx, sy);
  char text[32];
  std::snprintf(text, sizeof text, "%.2e", s);  // three significant digits
  s = std::strtod(text, nullptr);
  v.ViewScale = ClampViewScale(s);
}

double LevelPixelRatio(const TJnxLevel& level) {
  const TJnxTile* t = FirstProperTile(level);
  if (!t) return 1.0;
  double fx = double(t->Width) / Diff32(t->Right, t->Left);
  double fy = double(t->Height) / Diff32(t->Top, t->Bottom);
  return fx / fy;
}

bool IsSquarePixelRatio(double r) { return 0.9 < r && r < 1.1; }

bool SetLevelGeometry(TViewState& v, const TJnxLevel& level) {
  const TJnxTile* t = FirstProperTile(level);
  if (!t) return v.Mercator;
  const double w = t->Width, h = t->Height;
  // The Mercator factors cross over: x from the height and Mercator extent, y from the width.
  v.MercatorFactorY = w / (JnxToRad(t->Right) - JnxToRad(t->Left));
  v.MercatorFactorX = h / (MercatorOrdinate(t->Top) - MercatorOrdinate(t->Bottom));
  v.LinearFactorX = w / Diff32(t->Right, t->Left);
  v.LinearFactorY = h / Diff32(t->Top, t->Bottom);
  v.Mercator = IsSquarePixelRatio(v.LinearFactorX / v.LinearFactorY);
  return v.Mercator;
}

void SetDefaultFrame(TViewState& v, TJnxMap& m) {
  const double k = 222.63898158654715;
  double phi = JnxToDeg(v.ViewCentreLat), lambda = JnxToDeg(v.ViewCentreLon);
  double dPhi = 1 / k;
  double south = phi - dPhi, north = phi + dPhi;
  double dLambda = 1 / (std::cos(south * kPi / 180) * k);
  m.West = DegToJnx(lambda - dLambda);
  m.East = DegToJnx(lambda + dLambda);
  m.North = DegToJnx(north);
  m.South = DegToJnx(south);
  v.LinearFactorX = v.CanvasWidth / double(Diff32(m.East, m.West));
  v.LinearFactorY = v.CanvasHeight / double(Diff32(m.North, m.South));
  v.MercatorFactorY = v.CanvasWidth / (JnxToRad(m.East) - JnxToRad(m.West));
  v.MercatorFactorX = v.CanvasHeight / (MercatorOrdinate(m.North) - MercatorOrdinate(m.South));
}

TMapExtent MapExtent(const TViewState& v, const TJnxMap& m) {
  TMapExtent e;
  e.WidthKm = JnxDistanceKm(m.North, m.East, m.North, m.West);
  e.HeightKm = JnxDistanceKm(m.North, m.East, m.South, m.East);
  e.WidthPx = Diff32(LonToX(v, m, m.East), LonToX(v, m, m.West));
  e.HeightPx = Diff32(LatToY(v, m, m.South), LatToY(v, m, m.North));
  e.Ratio = v.LinearFactorX / v.LinearFactorY;
  return e;
}

}  // namespace brelo
