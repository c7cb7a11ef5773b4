// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/SaveCommands.h"

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "commands/ApplyCells.h"
#include "jnx/JnxWriter.h"
#include "jnx/TileExtraction.h"

namespace brelo {

namespace {

TCommandResult Cancelled(std::string text) {
  TCommandResult r = Failed(std::move(text));
  r.Cancelled = true;
  return r;
}

TCommandResult WriteCopy(TJnxMap& map, const std::string& destination, int level, const ProgressSink& progress,
                         const TWorkMeter* meter) {
  // The tiles are copied from where the loaded tables say they lie.
  if (auto changed = ChangedOnDiskFailure(map)) return *changed;
  auto writer = [&map, &progress, meter](TFileStream& out, std::uint32_t first) {
    CopyTileData(map, out, first, progress, meter);
  };
  try {
    WriteJnx(map, destination, level, writer, progress);
  } catch (const ECancelled&) {
    return Cancelled("Saving cancelled; " + destination + " was not written.");
  } catch (const EBreloError& e) {
    return Failed(destination + "\n\nWrite error.", e.what());
  }
  TCommandResult r = Done(destination + " saved.", destination);
  AddCheck(r, destination);
  return r;
}

}  // namespace

std::string SavedMapName(const std::string& file) { return WithoutExtension(file) + "_saved.jnx"; }

std::string SavedLevelName(const std::string& file, int level) {
  return WithoutExtension(file) + Format("_level%d.jnx", level);
}

TCommandResult SaveMapCommand(TJnxMap& map, TMapEditCells* cells, const ProgressSink& progress,
                              const TWorkMeter* meter) {
  if (auto failed = ApplyCells(map, cells)) return *failed;
  return WriteCopy(map, SavedMapName(map.CurrentFile), -1, progress, meter);
}

TCommandResult SaveLevelCommand(TJnxMap& map, int level, const ProgressSink& progress, const TWorkMeter* meter) {
  if (level < 1 || level > static_cast<int>(map.Levels.size()))
    return Failed(map.CurrentFile + Format(": no level %d (the map has %d)", level, map.LevelCount));
  return WriteCopy(map, SavedLevelName(map.CurrentFile, level), level - 1, progress, meter);
}

TCommandResult SaveTilesCommand(const TJnxMap& map, const ProgressSink& progress, const TWorkMeter* meter) {
  if (auto changed = ChangedOnDiskFailure(map)) return *changed;
  std::string base;
  try {
    base = SaveTiles(map, progress, meter);
  } catch (const ECancelled&) {
    return Cancelled("Saving the tiles cancelled; the tiles written were removed.");
  } catch (const EBreloError& e) {
    return Failed("Błąd zapisu kafelków.", e.what());
  }
  return Done("Kafelki zapisane do " + base, base);
}

}  // namespace brelo
