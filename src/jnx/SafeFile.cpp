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
  close(fd);
  temporary_ = name.data();
  try {
    stream_ = std::make_unique<TFileStream>(temporary_, TOpenMode::Create);
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
  if (std::rename(temporary_.c_str(), destination_.c_str()) != 0)
    throw EIoError(destination_ + ": cannot replace: " + std::strerror(errno));
  committed_ = true;
}

}  // namespace brelo
