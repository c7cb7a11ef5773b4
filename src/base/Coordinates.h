// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Encoded coordinates: int32, degrees = value / 2147483647 x 180.
#include <cstdint>

namespace brelo {

constexpr std::int32_t kJnxMaxUnit = 2147483647;

double JnxToDeg(std::int32_t value);
// Rounded to the nearest integer, ties to even; wraps to 32 bits like the format's writers.
std::int32_t DegToJnx(double degrees);
double JnxDistanceKm(std::int32_t lat1, std::int32_t lon1, std::int32_t lat2, std::int32_t lon2);
double DegDistanceKm(double lat1, double lon1, double lat2, double lon2);

// Round to nearest, ties to even, kept in 32 bits (two's complement wrap); NaN gives 0.
std::int32_t RoundToInt32(long double value);
// a - b formed in 32 bits with wrap-around, never undefined behaviour.
constexpr std::int32_t Diff32(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
constexpr std::int32_t Sum32(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace brelo
