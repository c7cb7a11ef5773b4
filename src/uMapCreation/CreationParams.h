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
};

}  // namespace brelo
