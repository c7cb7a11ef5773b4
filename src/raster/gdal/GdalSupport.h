// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the GDAL module's parts share: registration with bounded caches, argument lists for
// GDAL's utility functions, its last error as a reason, and the regular-file rule.
#include <string>
#include <vector>

namespace brelo::gdal {

// Registers the drivers once, caps the block cache, keeps GDAL's messages off the terminal.
void Initialise();

// An argument list as GDAL's utility functions take it (char**, null-terminated).
class TArgs {
 public:
  TArgs& Add(const std::string& arg);
  TArgs& Add(std::initializer_list<std::string> args);
  char** Get();

 private:
  std::vector<std::string> strings_;
  std::vector<char*> pointers_;
};

// GDAL's last error message on this thread, or fallback without one.
std::string LastError(const std::string& fallback);

// Raises EFormatError unless path is a regular file; a VRT's own sources are checked too.
void RequireRegularFiles(const std::string& path);

// "WGS 84 / UTM zone 33N": the name of a coordinate system in WKT, or "" for none.
std::string CrsName(const std::string& wkt);

}  // namespace brelo::gdal
