// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/DataSpool.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/Errors.h"
#include "base/Platform.h"

namespace brelo {

TDataSpool::TDataSpool(const std::string& folder) {
  std::string name = folder + ".brelo-data-XXXXXX";
  const int fd = platform::CreateUniqueFile(name);
  if (fd < 0) throw EIoError(folder + ": cannot create a temporary file: " + std::strerror(errno));
  std::remove(name.c_str());  // gone with the last descriptor, whatever happens
  // Many spools may be open at once: a small buffer each.
  file_ = std::make_unique<TFileStream>(fd, name, 256 << 10);
}

TDataSpool::~TDataSpool() = default;

std::uint64_t TDataSpool::Append(const void* data, std::size_t size) {
  file_->Write(data, size);  // reads go past the stream: its position stays at the end
  const std::uint64_t at = end_;
  end_ += size;
  return at;
}

void TDataSpool::CopyTo(std::uint64_t offset, std::uint64_t size, TStream& out) {
  if (buffer_.empty()) buffer_.resize(1 << 20);
  while (size > 0) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(size, buffer_.size()));
    if (file_->ReadAt(offset, buffer_.data(), chunk) != chunk)
      throw EIoError("spooled data: the temporary file is short");
    out.Write(buffer_.data(), chunk);
    offset += chunk, size -= chunk;
  }
}

}  // namespace brelo
