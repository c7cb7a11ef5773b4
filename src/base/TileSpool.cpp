// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/TileSpool.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/Errors.h"
#include "base/Platform.h"

namespace brelo {

TTileSpool::TTileSpool(const std::string& folder) {
  std::string name = folder + ".brelo-tiles-XXXXXX";
  const int fd = platform::CreateUniqueFile(name);
  if (fd < 0) throw EIoError(folder + ": cannot create a temporary file: " + std::strerror(errno));
  std::remove(name.c_str());  // gone with the last descriptor, whatever happens
  file_ = std::make_unique<TFileStream>(fd, name);
}

TTileSpool::~TTileSpool() = default;

void TTileSpool::Put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  if (!atEnd_) file_->Seek(end_);  // a seek flushes: runs of puts stay buffered
  atEnd_ = true;
  file_->Write(bytes.data(), bytes.size());
  if (!index_.count(name)) order_.push_back(name);
  index_[name] = {end_, bytes.size()};
  end_ += bytes.size();
}

void TTileSpool::Alias(const std::string& name, const std::string& existing) {
  if (!index_.count(name)) order_.push_back(name);
  index_[name] = index_.at(existing);
}

std::vector<std::uint8_t> TTileSpool::Get(const std::string& name) {
  const TRange r = index_.at(name);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(r.Size));
  // Read in place: a seek would refill the stream's whole buffer for every tile. The stream
  // stays at its end for the next Put.
  if (file_->ReadAt(r.Offset, bytes.data(), bytes.size()) != bytes.size())
    throw EIoError(file_->Path() + ": a spooled tile is cut short");
  return bytes;
}

void TTileSpool::CopyTo(const std::string& name, TStream& out) {
  const TRange r = index_.at(name);
  atEnd_ = false;
  file_->Seek(r.Offset);
  file_->CopyTo(out, r.Size, "spooled tile");
}

}  // namespace brelo
