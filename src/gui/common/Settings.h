// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings file: "key=value" lines, keys matched without case, a value that does
// not convert keeping its default.
#include <cstdint>
#include <string>
#include <vector>

namespace brelo {

struct TSettings {
  std::string AutoLoadWaypoints, LastJNXFile, LastGPXFile;
  double Scale = 1;
  std::int32_t Latitude = 0, Longitude = 0;  // [encoded]
  int Left = 238, Top = 184, Width = 812, Height = 580;
  bool DrawGrid = false, DrawCrosshair = true, DrawTrack = true, DrawWaypoints = true;
  bool AutoUpdateMap = true;
  int TileWidth = 256, TileHeight = 256;
  std::vector<std::string> Groups;  // the map-group items, in order
};

// The settings from the file's lines over the given values, in the order the program reads
// them; Group1, Group2, ... up to the first missing or empty one replace the groups.
TSettings ReadSettings(const std::vector<std::string>& lines, TSettings values = {});
// The file's text, in the order the program writes it; the window's bounds only when it is
// in its normal state.
std::string SettingsText(const TSettings& settings, bool normalWindow);

}  // namespace brelo
