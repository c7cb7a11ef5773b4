#pragma once
#include <string>

#include "jnx/JnxWriter.h"

namespace brelo {

// Unpacks archive x.tar into the folder x beside it. folderCreated tells whether the folder
// was new. Entries whose names are absolute or contain ".." are refused (nothing is written
// outside the folder): the result is then false, as for any read or write error.
bool UnpackTar(const std::string& archive, bool& folderCreated, const ProgressSink& info = nullptr,
               std::string* error = nullptr);

// True when an entry name stays inside the folder it is unpacked into.
bool IsSafeEntryName(const std::string& name);

}  // namespace brelo
