// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Modules loaded on first use: the parts whose libraries take longer to load than most
// commands take to run (Qt Gui for rendering, GDAL for georeferenced rasters).
#include <string>

namespace brelo {

// The folder of the running executable, with a trailing "/".
std::string ExecutableFolder();
// The address of entry in module (a file name such as "brelo-gdal.so"), looked for beside
// the executable, one folder up, in ../src (a build's tests and benchmarks) and in
// ../lib/brelo (an installation). Raises EIoError saying why when it cannot be loaded.
void* LoadModuleEntry(const std::string& module, const char* entry);

}  // namespace brelo
