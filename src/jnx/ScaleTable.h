// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 27 level scale values with their eTrex zoom names, ascending.
#include <array>
#include <cstdint>
#include <string>

namespace brelo {

struct TScaleEntry {
  std::uint32_t Value;
  const char* Name;
};

extern const std::array<TScaleEntry, 27> ScaleTable;

std::uint32_t SnapScale(std::uint32_t scale);
std::string ScaleName(std::uint32_t scale);
// Case-sensitive lookup of a name; -1 when unknown.
std::int64_t ScaleValue(const std::string& name);
// Index of a name in ScaleTable, or -1.
int ScaleIndex(const std::string& name);

}  // namespace brelo
