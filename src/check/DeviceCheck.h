// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Will a map work on a receiver? Each finding has a severity (error: the receiver will not
// show the map, or shows it wrongly; warning: likely trouble; note) and a one-line reason that
// names the level and tile where it applies. A folder check adds the findings of the card as
// a whole: too many files, copies of one map, names of maps that are not regular files.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/BatchReader.h"
#include "base/Pipeline.h"
#include "jnx/DeviceLimits.h"
#include "jnx/JnxMap.h"

namespace brelo {

enum class TSeverity { Error, Warning, Note };
const char* SeverityName(TSeverity severity);

struct TFinding {
  TSeverity Severity = TSeverity::Note;
  std::string Code;     // a short stable name: "level-count", "tile-progressive", ...
  std::string Message;  // one line
  int Level = 0;        // from 1; 0 for the whole map
  int Tile = 0;         // from 1; 0 for the whole level
};

// How deep a check reads: the header only (as a folder scan loads it), also the tile tables
// and each tile's first bytes, or also every tile decoded.
enum class TCheckDepth { Header, Tiles, Decode };

struct TMapCheck {
  std::string Path;
  std::string Guid;  // the map's, when its header loaded
  std::vector<TFinding> Findings;
  int Count(TSeverity severity) const;
  // "ok", or "2 errors, 1 warning"
  std::string Summary() const;
};

// Findings of a loaded model: the header's always, the tables' when they are loaded.
// fileSize is the file's size on disk.
std::vector<TFinding> CheckModel(const TJnxMap& map, std::uint64_t fileSize);
// Findings of the tiles' stored bytes (frame markers; decoding at Decode depth) of a map loaded
// with details, read from its CurrentFile on up to `threads` threads.
std::vector<TFinding> CheckTileData(const TJnxMap& map, TCheckDepth depth, unsigned threads = PipelineThreads());
// A whole file at the given depth; a file that does not load is one error. reader, when
// given, reads the tiles' first bytes (one per worker across many files).
TMapCheck CheckMapFile(const std::string& path, TCheckDepth depth, unsigned threads = PipelineThreads(),
                       TBatchReader* reader = nullptr);

struct TFolderCheck {
  std::vector<TMapCheck> Maps;   // in name order
  std::vector<TFinding> Folder;  // of the folder as a whole
  int Errors() const;
};
// Every "*.jnx" of the folder, maps on up to `threads` threads.
TFolderCheck CheckFolder(const std::string& folder, TCheckDepth depth, unsigned threads = PipelineThreads());

// Maps of one folder (names and their GUIDs, empty when unknown) that are copies of another:
// for each map, a warning naming the others with its GUID, or no finding.
std::vector<std::optional<TFinding>> GuidCopyFindings(const std::vector<std::string>& names,
                                                      const std::vector<std::string>& guids);

}  // namespace brelo
