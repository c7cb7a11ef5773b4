// SPDX-License-Identifier: GPL-3.0-or-later
// The GPX reader over arbitrary bytes.
#include <cstdint>
#include <string>

#include "base/Errors.h"
#include "gpx/GpxReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  brelo::TGpxData gpx;
  try {
    brelo::ReadGpxText(std::string(reinterpret_cast<const char*>(data), size), gpx);
  } catch (const brelo::EBreloError&) {
  }
  return 0;
}
