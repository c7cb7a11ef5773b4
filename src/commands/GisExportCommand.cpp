// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/GisExportCommand.h"

#include <chrono>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Text.h"

namespace brelo {

TCommandResult ExportGisCommand(const TJnxMap& map, int level, const std::string& out, const TGisExportOptions& options,
                                const ProgressSink& info, const TWorkMeter* meter) {
  const auto start = std::chrono::steady_clock::now();
  TGisExportResult r;
  try {
    r = ExportLevelToGis(map, level - 1, out, options, info, meter);
  } catch (const ECancelled&) {
    TCommandResult c = Failed(FileNameOf(out) + ": export cancelled; nothing was written");
    c.Cancelled = true;
    return c;
  } catch (const ERefused& e) {
    return Failed(e.what());
  } catch (const EBreloError& e) {
    return Failed(
        Format("Level %d of %s was not exported to %s", level, FileNameOf(map.CurrentFile).c_str(), out.c_str()),
        e.what());
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  TCommandResult done = Done(Format("%s saved in %dms: %d x %d pixels, %d tiles", FileNameOf(out).c_str(),
                                    static_cast<int>(ms.count()), r.Grid.Width, r.Grid.Height, r.Tiles),
                             out);
  if (r.Resampled) done.Earlier.push_back(Format("%d tiles resampled onto the level's finest resolution", r.Resampled));
  for (const auto& f : r.Failed) done.Earlier.push_back(f + "; left as a gap");
  return done;
}

}  // namespace brelo
