// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Coordinates.h"

#include <cmath>
#include <numbers>

namespace brelo {

double JnxToDeg(std::int32_t value) {
  return static_cast<double>(static_cast<long double>(value) / 2147483647.0L * 180.0L);
}

std::int32_t RoundToInt32(long double value) {
  if (std::isnan(value)) return 0;
  // Beyond +-2^62 the wrapped value is meaningless anyway; clamp so the conversion is defined.
  constexpr long double kLimit = 4611686018427387904.0L;
  if (value > kLimit) value = kLimit;
  if (value < -kLimit) value = -kLimit;
  long long r = std::llrint(value);  // default rounding mode: to nearest, ties to even
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<unsigned long long>(r)));
}

std::int32_t DegToJnx(double degrees) {
  return RoundToInt32(static_cast<long double>(degrees) * 2147483647.0L / 180.0L);
}

double DegDistanceKm(double lat1, double lon1, double lat2, double lon2) {
  const double pi = std::numbers::pi;
  double x = std::cos(lat1 * pi / 180.0) * (lon2 - lon1);
  double y = lat2 - lat1;
  return std::sqrt(x * x + y * y) * pi * 12756.274 / 360.0;
}

double JnxDistanceKm(std::int32_t lat1, std::int32_t lon1, std::int32_t lat2, std::int32_t lon2) {
  return DegDistanceKm(JnxToDeg(lat1), JnxToDeg(lon1), JnxToDeg(lat2), JnxToDeg(lon2));
}

}  // namespace brelo
