// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Module.h"

#include <dlfcn.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/Paths.h"

namespace brelo {

std::string ExecutableFolder() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? FolderOf(std::string(path, static_cast<std::size_t>(n))) : std::string();
}

void* LoadModuleEntry(const std::string& module, const char* entry) {
  const std::string folder = ExecutableFolder();
  std::string errors;
  for (const std::string& dir : {folder, folder + "../", folder + "../src/", folder + "../lib/brelo/"}) {
    const std::string path = dir + module;
    if (!FileExists(path)) continue;
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      errors = ::dlerror();
      continue;
    }
    if (void* address = ::dlsym(handle, entry)) return address;
    errors = path + " has no entry " + entry;
  }
  throw EIoError("the module " + module + " could not be loaded" +
                 (errors.empty() ? " (it is not beside the program or in ../lib/brelo)" : ": " + errors));
}

}  // namespace brelo
