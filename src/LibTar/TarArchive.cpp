#include "LibTar/TarArchive.h"

#include "LibTar/TarHeader.h"
#include "base/Errors.h"
#include "base/SafeFile.h"

namespace brelo {

namespace {
std::uint64_t RoundUpToBlock(std::uint64_t n) { return (n + kTarBlockSize - 1) / kTarBlockSize * kTarBlockSize; }

bool HasData(TTarEntryType t) {
  switch (t) {
    case TTarEntryType::HardLink:
    case TTarEntryType::SymbolicLink:
    case TTarEntryType::Directory:
    case TTarEntryType::Fifo:
    case TTarEntryType::VolumeHeader: return false;
    default: return true;
  }
}
}  // namespace

TTarArchive::TTarArchive(const std::string& path)
    : owned_(std::make_unique<TFileStream>(path, TOpenMode::Read)), in_(owned_.get()) {
  Rewind();
}

TTarArchive::TTarArchive(TStream& stream) : in_(&stream) { Rewind(); }

void TTarArchive::Rewind() {
  in_->Seek(0);
  remaining_ = 0;
  dataEnd_ = 0;
}

void TTarArchive::SkipPadding() {
  if (dataEnd_ > in_->Position()) in_->Seek(dataEnd_);
  remaining_ = 0;
}

bool TTarArchive::NextEntry(TTarDirRec& rec) {
  if (remaining_ > 0) SkipPadding();
  const std::uint64_t position = in_->Position();
  TTarBlock block;
  if (in_->Read(block.data(), block.size()) != block.size() || block[0] == 0) return false;
  DecodeTarHeader(block, rec);
  rec.HeaderPosition = static_cast<std::int64_t>(position);
  remaining_ = HasData(rec.EntryType) && rec.EntrySize > 0 ? static_cast<std::uint64_t>(rec.EntrySize) : 0;
  dataEnd_ = in_->Position() + RoundUpToBlock(remaining_);
  return true;
}

void TTarArchive::ExtractToStream(TStream& dest) {
  if (remaining_ == 0) return;
  const std::uint64_t available = in_->Size();
  const std::uint64_t here = in_->Position();
  if (here + remaining_ > available)
    throw EIoError("archive entry data cut short at offset " + std::to_string(here) + ": " +
                   std::to_string(remaining_) + " bytes announced, " + std::to_string(available - here) + " present");
  in_->CopyTo(dest, remaining_, "archive entry data");
  SkipPadding();
}

void TTarArchive::ExtractToFile(const std::string& path) {
  TSafeFile file(path);
  ExtractToStream(file.Stream());
  file.Commit();
}

void TTarArchive::ExtractToString(std::string& text) {
  TMemoryStream buffer;
  ExtractToStream(buffer);
  text.assign(buffer.Data().begin(), buffer.Data().end());
}

}  // namespace brelo
