// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Platform.h"

namespace brelo {

TSafeFile::TSafeFile(const std::string& destination) : destination_(destination) {
  struct stat st {};
  mode_t mode = 0666 & ~platform::FileCreationMask();
  if (::stat(destination.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw EIoError(destination + ": a folder of that name is in the way; nothing written");
    if (!S_ISREG(st.st_mode)) throw EIoError(destination + ": not a regular file; nothing written");
    mode = st.st_mode & 07777;
  }
  temporary_ = FolderOf(destination) + "." + FileNameOf(destination) + ".XXXXXX";
  const int fd = platform::CreateUniqueFile(temporary_);
  if (fd < 0) throw EIoError(destination + ": cannot create: " + std::strerror(errno));
  ::fchmod(fd, mode);
  // The descriptor is used as it is: opening the new file again with truncation would make
  // ext4 flush it when it is closed.
  try {
    stream_ = std::make_unique<TFileStream>(fd, temporary_);
  } catch (...) {
    std::remove(temporary_.c_str());
    throw;
  }
}

TSafeFile::~TSafeFile() {
  if (committed_) return;
  stream_.reset();
  std::remove(temporary_.c_str());
}

void TSafeFile::Commit() {
  stream_->Close();
  // Exchanging the names keeps the destination complete at every moment, and unlike a
  // rename over it does not make ext4 write the new file out at once (which costs as much
  // as the copy itself). The old file then goes with the temporary name.
  if (platform::ExchangeNames(temporary_, destination_)) {
    committed_ = true;
    std::remove(temporary_.c_str());
    return;
  }
  if (std::rename(temporary_.c_str(), destination_.c_str()) != 0)
    throw EIoError(destination_ + ": cannot replace: " + std::strerror(errno));
  committed_ = true;
}

void WriteFileBytes(const std::string& path, const void* data, std::size_t size) {
  TSafeFile file(path);
  file.Stream().Write(data, size);
  file.Commit();
}

void RefuseToReplace(const std::string& path, bool overwrite) {
  if (!overwrite && (FileExists(path) || FolderExists(path)))
    throw ERefused(path + ": a file of that name exists; it was not replaced");
}

}  // namespace brelo
