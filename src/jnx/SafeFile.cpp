#include "jnx/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "jnx/Errors.h"
#include "jnx/Paths.h"

namespace brelo {

namespace {

// Read once: umask() can only be read by setting it, which is not safe while other threads
// create files, and mkstemp creates 0600 whatever the mask.
mode_t ProcessUmask() {
  static const mode_t mask = [] {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }();
  return mask;
}

// Swaps the two names in one step; false where the file system cannot.
bool ExchangeNames(const std::string& a, const std::string& b) {
#ifdef RENAME_EXCHANGE
  return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
#else
  (void)a;
  (void)b;
  return false;
#endif
}

}  // namespace

TSafeFile::TSafeFile(const std::string& destination) : destination_(destination) {
  struct stat st {};
  mode_t mode = 0666 & ~ProcessUmask();
  if (::stat(destination.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw EIoError(destination + ": a folder of that name is in the way; nothing written");
    if (!S_ISREG(st.st_mode)) throw EIoError(destination + ": not a regular file; nothing written");
    mode = st.st_mode & 07777;
  }
  std::string pattern = FolderOf(destination) + "." + FileNameOf(destination) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) throw EIoError(destination + ": cannot create: " + std::strerror(errno));
  temporary_ = name.data();
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
  if (ExchangeNames(temporary_, destination_)) {
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

}  // namespace brelo
