// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/ApplyCells.h"

#include "base/Errors.h"

namespace brelo {

std::optional<TCommandResult> ApplyCells(TJnxMap& map, TMapEditCells* cells) {
  TMapEditCells own;
  if (!cells) {
    own = EditCellsFromMap(map);
    cells = &own;
  }
  try {
    ApplyMapEdits(map, *cells);
  } catch (const EBreloError& e) {
    return Failed(e.what());
  }
  return std::nullopt;
}

}  // namespace brelo
