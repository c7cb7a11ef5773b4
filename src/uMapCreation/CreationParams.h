// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a map build is given: the source and the texts of the new map's header and level.
#include <cstdint>
#include <string>

namespace brelo {

struct TCreationParams {
  std::string Source;  // the ".map" or ".tar" path
  std::int32_t ProductId = 0;
  std::string ProductName;
  std::int32_t ZOrder = 30;
  std::string ScaleName;
  std::string DetailLevel, LevelName, LevelDescription, LevelCopyright;
  // An existing file of the new map's name is replaced only when asked: it may be the
  // user's own map (SOURCE.jnx beside SOURCE.tar made from it).
  bool Overwrite = false;
};

}  // namespace brelo
