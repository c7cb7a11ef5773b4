// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the receivers load: the limits that checks, creation and merging keep to.
#include <cstdint>

namespace brelo {

constexpr int kMaxLevels = 5;                              // levels of one map
constexpr int kMaxTilesPerLevel = 50000;                   // tiles of one level
constexpr std::uint64_t kMaxJnxBytes = 0xFFFFFFFFull;      // offsets are 32-bit
constexpr int kMaxFilesOlder = 200, kMaxFilesNewer = 250;  // JNX files on a card

}  // namespace brelo
