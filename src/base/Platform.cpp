// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace brelo::platform {

int CreateUniqueFile(std::string& pattern) {
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  pattern = name.data();
  return fd;
}

bool CreateUniqueFolder(std::string& pattern) {
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const bool made = ::mkdtemp(name.data()) != nullptr;
  pattern = name.data();
  return made;
}

std::int64_t KernelCopy(int in, off_t& inOffset, int out, off_t& outOffset, std::uint64_t count) {
  return ::copy_file_range(in, &inOffset, out, &outOffset, count, 0);
}

bool ExchangeNames(const std::string& a, const std::string& b) {
#ifdef RENAME_EXCHANGE
  return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
#else
  (void)a;
  (void)b;
  return false;
#endif
}

mode_t FileCreationMask() {
  // Read once: umask() can only be read by setting it, which is not safe while other threads
  // create files.
  static const mode_t mask = [] {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }();
  return mask;
}

std::int64_t FreeBytes(const std::string& folder) {
  struct statvfs st {};
  if (::statvfs(folder.empty() ? "." : folder.c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize);
}

std::uint64_t PhysicalMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGE_SIZE);
  return pages > 0 && size > 0 ? std::uint64_t(pages) * std::uint64_t(size) : std::uint64_t(1) << 32;
}

void KeepFreedMemory() {
#ifdef M_MMAP_THRESHOLD
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

void ReturnFreedMemory() {
#ifdef M_MMAP_THRESHOLD
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  mallopt(M_TRIM_THRESHOLD, 4 << 20);
#endif
}

}  // namespace brelo::platform
