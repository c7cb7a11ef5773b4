// SPDX-License-Identifier: GPL-3.0-or-later
// render: a map picture drawn by the window's renderer, through the renderer module.
#include <memory>

#include "base/Errors.h"
#include "base/Module.h"
#include "cli/Commands.h"
#include "cli/RenderRequest.h"

namespace brelo::cli {

namespace {

TRenderEntry LoadRenderer() {
  try {
    return reinterpret_cast<TRenderEntry>(LoadModuleEntry(kRenderModule, kRenderEntry));
  } catch (const EIoError& e) {
    throw ECommandFailed(std::string("render: ") + e.what());
  }
}

}  // namespace

void RegisterRenderCommands(CLI::App& app) {
  auto* cmd = app.add_subcommand("render", "Draw a map picture with the window's renderer");
  auto a = std::make_shared<TRenderArgs>();
  cmd->add_option("FILE", a->File, "JNX file")->required();
  cmd->add_option("OUT", a->Out, "PNG file to write")->required();
  cmd->add_option("--level", a->Level, "level from 1 (default: the last that is not a placeholder)");
  cmd->add_option("--scale", a->Scale, "view scale (default 1)");
  cmd->add_option("--centre", a->Centre, "LAT,LON in degrees (default: the map's middle)");
  cmd->add_option("--size", a->Size, "WIDTHxHEIGHT (default 1024x768)");
  cmd->add_option("--quality", a->Quality, "1 or 2")->check(CLI::IsMember({1, 2}));
  cmd->add_flag("--mercator", a->Mercator, "Mercator conversions");
  cmd->add_flag("--grid", a->Grid, "tile outlines and sizes");
  cmd->add_option("--gpx", a->Gpx, "GPX file whose track and waypoints are drawn over the map");
  cmd->callback([a] { LoadRenderer()(*a, PrintProgress); });
}

}  // namespace brelo::cli
