#pragma once
// The editable cells of the map and level tables and how they reach the model.
#include <cstdint>
#include <string>
#include <vector>

#include "jnx/JnxMap.h"

namespace brelo {

// Lenient integer reading: blanks, an optional sign, decimal digits or hexadecimal after
// "$", "x", "X", "0x" or "0X"; stops at the first other character; the sign counts only
// when the whole text was read; no leading digit reads as 0.
std::int32_t LenientInt(const std::string& text);
// Strict reading of a decimal integer; raises EFormatError naming the text.
std::int64_t StrictInt(const std::string& text);

struct TLevelEditCells {
  std::string Scale;        // "jnx\nScale", decimal
  std::string Copyright;    // "©"
  std::string Name;
  std::string Description;
};

// Cells of the current map row that ApplyMapEdits reads and writes back.
struct TMapEditCells {
  std::string Version, ProductId, ProductName, ZOrder, DetailLevel, ProductId2;
  std::vector<TLevelEditCells> Levels;
};

// The cells as the tables show the model.
TMapEditCells EditCellsFromMap(const TJnxMap& map);
// Copies the cells into the model by the acceptance rules and writes the accepted values
// back into the map cells. A level scale cell that is not an integer raises EFormatError.
void ApplyMapEdits(TJnxMap& map, TMapEditCells& cells);

}  // namespace brelo
