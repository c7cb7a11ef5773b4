#pragma once
// The JNX files of a folder, each loaded header-only, in the order the folder lists them.
#include <string>
#include <vector>

#include "gpx/GpxWriter.h"
#include "jnx/JnxMap.h"

namespace brelo {

struct TScannedMap {
  std::string Path;
  TJnxMap Header;  // header, level table and description block only
};

// The folder's path with a trailing "/"; "" is the current folder, "./".
std::string FolderPath(const std::string& folder);
// Every "*.jnx" file of the folder; a file that cannot be read raises.
std::vector<TScannedMap> ScanJnxFolder(const std::string& folder);
// The cells the map list shows for the overview file: name without extension and bounds.
TMapOutlineRow OutlineRow(const std::string& path, const TJnxMap& header);

}  // namespace brelo
