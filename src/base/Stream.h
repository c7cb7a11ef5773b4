// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Seekable byte streams: a buffered file and a growable memory buffer.
// Read returns the number of bytes read (short at the end); Write raises EIoError on failure.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/BatchReader.h"

namespace brelo {

class TStream {
 public:
  virtual ~TStream() = default;
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual void Write(const void* buffer, std::size_t count) = 0;
  virtual void Seek(std::uint64_t position) = 0;
  virtual std::uint64_t Position() const = 0;
  virtual std::uint64_t Size() = 0;

  // Reads exactly count bytes or raises EIoError naming what was being read.
  void ReadExact(void* buffer, std::size_t count, const char* what);
  // Copies count bytes from this stream's position into dest through one buffer.
  void CopyTo(TStream& dest, std::uint64_t count, const char* what);
};

enum class TOpenMode { Read, ReadWrite, Create };

// Which file an open stream is, as the file system names it, with its size and time.
struct TFileIdentity {
  std::uint64_t Device = 0, Inode = 0, Size = 0;
  std::int64_t ModifiedNs = 0;  // [ns since 1970]
};

// Opens a regular file for stdio without ever blocking: a FIFO, socket or device of that
// name is refused (EIoError naming what it is) before anything is read from it. mode is
// "rb", "r+b" or "w+b"; "w+b" truncates only a regular file.
std::FILE* OpenRegularFile(const std::string& path, const char* mode);

class TFileStream : public TStream {
 public:
  TFileStream(const std::string& path, TOpenMode mode, std::size_t bufferSize = 1 << 20);
  // Takes over an open file descriptor for reading and writing.
  TFileStream(int fd, const std::string& path, std::size_t bufferSize = 1 << 20);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  void Seek(std::uint64_t position) override;
  std::uint64_t Position() const override;
  std::uint64_t Size() override;
  TFileIdentity Identity();
  // Reads up to count bytes at offset straight from the file, past the stream's buffer and
  // leaving its position: for a few bytes at many scattered places. Returns the bytes read.
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count);
  // Many such reads at once, in as few system calls as reader manages.
  void ReadPiecesAt(std::span<TReadPiece> pieces, TBatchReader& reader);
  // Appends count bytes of source starting at offset (kernel copy where possible).
  void CopyRangeFrom(TFileStream& source, std::uint64_t offset, std::uint64_t count);
  // The same to offset at of this file; the position is left after the copied bytes.
  void CopyRangeFromAt(TFileStream& source, std::uint64_t offset, std::uint64_t at, std::uint64_t count);
  // Flushes and closes, raising EIoError if buffered data could not be written.
  void Close();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  bool lastWasWrite_ = false;
  bool lastWasRead_ = false;
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  void Seek(std::uint64_t position) override { position_ = position; }
  std::uint64_t Position() const override { return position_; }
  std::uint64_t Size() override { return data_.size(); }
  void Clear() {
    data_.clear();
    position_ = 0;
  }
  std::vector<std::uint8_t>& Data() { return data_; }
  const std::vector<std::uint8_t>& Data() const { return data_; }

 private:
  std::vector<std::uint8_t> data_;
  std::uint64_t position_ = 0;
};

// Whole-file helpers.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

}  // namespace brelo
