// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state the main window keeps for the whole run, in one object it owns and passes on:
// the map model, the view, the redraw flags, waypoints and track, the selected tiles, the map
// groups and the settings.
#include <string>
#include <vector>

#include "gpx/GpxData.h"
#include "gui/common/Settings.h"
#include "jnx/JnxMap.h"
#include "view/ViewGeometry.h"

namespace brelo {

struct TAppState {
  TJnxMap Map;
  TViewState View;
  TSettings Settings;

  // Redraw flags of the map page.
  bool DecodeAllTiles = true;
  bool ForceRedraw = false;
  bool RedrawBusy = false;

  TGpxData Gpx;                    // waypoints, track, its bounds and colour
  std::vector<int> SelectedTiles;  // indices in the shown level, -1 for a freed slot
  std::vector<std::string> MapGroups;
  bool Activated = false;         // the first activation has been handled
  std::vector<std::string> Memo;  // the diagnostic panel's lines
};

}  // namespace brelo
