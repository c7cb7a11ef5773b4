// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editable cells of the map and level tables and how they reach the model.
#include <cstdint>
#include <string>
#include <vector>

#include "jnx/JnxMap.h"

namespace brelo {

struct TLevelEditCells {
  std::string Scale;      // "jnx\nScale", decimal
  std::string Copyright;  // "©"
  std::string Name;
  std::string Description;
  bool operator==(const TLevelEditCells&) const = default;
};

// Cells of the current map row that ApplyMapEdits reads and writes back.
struct TMapEditCells {
  std::string Version, ProductId, ProductName, ZOrder, DetailLevel, ProductId2;
  std::vector<TLevelEditCells> Levels;
  bool operator==(const TMapEditCells&) const = default;
};

// The cells as the tables show the model.
TMapEditCells EditCellsFromMap(const TJnxMap& map);
// Copies the cells into the model by the acceptance rules and writes the accepted values
// back into the map cells. A level scale cell that is not an integer raises EFormatError.
void ApplyMapEdits(TJnxMap& map, TMapEditCells& cells);

}  // namespace brelo
