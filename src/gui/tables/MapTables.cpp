// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tables/MapTables.h"

#include "base/Paths.h"
#include "base/Text.h"
#include "check/DeviceCheck.h"
#include "jnx/ScaleTable.h"

namespace brelo {

namespace {
using S = TSortKind;
using A = TCellAlign;

std::string Hex(std::int32_t v) { return Format("%X", static_cast<std::uint32_t>(v)); }
std::string Num(long long v) { return std::to_string(v); }
}  // namespace

const std::vector<TColumn>& MapColumns() {
  static const std::vector<TColumn> columns = {{"M", S::Numeric, A::Centre},
                                               {"File\nName", S::Text, A::Left},
                                               {"File\nSize", S::Numeric, A::Right},
                                               {"jnx\nVer", S::Numeric, A::Centre},
                                               {"Product\nID", S::Numeric, A::Right},
                                               {"Product\nName", S::Text, A::Left},
                                               {"Z\nOrder", S::Numeric, A::Right},
                                               {"Level\nCount", S::Numeric, A::Centre},
                                               {"Longitude\nWest", S::Numeric, A::Right},
                                               {"Latitude\nNorth", S::Numeric, A::Right},
                                               {"Longitude\nEast", S::Numeric, A::Right},
                                               {"Latitude\nSouth", S::Numeric, A::Right},
                                               {"Detail\nLevel", S::Text, A::Left},
                                               {"Device\nID", S::Hexadecimal, A::Right},
                                               {"Expi-\nration", S::Numeric, A::Right},
                                               {"CRC32", S::Hexadecimal, A::Right},
                                               {"Signature\nVersion", S::Numeric, A::Right},
                                               {"Signature\nOffset", S::Numeric, A::Right},
                                               {"Block\nVersion", S::Numeric, A::Centre},
                                               {"GUID", S::Text, A::Left},
                                               {"Level\nCount2", S::Numeric, A::Centre},
                                               {"Unknown\nString", S::Text, A::Left},
                                               {"Product\nID2", S::Numeric, A::Right},
                                               {"Check", S::Text, A::Left}};
  return columns;
}

const std::vector<TColumn>& LevelColumns() {
  static const std::vector<TColumn> columns = {{"L", S::Text, A::Centre},
                                               {"Tile\nCount", S::Text, A::Right},
                                               {"jnx\nScale", S::Text, A::Right},
                                               {"eTrex\nScale", S::Text, A::Right},
                                               {"\xC2\xA9", S::Text, A::Left},
                                               {"Name", S::Text, A::Left},
                                               {"Description", S::Text, A::Left},
                                               {"MS\nZoom", S::Text, A::Right},
                                               {"Tiles\nOffset", S::Text, A::Right},
                                               {"?", S::Text, A::Right}};
  return columns;
}

const std::vector<TColumn>& TileColumns() {
  static const std::vector<TColumn> columns = {{"T", S::Text, A::Centre},
                                               {"Width", S::Text, A::Centre},
                                               {"Height", S::Text, A::Centre},
                                               {"Longitude\nWest", S::Text, A::Centre},
                                               {"Latitude\nNorth", S::Text, A::Centre},
                                               {"Longitude\nEast", S::Text, A::Centre},
                                               {"Latitude\nSouth", S::Text, A::Centre},
                                               {"Image\nSize", S::Text, A::Centre},
                                               {"Image\nOffset", S::Text, A::Centre}};
  return columns;
}

std::vector<std::string> MapRowCells(int row, const std::string& path, const TJnxMap& h, const std::string& check) {
  return {Num(row),
          FileNameOf(WithoutExtension(path)),
          Num(h.FileSize),
          Num(h.Version),
          Num(h.ProductId),
          h.ProductName,
          Num(h.ZOrder),
          Num(h.LevelCount),
          Num(h.West),
          Num(h.North),
          Num(h.East),
          Num(h.South),
          h.DetailLevel,
          Hex(h.DeviceId),
          Num(h.Expiration),
          Hex(h.Crc32),
          Num(h.SignatureVersion),
          Num(h.SignatureOffset),
          Num(h.BlockVersion),
          h.Guid,
          Num(h.LevelCount2),
          h.UnknownString,
          Num(h.ProductId2),
          check};
}

std::uint32_t CheckColour(const TMapCheck& check) {
  return check.Count(TSeverity::Error) ? 0xC80000u : check.Count(TSeverity::Warning) ? 0xBE6E00u : 0x008000u;
}

std::string CheckHint(const TMapCheck& check) {
  std::string hint;
  for (const auto& f : check.Findings) {
    if (!hint.empty()) hint += '\n';
    hint.append(SeverityName(f.Severity)).append(": ").append(f.Message);
  }
  return hint;
}

std::vector<std::string> LevelRowCells(const TJnxMap& map, int i) {
  const TJnxLevel& l = map.Levels.at(static_cast<std::size_t>(i - 1));
  return {Num(i), Num(l.TileCount), Num(l.Scale), ScaleName(l.Scale), map.Version == 4 ? l.LevelCopyright : l.Copyright,
          l.Name, l.Description,    Num(l.Zoom),  Num(l.TilesOffset), Num(l.LevelUnknown)};
}

std::vector<std::string> TileRowCells(const TJnxMap& map, int level, int tile) {
  const TJnxTile& t = map.Levels.at(static_cast<std::size_t>(level)).Tiles.at(static_cast<std::size_t>(tile));
  return {Num(tile),    Num(t.Width),  Num(t.Height),    Num(t.Left),       Num(t.Top),
          Num(t.Right), Num(t.Bottom), Num(t.ImageSize), Num(t.ImageOffset)};
}

std::string MapGroupItem(const TJnxMap& h) {
  const std::string scale = h.Levels.empty() ? std::string() : ScaleName(h.Levels.back().Scale);
  return Format("%d,%s,%d,%s", h.ProductId, h.ProductName.c_str(), h.ZOrder, scale.c_str());
}

TMapGroupFields SplitMapGroup(const std::string& item) {
  std::string rest = TrimBlanks(item);
  std::string fields[3];
  for (std::string& field : fields) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string::npos) continue;
    field = TrimBlanks(rest.substr(0, comma));
    rest.erase(0, comma + 1);
  }
  return {fields[0], fields[1], fields[2], rest};
}

}  // namespace brelo
