// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a file through a temporary file in the destination's folder that takes the
// destination's name only on Commit, in one atomic step: the name always holds either the
// earlier complete file or the new one. Without Commit the temporary file is removed.
// A replaced file keeps its permission bits; a new one gets 0666 less the umask.
#include <memory>
#include <string>

#include "base/Stream.h"

namespace brelo {

class TSafeFile {
 public:
  // Raises EIoError when the destination is a folder or anything but a regular file.
  explicit TSafeFile(const std::string& destination);
  ~TSafeFile();
  TSafeFile(const TSafeFile&) = delete;
  TSafeFile& operator=(const TSafeFile&) = delete;

  TFileStream& Stream() { return *stream_; }
  // Closes and puts the file in place; raises EIoError on failure.
  void Commit();
  const std::string& TemporaryPath() const { return temporary_; }

 private:
  std::string destination_;
  std::string temporary_;
  std::unique_ptr<TFileStream> stream_;
  bool committed_ = false;
};

// The whole of data as the file at path, through TSafeFile.
void WriteFileBytes(const std::string& path, const void* data, std::size_t size);

// A new file the user named may not replace one of theirs unasked: raises ERefused when a file
// or folder of that name exists and overwrite is false.
void RefuseToReplace(const std::string& path, bool overwrite);

}  // namespace brelo
