// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One map from several whose levels have the same scales: each level's tiles concatenated in
// the order of the maps, the box their union, the header and level texts those of the first
// map, a new GUID. Tile bytes are copied, never re-encoded.
#include <string>
#include <vector>

#include "base/Progress.h"

namespace brelo {

struct TMergeResult {
  std::vector<int> Tiles;  // per level, in file order
};

// Raises ERefused with the reason (levels whose scales differ, a level over the receivers' tile
// limit, out naming an input or an existing file without overwrite), EFormatError for an input
// that does not read or a result of 4 GiB or more, EIoError for a failed write. Nothing is in
// place under out unless the whole map was written.
TMergeResult MergeMaps(const std::vector<std::string>& inputs, const std::string& out, bool overwrite,
                       const ProgressSink& info);

}  // namespace brelo
