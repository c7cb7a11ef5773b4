// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/OutlineCommand.h"

#include "base/Errors.h"
#include "base/Paths.h"

namespace brelo {

TMapOutlineRow OutlineRow(const std::string& path, const TJnxMap& h) {
  return {FileNameOf(WithoutExtension(path)), std::to_string(h.West), std::to_string(h.North), std::to_string(h.East),
          std::to_string(h.South)};
}

TCommandResult WriteFolderOutline(const std::string& folder, const TFolderScan& scan) {
  std::vector<TMapOutlineRow> rows;
  for (const auto& m : scan.Maps) rows.push_back(OutlineRow(m.Path, m.Header));
  const std::string path = FolderPath(folder) + kMapsGpxName;
  try {
    WriteMapsGpx(path, rows);
  } catch (const EBreloError& e) {
    return Failed(e.what());
  }
  return Done(path + " saved (" + std::to_string(rows.size()) + " maps).", path);
}

TCommandResult FolderOutlineCommand(const std::string& folder) {
  TFolderScan scan;
  try {
    scan = ScanJnxFolder(folder);
  } catch (const EBreloError& e) {
    return Failed(e.what());
  }
  TCommandResult result = WriteFolderOutline(folder, scan);
  for (const auto& u : scan.Unreadable) result.Detail += (result.Detail.empty() ? "" : "; ") + u.Reason;
  return result;
}

}  // namespace brelo
