// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/Platform.h"

namespace brelo {

namespace {
constexpr std::size_t kCopyBufferSize = 1 << 20;

std::string SystemReason() { return std::strerror(errno); }

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a FIFO, not a regular file";
  if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
  return "not a regular file";
}
}  // namespace

std::FILE* OpenRegularFile(const std::string& path, const char* mode) {
  const std::string m = mode;
  const int access = m == "rb" ? O_RDONLY : O_RDWR;
  const bool create = m == "w+b";
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer, for ever.
  const int fd = ::open(path.c_str(), access | O_NONBLOCK | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
  if (fd < 0) throw EIoError(path + ": cannot open: " + SystemReason());
  struct stat st {};
  const bool stated = ::fstat(fd, &st) == 0;
  if (!stated || !S_ISREG(st.st_mode)) {
    const std::string why = stated ? KindOf(st.st_mode) : SystemReason();
    ::close(fd);
    throw EIoError(path + ": cannot open: " + why);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (create && ::ftruncate(fd, 0) != 0) {
    const std::string why = SystemReason();
    ::close(fd);
    throw EIoError(path + ": cannot open: " + why);
  }
  std::FILE* file = ::fdopen(fd, mode);
  if (!file) {
    const std::string why = SystemReason();
    ::close(fd);
    throw EIoError(path + ": cannot open: " + why);
  }
  return file;
}

void TStream::ReadExact(void* buffer, std::size_t count, const char* what) {
  std::uint64_t at = Position();
  std::size_t got = Read(buffer, count);
  if (got != count)
    throw EIoError(std::string("short read of ") + what + " at offset " + std::to_string(at) + ": " +
                   std::to_string(got) + " of " + std::to_string(count) + " bytes");
}

void TStream::CopyTo(TStream& dest, std::uint64_t count, const char* what) {
  std::vector<char> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(count, kCopyBufferSize)));
  while (count > 0) {
    std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size()));
    ReadExact(buffer.data(), chunk, what);
    dest.Write(buffer.data(), chunk);
    count -= chunk;
  }
}

TFileStream::TFileStream(const std::string& path, TOpenMode mode, std::size_t bufferSize) : path_(path) {
  file_ = OpenRegularFile(path, mode == TOpenMode::Read ? "rb" : mode == TOpenMode::ReadWrite ? "r+b" : "w+b");
  buffer_.reset(new char[bufferSize]);  // uninitialised: stdio fills it
  std::setvbuf(file_, buffer_.get(), _IOFBF, bufferSize);
}

TFileStream::TFileStream(int fd, const std::string& path, std::size_t bufferSize) : path_(path) {
  file_ = fdopen(fd, "w+b");
  if (!file_) {
    close(fd);
    throw EIoError(path + ": cannot open: " + SystemReason());
  }
  buffer_.reset(new char[bufferSize]);
  std::setvbuf(file_, buffer_.get(), _IOFBF, bufferSize);
}

TFileStream::~TFileStream() {
  if (file_) std::fclose(file_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  if (lastWasWrite_) std::fflush(file_);
  lastWasWrite_ = false;
  lastWasRead_ = true;
  return std::fread(buffer, 1, count, file_);
}

void TFileStream::Write(const void* buffer, std::size_t count) {
  if (lastWasRead_) std::fseek(file_, 0, SEEK_CUR);  // required between a read and a write
  lastWasRead_ = false;
  lastWasWrite_ = true;
  if (count && std::fwrite(buffer, 1, count, file_) != count)
    throw EIoError(path_ + ": write error: " + SystemReason());
}

void TFileStream::Seek(std::uint64_t position) {
  // A seek to the current position would drop the read buffer; sequential readers do this a lot.
  if (!lastWasWrite_ && ftello(file_) == static_cast<off_t>(position)) return;
  if (fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0)
    throw EIoError(path_ + ": cannot seek to " + std::to_string(position));
  lastWasRead_ = lastWasWrite_ = false;
}

std::uint64_t TFileStream::Position() const {
  off_t p = ftello(file_);
  return p < 0 ? 0 : static_cast<std::uint64_t>(p);
}

std::uint64_t TFileStream::Size() { return Identity().Size; }

TFileIdentity TFileStream::Identity() {
  // From the file system: seeking to the end and back would make stdio refill its buffer.
  if (lastWasWrite_) {
    std::fflush(file_);  // buffered writes count
    lastWasWrite_ = false;
  }
  struct stat st {};
  if (::fstat(fileno(file_), &st) != 0) throw EIoError(path_ + ": cannot read the size: " + SystemReason());
  TFileIdentity id;
  id.Device = static_cast<std::uint64_t>(st.st_dev);
  id.Inode = static_cast<std::uint64_t>(st.st_ino);
  id.Size = st.st_size < 0 ? 0 : static_cast<std::uint64_t>(st.st_size);
  id.ModifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

std::size_t TFileStream::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (lastWasWrite_) {
    std::fflush(file_);
    lastWasWrite_ = false;
  }
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::pread(fileno(file_), static_cast<char*>(buffer) + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EIoError(path_ + ": cannot read at offset " + std::to_string(offset) + ": " + SystemReason());
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void TFileStream::ReadPiecesAt(std::span<TReadPiece> pieces, TBatchReader& reader) {
  if (lastWasWrite_) {
    std::fflush(file_);
    lastWasWrite_ = false;
  }
  reader.Read(fileno(file_), pieces, path_);
}

void TFileStream::CopyRangeFrom(TFileStream& source, std::uint64_t offset, std::uint64_t count) {
  if (count == 0) return;
  std::fflush(file_);
  CopyRangeFromAt(source, offset, Position(), count);
}

void TFileStream::CopyRangeFromAt(TFileStream& source, std::uint64_t offset, std::uint64_t at, std::uint64_t count) {
  std::fflush(file_);
  lastWasRead_ = lastWasWrite_ = false;
  if (count == 0) {
    Seek(at);
    return;
  }
  const std::uint64_t sourceSize = source.Size();
  if (offset + count > sourceSize)
    throw EIoError(source.path_ + ": short read of tile data at offset " + std::to_string(offset));
  off_t in = static_cast<off_t>(offset), out = static_cast<off_t>(at);
  std::uint64_t left = count;
  // The kernel copies the bytes without passing them through user space where it can.
  while (left > 0) {
    const std::int64_t n = platform::KernelCopy(fileno(source.file_), in, fileno(file_), out, left);
    if (n <= 0) break;
    left -= static_cast<std::uint64_t>(n);
  }
  fseeko(file_, out, SEEK_SET);
  if (left > 0) {
    source.Seek(static_cast<std::uint64_t>(in));
    source.CopyTo(*this, left, "tile data");
  }
}

void TFileStream::Close() {
  if (!file_) return;
  std::FILE* f = file_;
  file_ = nullptr;
  bool failed = std::fflush(f) != 0;
  failed = std::fclose(f) != 0 || failed;
  if (failed) throw EIoError(path_ + ": write error: " + SystemReason());
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= data_.size()) return 0;
  std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, data_.size() - position_));
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (position_ + count > data_.size()) data_.resize(static_cast<std::size_t>(position_ + count));
  if (count) std::memcpy(data_.data() + position_, buffer, count);
  position_ += count;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  TFileStream in(path, TOpenMode::Read, 4096);  // read whole: no buffer to speak of
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(in.Size()));
  in.ReadExact(bytes.data(), bytes.size(), path.c_str());
  return bytes;
}

}  // namespace brelo
