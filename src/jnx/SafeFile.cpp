#include "jnx/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "jnx/Errors.h"
#include "jnx/Paths.h"

namespace brelo {

TSafeFile::TSafeFile(const std::string& destination) : destination_(destination) {
  std::string pattern = FolderOf(destination) + "." + FileNameOf(destination) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) throw EIoError(destination + ": cannot create: " + std::strerror(errno));
  fchmod(fd, 0644);
  temporary_ = name.data();
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
  // The earlier destination is moved aside rather than replaced by the rename: replacing a
  // file makes ext4 write the new one out at once, which costs as much as the copy itself.
  // It is removed only after the new file has its name, and put back if that fails.
  const std::string aside = temporary_ + ".old";
  const bool hadDestination = std::rename(destination_.c_str(), aside.c_str()) == 0;
  if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    if (hadDestination) std::rename(aside.c_str(), destination_.c_str());
    throw EIoError(destination_ + ": cannot replace: " + reason);
  }
  committed_ = true;
  if (hadDestination) std::remove(aside.c_str());
}

}  // namespace brelo
