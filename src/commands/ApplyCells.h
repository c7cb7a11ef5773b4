// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The edit rules over the cells, as the saving and updating commands run them first.
#include <optional>

#include "commands/CommandResult.h"
#include "jnx/MapEdits.h"

namespace brelo {

// Applies the cells (the model's own when null; given back with the accepted values); the
// failure when a cell does not convert.
std::optional<TCommandResult> ApplyCells(TJnxMap& map, TMapEditCells* cells);

}  // namespace brelo
