// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/BatchReader.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <linux/io_uring.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "base/Errors.h"

namespace brelo {

namespace {

// Reads the rest of a piece the plain way: after a short or failed queued read, and on
// systems without io_uring.
void ReadRest(int fd, TReadPiece& piece, const std::string& path) {
  while (piece.Got < piece.Size) {
    const ssize_t n =
        ::pread(fd, piece.Buffer + piece.Got, piece.Size - piece.Got, static_cast<off_t>(piece.Offset + piece.Got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      throw EIoError(path + ": cannot read at offset " + std::to_string(piece.Offset + piece.Got) + ": " +
                     std::strerror(errno));
    if (n == 0) break;
    piece.Got += static_cast<std::uint32_t>(n);
  }
}

template <class T>
T* At(void* base, std::uint32_t offset) {
  return reinterpret_cast<T*>(static_cast<char*>(base) + offset);
}

}  // namespace

// The submission and completion rings shared with the kernel.
struct TBatchReader::TRing {
  int Fd = -1;
  unsigned Entries = 0;
  void* Sq = MAP_FAILED;
  void* Cq = MAP_FAILED;
  void* SqesMap = MAP_FAILED;
  std::size_t SqBytes = 0, CqBytes = 0, SqesBytes = 0;
  unsigned *SqTail = nullptr, *SqMask = nullptr, *SqArray = nullptr;
  unsigned *CqHead = nullptr, *CqTail = nullptr, *CqMask = nullptr;
  io_uring_sqe* Sqes = nullptr;
  io_uring_cqe* Cqes = nullptr;

  ~TRing() {
    if (SqesMap != MAP_FAILED) ::munmap(SqesMap, SqesBytes);
    if (Cq != MAP_FAILED) ::munmap(Cq, CqBytes);
    if (Sq != MAP_FAILED) ::munmap(Sq, SqBytes);
    if (Fd >= 0) ::close(Fd);
  }

  bool Open(unsigned entries) {
    io_uring_params p{};
    Fd = static_cast<int>(::syscall(__NR_io_uring_setup, entries, &p));
    if (Fd < 0) return false;
    Entries = p.sq_entries;
    SqBytes = p.sq_off.array + p.sq_entries * sizeof(unsigned);
    CqBytes = p.cq_off.cqes + p.cq_entries * sizeof(io_uring_cqe);
    SqesBytes = p.sq_entries * sizeof(io_uring_sqe);
    Sq = ::mmap(nullptr, SqBytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, Fd, IORING_OFF_SQ_RING);
    Cq = ::mmap(nullptr, CqBytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, Fd, IORING_OFF_CQ_RING);
    SqesMap = ::mmap(nullptr, SqesBytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, Fd, IORING_OFF_SQES);
    if (Sq == MAP_FAILED || Cq == MAP_FAILED || SqesMap == MAP_FAILED) return false;
    SqTail = At<unsigned>(Sq, p.sq_off.tail);
    SqMask = At<unsigned>(Sq, p.sq_off.ring_mask);
    SqArray = At<unsigned>(Sq, p.sq_off.array);
    CqHead = At<unsigned>(Cq, p.cq_off.head);
    CqTail = At<unsigned>(Cq, p.cq_off.tail);
    CqMask = At<unsigned>(Cq, p.cq_off.ring_mask);
    Cqes = At<io_uring_cqe>(Cq, p.cq_off.cqes);
    Sqes = static_cast<io_uring_sqe*>(SqesMap);
    return true;
  }

  int Enter(unsigned submit, unsigned wait) {
    for (;;) {
      const long n = ::syscall(__NR_io_uring_enter, Fd, submit, wait, IORING_ENTER_GETEVENTS, nullptr, 0);
      if (n >= 0 || errno != EINTR) return static_cast<int>(n);
    }
  }
};

TBatchReader::TBatchReader(unsigned queued, bool forcePread) {
  if (forcePread) return;
  auto* ring = new TRing;
  if (ring->Open(queued))
    ring_ = ring;
  else
    delete ring;
}

TBatchReader::~TBatchReader() { delete ring_; }

void TBatchReader::Read(int fd, std::span<TReadPiece> pieces, const std::string& path) {
  for (auto& p : pieces) p.Got = 0;
  if (ring_ == nullptr) {
    for (auto& p : pieces) ReadRest(fd, p, path);
    return;
  }
  for (std::size_t first = 0; first < pieces.size(); first += ring_->Entries)
    ReadQueued(fd, pieces.subspan(first, std::min<std::size_t>(ring_->Entries, pieces.size() - first)), path);
}

void TBatchReader::ReadQueued(int fd, std::span<TReadPiece> pieces, const std::string& path) {
  TRing& r = *ring_;
  unsigned tail = *r.SqTail;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const unsigned slot = tail & *r.SqMask;
    io_uring_sqe& sqe = r.Sqes[slot];
    std::memset(&sqe, 0, sizeof sqe);
    sqe.opcode = IORING_OP_READ;
    sqe.fd = fd;
    sqe.addr = reinterpret_cast<std::uintptr_t>(pieces[i].Buffer);
    sqe.len = pieces[i].Size;
    sqe.off = pieces[i].Offset;
    sqe.user_data = i;
    r.SqArray[slot] = slot;
    ++tail;
  }
  std::atomic_ref<unsigned>(*r.SqTail).store(tail, std::memory_order_release);

  // Every queued read is waited for before anything is raised: the kernel writes into the
  // pieces' buffers until its completion arrives.
  const auto count = static_cast<unsigned>(pieces.size());
  unsigned submitted = 0, reaped = 0, withdrawn = 0;
  while (reaped + withdrawn < count) {
    const unsigned toSubmit = count - submitted - withdrawn;
    const int n = r.Enter(toSubmit, 1);
    if (n < 0 && toSubmit > 0) {
      // The ring takes no more (out of memory, a filter): withdraw what it has not taken;
      // those pieces are read plainly below.
      *r.SqTail -= toSubmit;
      withdrawn = toSubmit;
    } else if (n < 0) {
      throw EIoError(path + ": cannot wait for queued reads: " + std::strerror(errno));
    } else {
      submitted += static_cast<unsigned>(n);
    }
    unsigned head = *r.CqHead;
    const unsigned end = std::atomic_ref<unsigned>(*r.CqTail).load(std::memory_order_acquire);
    for (; head != end; ++head, ++reaped) {
      const io_uring_cqe& cqe = r.Cqes[head & *r.CqMask];
      if (cqe.res > 0) pieces[cqe.user_data].Got = static_cast<std::uint32_t>(cqe.res);
    }
    std::atomic_ref<unsigned>(*r.CqHead).store(head, std::memory_order_release);
  }
  // Short, failed and withdrawn reads are finished (or their error raised) the plain way.
  for (auto& p : pieces)
    if (p.Got < p.Size) ReadRest(fd, p, path);
}

}  // namespace brelo
