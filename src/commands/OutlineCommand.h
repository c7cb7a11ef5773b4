// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Maps.gpx": the outline of every map of a folder, written on every folder scan, but only over
// an outline file brelo wrote: a file of the user's of that name is never replaced.
#include <string>

#include "commands/CommandResult.h"
#include "gpx/GpxWriter.h"
#include "jnx/FolderScan.h"

namespace brelo {

// The cells of a map-list row that the overview uses: name without extension and bounds.
TMapOutlineRow OutlineRow(const std::string& path, const TJnxMap& header);
// Writes the folder's Maps.gpx from a scan of it. Ok: "FOLDER/Maps.gpx saved (N maps)."
// Failed, with nothing written: "FOLDER/Maps.gpx is not an outline file written by brelo: ..."
// when another file has that name, "FOLDER/Maps.gpx: cannot write the outlines" (the system's
// reason in Detail) when the folder takes no file.
TCommandResult WriteFolderOutline(const std::string& folder, const TFolderScan& scan);
// What a window says of a folder's outlines at each of its scans: the failure's text the first
// time the folder gives one, then nothing until the outlines were written again.
class TOutlineNotice {
 public:
  std::string Next(const std::string& folder, const TCommandResult& outline);

 private:
  std::string told_;  // the folder whose failure was told
};

// Scans the folder and writes its outline; files that did not load are named in Detail.
TCommandResult FolderOutlineCommand(const std::string& folder);

}  // namespace brelo
