// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "base/Progress.h"

namespace brelo {

// Unpacks archive x.tar into the folder x beside it; returns whether the folder was new.
// Entries whose names are absolute or contain ".." are refused (nothing is written outside
// the folder) and raise, as any read or write error does; a folder the run made is then
// removed again.
bool UnpackTar(const std::string& archive, const ProgressSink& info = nullptr);

// An archive unpacked for a build that reads it: into a hidden folder of its own
// (".x.tar.brelo-unpack-PID-XXXXXX/") in the folder of beside, the file the build writes, which
// must hold about as much anyway. No folder of the user's is written into (x/ beside x.tar may
// be the original tile set). The folder goes with the object, on every path; the entry rules
// are those of UnpackTar.
class TPrivateUnpack {
 public:
  TPrivateUnpack(const std::string& archive, const std::string& beside, const ProgressSink& info = nullptr);
  ~TPrivateUnpack();
  TPrivateUnpack(const TPrivateUnpack&) = delete;
  TPrivateUnpack& operator=(const TPrivateUnpack&) = delete;
  const std::string& Folder() const { return folder_; }  // with a trailing "/"

 private:
  std::string folder_;
};

// True when an entry name stays inside the folder it is unpacked into.
bool IsSafeEntryName(const std::string& name);

}  // namespace brelo
