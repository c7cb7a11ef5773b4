// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/GeoRaster.h"

#include <array>
#include <mutex>

#include "base/Module.h"

namespace brelo {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kSemiMajor = 6378137.0, kFlattening = 1 / 298.257223563;
constexpr double kE2 = kFlattening * (2 - kFlattening);
}  // namespace

double MetresPerDegreeLat(double lat) {
  const double s = std::sin(lat * kPi / 180);
  return kPi / 180 * kSemiMajor * (1 - kE2) / std::pow(1 - kE2 * s * s, 1.5);
}

double MetresPerDegreeLon(double lat) {
  const double s = std::sin(lat * kPi / 180);
  return kPi / 180 * kSemiMajor * std::cos(lat * kPi / 180) / std::sqrt(1 - kE2 * s * s);
}

namespace {
constexpr std::array<const char*, 5> kResamplingNames = {"near", "bilinear", "cubic", "lanczos", "average"};
}

const char* ResamplingName(TResampling r) { return kResamplingNames[static_cast<std::size_t>(r)]; }

bool ParseResampling(const std::string& name, TResampling& r) {
  for (std::size_t i = 0; i < kResamplingNames.size(); ++i)
    if (name == kResamplingNames[i]) {
      r = static_cast<TResampling>(i);
      return true;
    }
  return false;
}

TRasterDriver& RasterDriver() {
  static std::once_flag once;
  static TRasterDriverEntry entry = nullptr;
  std::call_once(once,
                 [] { entry = reinterpret_cast<TRasterDriverEntry>(LoadModuleEntry(kRasterModule, kRasterEntry)); });
  return entry();
}

}  // namespace brelo
