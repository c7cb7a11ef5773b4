// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bytes kept in an unnamed temporary file until they are copied where they belong: tile data
// that arrives before the tables that must precede it in a file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Stream.h"

namespace brelo {

class TDataSpool {
 public:
  explicit TDataSpool(const std::string& folder);  // the temporary file lives in this folder
  ~TDataSpool();
  TDataSpool(const TDataSpool&) = delete;
  TDataSpool& operator=(const TDataSpool&) = delete;

  // Appends size bytes; returns where they start.
  std::uint64_t Append(const void* data, std::size_t size);
  // Copies size bytes from offset to out.
  void CopyTo(std::uint64_t offset, std::uint64_t size, TStream& out);
  std::uint64_t Size() const { return end_; }

 private:
  std::unique_ptr<TFileStream> file_;
  std::uint64_t end_ = 0;
  std::vector<char> buffer_;  // for copies
};

}  // namespace brelo
