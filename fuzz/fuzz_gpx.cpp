// The GPX reader over arbitrary bytes.
#include <cstdint>
#include <string>

#include "gpx/GpxReader.h"
#include "base/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  brelo::TGpxData gpx;
  try {
    brelo::ReadGpxText(std::string(reinterpret_cast<const char*>(data), size), gpx);
  } catch (const brelo::EBreloError&) {
  }
  return 0;
}
