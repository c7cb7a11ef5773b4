// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/ExportCommand.h"

#include "base/Errors.h"
#include "base/Text.h"
#include "view/ViewGeometry.h"

namespace brelo {

TCommandResult ExportLevelCommand(const TJnxMap& map, int level, const TExportReport& report) {
  if (level < 1 || level > static_cast<int>(map.Levels.size()))
    return Failed(map.CurrentFile + Format(": no level %d (the map has %d)", level, map.LevelCount));
  if (auto changed = ChangedOnDiskFailure(map)) return *changed;
  TViewState view;
  SetLevelGeometry(view, map.Levels[static_cast<std::size_t>(level - 1)]);
  try {
    const TExportResult r = ExportOziTileSet(map, level - 1, view, report);
    return Done(r.InfoLine, r.Archive);
  } catch (const ECancelled&) {
    TCommandResult r = Failed("Export cancelled; no archive was written.");
    r.Cancelled = true;
    return r;
  } catch (const EBreloError& e) {
    return Failed(e.what());
  }
}

}  // namespace brelo
