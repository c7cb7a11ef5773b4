// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state the main window keeps for the whole run beside the document (TMapSession): the
// view, the settings, the map groups and the diagnostic panel's lines. It is one object the
// program owns and passes on.
#include <string>
#include <vector>

#include "gui/common/Settings.h"
#include "view/ViewGeometry.h"

namespace brelo {

struct TAppState {
  TViewState View;
  TSettings Settings;
  std::vector<std::string> MapGroups;
  bool Activated = false;         // the first activation has been handled
  std::vector<std::string> Memo;  // the diagnostic panel's lines
};

}  // namespace brelo
