#include "export/TileSpool.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>

#include <unistd.h>

#include "jnx/Errors.h"

namespace brelo {

TTileSpool::TTileSpool(const std::string& folder) {
  std::string pattern = folder + ".brelo-tiles-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) throw EIoError(folder + ": cannot create a temporary file: " + std::strerror(errno));
  unlink(name.data());  // gone with the last descriptor, whatever happens
  file_ = std::make_unique<TFileStream>(fd, name.data());
}

TTileSpool::~TTileSpool() = default;

void TTileSpool::Put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  file_->Seek(end_);
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
  file_->Seek(r.Offset);
  file_->ReadExact(bytes.data(), bytes.size(), "spooled tile");
  return bytes;
}

void TTileSpool::CopyTo(const std::string& name, TStream& out) {
  const TRange r = index_.at(name);
  file_->Seek(r.Offset);
  file_->CopyTo(out, r.Size, "spooled tile");
}

}  // namespace brelo
