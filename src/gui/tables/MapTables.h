// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the map, level and tile tables show: headings and the texts of every cell, from the
// map model. The window's tables take these texts as they are.
#include <cstdint>
#include <string>
#include <vector>

#include "check/DeviceCheck.h"
#include "jnx/JnxMap.h"

namespace brelo {

enum class TSortKind { Text, Numeric, Hexadecimal };
enum class TCellAlign { Left, Centre, Right };

struct TColumn {
  const char* Heading;  // "\n" marks the line break of a two-line heading
  TSortKind Sort;
  TCellAlign Align;
};

const std::vector<TColumn>& MapColumns();    // 24 columns: the file's 23, then its check
const std::vector<TColumn>& LevelColumns();  // 10 columns
const std::vector<TColumn>& TileColumns();   // 9 columns

// The 24 cells of a map-list row: the row number, the file name without folder and
// extension, the header and description fields, then the summary of its check.
std::vector<std::string> MapRowCells(int row, const std::string& path, const TJnxMap& header, const std::string& check);
// The colour of a check's summary: red with errors, orange with warnings, else green.
std::uint32_t CheckColour(const TMapCheck& check);
// The check's findings as the Check cell's hint, one line each.
std::string CheckHint(const TMapCheck& check);
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
