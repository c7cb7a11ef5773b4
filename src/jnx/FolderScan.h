// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The JNX files of a folder, each loaded header-only, in name order ignoring letter case.
#include <string>
#include <vector>

#include "base/Pipeline.h"
#include "jnx/JnxMap.h"

namespace brelo {

struct TScannedMap {
  std::string Path;
  TJnxMap Header;  // header, level table and description block only
};

struct TUnreadableMap {
  std::string Path;
  std::string Reason;
};

struct TFolderScan {
  std::vector<TScannedMap> Maps;
  std::vector<TUnreadableMap> Unreadable;  // files that did not load, left out of Maps
};

// The folder's path with a trailing "/"; "" is the current folder, "./".
std::string FolderPath(const std::string& folder);
// Every "*.jnx" file of the folder (folders of such names are skipped). One file that does not
// load does not end the scan: it is listed in Unreadable. A folder that cannot be read raises.
// A large folder is read on up to `threads` threads; the result does not depend on them.
TFolderScan ScanJnxFolder(const std::string& folder, unsigned threads = PipelineThreads());
// Name, kind, size and modification time of every "*.jnx" entry of the folder, as one text:
// equal texts mean that no map was added, removed, replaced or changed between them.
std::string JnxFolderSignature(const std::string& folder);

}  // namespace brelo
