// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The render verb's request, shared by brelo-cli and the renderer module it loads for that
// verb alone: the renderer needs Qt Gui, whose loading would slow every other verb down.
#include <string>

#include "base/Progress.h"

namespace brelo::cli {

struct TRenderArgs {
  std::string File, Out, Centre, Size = "1024x768", Gpx;
  int Level = 0, Quality = 1;
  double Scale = 1;
  bool Mercator = false, Grid = false;
};

// The module's entry point, "BreloRender": draws and writes the picture, raising on failure.
using TRenderEntry = void (*)(const TRenderArgs& args, const ProgressSink& progress);
constexpr char kRenderModule[] = "brelo-render.so";
constexpr char kRenderEntry[] = "BreloRender";

}  // namespace brelo::cli
