// SPDX-License-Identifier: GPL-3.0-or-later
#include "jnx/Guid.h"

#include <random>

namespace brelo {

std::string NewGuid() {
  static constexpr char kHex[] = "0123456789ABCDEF";
  static constexpr int kGroups[] = {4, 2, 2, 2, 6};
  std::random_device device;
  std::string out;
  out.reserve(36);
  for (int g = 0; g < 5; ++g) {
    if (g) out.push_back('-');
    for (int i = 0; i < kGroups[g]; ++i) {
      unsigned byte = device() & 0xFF;
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 15]);
    }
  }
  return out;
}

}  // namespace brelo
