// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/MapTexts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/Coordinates.h"
#include "base/PrintfFormat.h"
#include "jnx/ScaleTable.h"

namespace brelo {

namespace {
std::string Product(const TJnxMap& m) { return FormatNumbers("%d: %s", m.ProductId, m.ProductName.c_str()); }
}  // namespace

std::string MapInfoText(const TJnxMap& m, int level, const TMapExtent& e) {
  if (m.Levels.empty() || level < 0 || level >= static_cast<int>(m.Levels.size()))
    return FormatNumbers("No map\n%.3gkm x %.3gkm\n%dpx x %dpx\nscale_x/scale_y=%.4f", e.WidthKm, e.HeightKm, e.WidthPx,
                         e.HeightPx, e.Ratio);
  const TJnxLevel& l = m.Levels[static_cast<std::size_t>(level)];
  return FormatNumbers(
      "%s\nL %d/%d  %.3gkm x %.3gkm\n%dpx x %dpx\n%d tiles   ZOrder=%d\nzoom %d=%s\nscale_x/scale_y=%.4f",
      Product(m).c_str(), level + 1, static_cast<int>(m.Levels.size()), e.WidthKm, e.HeightKm, e.WidthPx, e.HeightPx,
      l.TileCount, m.ZOrder, static_cast<int>(l.Scale), ScaleName(l.Scale).c_str(), e.Ratio);
}

std::string LevelChangeText(const TJnxMap& m, int level, const TMapExtent& e) {
  if (m.Levels.empty() || level < 0 || level >= static_cast<int>(m.Levels.size())) return MapInfoText(m, level, e);
  const TJnxLevel& l = m.Levels[static_cast<std::size_t>(level)];
  return FormatNumbers(
      "%s\n%.3gkm x %.3gkm\nLevel %d/%d\n%dpx x %dpx\n%d tiles   ZOrder=%d\nzoom %d=%s\nscale_x/scale_y=%.4f",
      Product(m).c_str(), e.WidthKm, e.HeightKm, level + 1, static_cast<int>(m.Levels.size()), e.WidthPx, e.HeightPx,
      l.TileCount, m.ZOrder, static_cast<int>(l.Scale), ScaleName(l.Scale).c_str(), e.Ratio);
}

std::string FormatDms(int d, double value) {
  if (d < 0 || d > 9) d = 2;
  const std::string prefix = value < 0 ? "-" : "";
  double t = std::fabs(value) * 3600;
  const int deg = static_cast<int>(t / 3600);
  t -= deg * 3600.0;
  const int min = static_cast<int>(t / 60);
  t -= min * 60.0;
  if (d > 0) {
    int s = static_cast<int>(t);
    long long frac = std::llrint((t - s) * std::pow(10.0, d));
    const long long full = static_cast<long long>(std::llrint(std::pow(10.0, d)));
    if (frac >= full) frac = full - 1;  // never "60" seconds from rounding the fraction
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*lld", d, frac);
    return prefix + FormatNumbers("%d\xC2\xB0%.2d'%.2d.%s\"", deg, min, s, digits);
  }
  return prefix + FormatNumbers("%d\xC2\xB0%.2d'%.2d\"", deg, min, static_cast<int>(std::lrint(t)));
}

std::string TrackLengthText(const std::vector<TWpt>& track) {
  double km = 0;
  for (std::size_t i = 1; i < track.size(); ++i)
    km += JnxDistanceKm(track[i - 1].Latitude, track[i - 1].Longitude, track[i].Latitude, track[i].Longitude);
  return FormatNumbers("TrackLen=%.3fkm", km);
}

std::string PositionText(const TViewState& v, const TJnxMap& m, int x, int y, const std::vector<TWpt>& track) {
  const std::int32_t lat = YToLat(v, m, y), lon = XToLon(v, m, x);
  const double phi = JnxToDeg(lat), lambda = JnxToDeg(lon);
  const char* hLat = phi >= 0 ? "N" : "S";
  const char* hLon = lambda >= 0 ? "E" : "W";
  return FormatNumbers("(%d %d) (%s%.6f\xC2\xB0 %s%.6f\xC2\xB0) (%s%s %s%s) %.0gkm from center %s", lat, lon, hLat,
                       std::fabs(phi), hLon, std::fabs(lambda), hLat, FormatDms(2, std::fabs(phi)).c_str(), hLon,
                       FormatDms(2, std::fabs(lambda)).c_str(),
                       JnxDistanceKm(lat, lon, v.ViewCentreLat, v.ViewCentreLon), TrackLengthText(track).c_str());
}

double ScaleBarKm(double d) {
  // "%.0e" with its two significant digits, then the mantissa to the nearest integer.
  const std::string text = FormatNumbers("%.0e", d);
  const std::size_t e = text.find('e');
  const double mantissa = std::strtod(text.substr(0, e).c_str(), nullptr);
  const int exponent = e == std::string::npos ? 0 : std::atoi(text.c_str() + e + 1);
  return std::nearbyint(mantissa) * std::pow(10.0, exponent);
}

std::string ScaleBarLabel(double km) {
  if (km >= 1) return FormatNumbers("%gkm", km);
  return FormatNumbers("%gm", km * 1000);
}

}  // namespace brelo
