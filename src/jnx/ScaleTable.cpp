// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/ScaleTable.h"

namespace brelo {

const std::array<TScaleEntry, 27> ScaleTable = {{
    {18, "5m"},         {28, "8m"},         {40, "12m"},        {75, "20m"},      {89, "30m"},       {149, "50m"},
    {298, "80m"},       {400, "120m"},      {597, "200m"},      {1194, "300m"},   {1800, "500m"},    {2388, "800m"},
    {4777, "1.2km"},    {6000, "2km"},      {9554, "3km"},      {19109, "5km"},   {25000, "8km"},    {38218, "12km"},
    {76437, "20km"},    {90000, "30km"},    {152877, "50km"},   {305758, "80km"}, {400000, "120km"}, {611526, "200km"},
    {1223072, "300km"}, {1800000, "500km"}, {2446184, "800km"},
}};

std::uint32_t SnapScale(std::uint32_t s) {
  if (s <= ScaleTable.front().Value) return ScaleTable.front().Value;
  if (s >= ScaleTable.back().Value) return ScaleTable.back().Value;
  std::size_t i = 1;
  while (ScaleTable[i].Value < s) ++i;
  std::uint32_t lower = ScaleTable[i - 1].Value, upper = ScaleTable[i].Value;
  return s - lower < upper - s ? lower : upper;
}

std::string ScaleName(std::uint32_t scale) {
  std::uint32_t snapped = SnapScale(scale);
  for (const auto& e : ScaleTable)
    if (e.Value == snapped) return e.Name;
  return {};
}

int ScaleIndex(const std::string& name) {
  for (std::size_t i = 0; i < ScaleTable.size(); ++i)
    if (name == ScaleTable[i].Name) return static_cast<int>(i);
  return -1;
}

std::int64_t ScaleValue(const std::string& name) {
  int i = ScaleIndex(name);
  return i < 0 ? std::int64_t{-1} : std::int64_t{ScaleTable[static_cast<std::size_t>(i)].Value};
}

}  // namespace brelo
