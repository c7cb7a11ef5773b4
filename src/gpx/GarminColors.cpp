// SPDX-License-Identifier: GPL-3.0-or-later
#include "gpx/GarminColors.h"

#include "base/Text.h"

namespace brelo {

const std::array<TGarminColor, 16> GarminColors = {{
    {"Red", 255, 0, 0},
    {"Green", 0, 255, 0},
    {"Yellow", 240, 240, 0},
    {"Blue", 64, 64, 255},
    {"Magenta", 254, 1, 254},
    {"Cyan", 0, 255, 255},
    {"LightGray", 192, 192, 192},
    {"White", 255, 255, 255},
    {"DarkRed", 96, 0, 0},
    {"DarkGreen", 0, 96, 0},
    {"DarkYellow", 128, 128, 0},
    {"DarkBlue", 0, 0, 96},
    {"DarkMagenta", 96, 0, 96},
    {"DarkCyan", 0, 128, 128},
    {"DarkGray", 96, 96, 96},
    {"Black", 0, 0, 0},
}};

int GarminColorIndex(std::string_view name) {
  const std::string upper = UpperAscii(name);
  for (std::size_t i = 0; i < GarminColors.size(); ++i)
    if (upper == UpperAscii(GarminColors[i].Name)) return static_cast<int>(i);
  return -1;
}

}  // namespace brelo
