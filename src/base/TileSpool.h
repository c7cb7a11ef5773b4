// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Encoded tiles of an export kept in one unnamed temporary file until they are packed, in
// place of a folder of files: creating a file costs more than encoding a tile. A name put
// again replaces the earlier tile, as writing the same file twice would.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Stream.h"

namespace brelo {

class TTileSpool {
 public:
  explicit TTileSpool(const std::string& folder);  // the temporary file lives in this folder
  ~TTileSpool();
  TTileSpool(const TTileSpool&) = delete;
  TTileSpool& operator=(const TTileSpool&) = delete;

  void Put(const std::string& name, const std::vector<std::uint8_t>& bytes);
  // Another name for the bytes of an earlier tile (fillers share one picture).
  void Alias(const std::string& name, const std::string& existing);
  bool Has(const std::string& name) const { return index_.count(name) != 0; }
  // Names in the order they were first put.
  const std::vector<std::string>& Names() const { return order_; }
  std::vector<std::uint8_t> Get(const std::string& name);
  // Appends the tile's bytes to out.
  void CopyTo(const std::string& name, TStream& out);
  std::uint64_t SizeOf(const std::string& name) const { return index_.at(name).Size; }

 private:
  struct TRange {
    std::uint64_t Offset = 0, Size = 0;
  };
  std::unique_ptr<TFileStream> file_;
  std::uint64_t end_ = 0;
  bool atEnd_ = false;  // the file's position is end_, after a put
  std::map<std::string, TRange> index_;
  std::vector<std::string> order_;
};

}  // namespace brelo
