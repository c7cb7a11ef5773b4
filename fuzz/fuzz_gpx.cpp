// SPDX-License-Identifier: GPL-3.0-or-later
// The GPX reader and the outline file test over arbitrary bytes.
#include <cstdint>
#include <string>

#include "base/Errors.h"
#include "gpx/GpxReader.h"
#include "gpx/OutlineFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  brelo::TGpxData gpx;
  const std::string text(reinterpret_cast<const char*>(data), size);
  (void)brelo::IsBreloOutlineText(text);
  try {
    brelo::ReadGpxText(text, gpx);
  } catch (const brelo::EBreloError&) {
  }
  return 0;
}
