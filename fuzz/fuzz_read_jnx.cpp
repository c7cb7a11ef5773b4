// SPDX-License-Identifier: GPL-3.0-or-later
// ReadJnx over arbitrary bytes, with and without details.
#include <cstdint>
#include <vector>

#include "base/Errors.h"
#include "jnx/JnxReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (bool details : {false, true}) {
    brelo::TMemoryStream in(std::vector<std::uint8_t>(data, data + size));
    brelo::TJnxMap map;
    try {
      brelo::ReadJnx(map, in, "fuzz.jnx", details);
    } catch (const brelo::EBreloError&) {
    }
  }
  return 0;
}
