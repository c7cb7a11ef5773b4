#pragma once
// What the map, level and tile tables show: headings and the texts of every cell, from the
// map model. The window's tables take these texts as they are.
#include <string>
#include <vector>

#include "jnx/JnxMap.h"

namespace brelo {

enum class TSortKind { Text, Numeric, Hexadecimal };
enum class TCellAlign { Left, Centre, Right };

struct TColumn {
  const char* Heading;  // "\n" marks the line break of a two-line heading
  TSortKind Sort;
  TCellAlign Align;
};

const std::vector<TColumn>& MapColumns();    // 23 columns
const std::vector<TColumn>& LevelColumns();  // 10 columns
const std::vector<TColumn>& TileColumns();   // 9 columns

// The 23 cells of a map-list row: the row number, the file name without folder and
// extension, then the header and description fields.
std::vector<std::string> MapRowCells(int row, const std::string& path, const TJnxMap& header);
// The 10 cells of level i (from 1).
std::vector<std::string> LevelRowCells(const TJnxMap& map, int level);
// The 9 cells of tile t (0-based) of level l (0-based).
std::vector<std::string> TileRowCells(const TJnxMap& map, int level, int tile);
// The map-group item of a map: "%d,%s,%d,%s" of ProductId, ProductName, ZOrder and the
// eTrex name of the last level's scale.
std::string MapGroupItem(const TJnxMap& header);
// A map group split into its fields: three times the text before the first "," (trimmed);
// a missing comma gives an empty field and leaves the rest. The rest is the scale name.
struct TMapGroupFields {
  std::string ProductId, ProductName, ZOrder, ScaleName;
};
TMapGroupFields SplitMapGroup(const std::string& item);

}  // namespace brelo
