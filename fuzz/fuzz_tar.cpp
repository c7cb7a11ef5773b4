// SPDX-License-Identifier: GPL-3.0-or-later
// Lists an arbitrary archive and extracts every entry into memory.
#include <cstdint>
#include <string>
#include <vector>

#include "LibTar/TarArchive.h"
#include "base/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  brelo::TMemoryStream in(std::vector<std::uint8_t>(data, data + size));
  try {
    brelo::TTarArchive tar(in);
    brelo::TTarDirRec rec;
    int n = 0;
    while (tar.NextEntry(rec) && n++ < 10000) {
      if (n % 2) {
        std::string text;
        tar.ExtractToString(text);
      }
    }
  } catch (const brelo::EBreloError&) {
  }
  return 0;
}
