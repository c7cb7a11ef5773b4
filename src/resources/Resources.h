// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files embedded in the program at build time.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace brelo::resources {
extern const std::uint8_t DummyJpg[];  // 1 x 1 baseline colour JPEG: the placeholder tile
extern const std::size_t DummyJpgSize;
extern const std::uint8_t Wirus[];  // 212 x 204, 24-bit Windows bitmap: the filler tile picture
extern const std::size_t WirusSize;
}  // namespace brelo::resources

namespace brelo {
inline std::vector<std::uint8_t> DummyJpgBytes() {
  return {resources::DummyJpg, resources::DummyJpg + resources::DummyJpgSize};
}
}  // namespace brelo
