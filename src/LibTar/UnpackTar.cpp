// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibTar/UnpackTar.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "LibTar/TarArchive.h"
#include "base/Errors.h"
#include "base/Paths.h"
#include "base/Platform.h"

namespace brelo {

namespace {

// Every file and folder entry of archive under target (with a trailing "/").
void UnpackInto(const std::string& archive, const std::string& target) {
  TTarArchive tar(archive);
  TTarDirRec rec;
  while (tar.NextEntry(rec)) {
    if (!IsSafeEntryName(rec.EntryName)) throw EFormatError(archive + ": unsafe entry name \"" + rec.EntryName + "\"");
    std::string name = rec.EntryName;
    for (char& c : name)
      if (c == '\\') c = '/';
    if (rec.EntryType == TTarEntryType::Directory) {
      CreateFolder(target + name);
    } else if (rec.EntryType == TTarEntryType::RegularFile || rec.EntryType == TTarEntryType::ContiguousFile) {
      CreateFolder(FolderOf(target + name));
      tar.ExtractToFile(target + name);
    }
    // Links, devices and FIFOs are not files of a tile set: they are left out.
  }
}

}  // namespace

bool IsSafeEntryName(const std::string& name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  if (name.size() > 1 && name[1] == ':') return false;  // a drive letter
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

bool UnpackTar(const std::string& archive, const ProgressSink& info) {
  if (info) info("UnTARing " + archive + "...");
  const std::string target = WithoutExtension(archive) + "/";
  const bool folderCreated = CreateFolder(target);
  // A folder this run made goes again when the run fails; one that was there stays.
  struct TCleanup {
    std::string Folder;
    ~TCleanup() {
      if (!Folder.empty()) DeleteFolderTree(Folder);
    }
  } cleanup{folderCreated ? target : std::string()};
  UnpackInto(archive, target);
  cleanup.Folder.clear();
  if (info) info("tar unpacked");
  return folderCreated;
}

TPrivateUnpack::TPrivateUnpack(const std::string& archive, const std::string& beside, const ProgressSink& info) {
  if (info) info("UnTARing " + archive + "...");
  std::string folder =
      FolderOf(beside) + "." + FileNameOf(archive) + ".brelo-unpack-" + std::to_string(::getpid()) + "-XXXXXX";
  if (!platform::CreateUniqueFolder(folder))
    throw EIoError(archive + ": cannot make a folder to unpack it into beside " + beside + ": " + std::strerror(errno));
  folder_ = folder + "/";
  try {
    UnpackInto(archive, folder_);
  } catch (...) {
    DeleteFolderTree(folder_);
    throw;
  }
  if (info) info("tar unpacked");
}

TPrivateUnpack::~TPrivateUnpack() { DeleteFolderTree(folder_); }

}  // namespace brelo
