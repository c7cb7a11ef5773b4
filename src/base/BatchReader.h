// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Many small reads of one file at scattered offsets in a few system calls: the pieces are
// queued on an io_uring and read in one submission. Where the kernel offers no io_uring
// (an old kernel, a container that filters it) every piece is read with pread instead.
// A reader serves one thread at a time; keep one per worker and reuse it across files.
#include <cstdint>
#include <span>
#include <string>

namespace brelo {

struct TReadPiece {
  std::uint64_t Offset = 0;
  std::uint8_t* Buffer = nullptr;
  std::uint32_t Size = 0;  // bytes wanted [bytes]
  std::uint32_t Got = 0;   // bytes read: fewer than Size only at the end of the file
};

class TBatchReader {
 public:
  // queued: pieces handed to the kernel at once. forcePread skips io_uring (for tests).
  explicit TBatchReader(unsigned queued = 64, bool forcePread = false);
  ~TBatchReader();
  TBatchReader(const TBatchReader&) = delete;
  TBatchReader& operator=(const TBatchReader&) = delete;

  // Reads every piece of the open file fd; path names it in an EIoError when a read fails.
  void Read(int fd, std::span<TReadPiece> pieces, const std::string& path);
  bool UsesRing() const { return ring_ != nullptr; }

 private:
  struct TRing;
  void ReadQueued(int fd, std::span<TReadPiece> pieces, const std::string& path);
  TRing* ring_ = nullptr;
};

}  // namespace brelo
