// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 16 Garmin display colours, named as GPX display-colour elements name them.
#include <array>
#include <cstdint>
#include <string_view>

namespace brelo {

struct TGarminColor {
  const char* Name;
  std::uint8_t R, G, B;
};

extern const std::array<TGarminColor, 16> GarminColors;

// Index of a colour name compared case-insensitively (letters a to z), or -1.
int GarminColorIndex(const std::string_view name);

}  // namespace brelo
