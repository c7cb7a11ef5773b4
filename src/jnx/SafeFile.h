#pragma once
// Writes a file through a temporary file in the destination's folder, renamed over the
// destination only on Commit; without Commit the temporary file is removed, so a failed
// write never destroys an earlier destination.
#include <memory>
#include <string>

#include "jnx/Stream.h"

namespace brelo {

class TSafeFile {
 public:
  explicit TSafeFile(const std::string& destination);
  ~TSafeFile();
  TSafeFile(const TSafeFile&) = delete;
  TSafeFile& operator=(const TSafeFile&) = delete;

  TFileStream& Stream() { return *stream_; }
  // Closes and renames over the destination; raises EIoError on failure.
  void Commit();

 private:
  std::string destination_;
  std::string temporary_;
  std::unique_ptr<TFileStream> stream_;
  bool committed_ = false;
};

}  // namespace brelo
