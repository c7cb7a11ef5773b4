#include "LibTar/UnpackTar.h"

#include "LibTar/TarArchive.h"
#include "jnx/Errors.h"
#include "jnx/Paths.h"

namespace brelo {

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

bool UnpackTar(const std::string& archive, bool& folderCreated, const ProgressSink& info, std::string* error) {
  if (info) info("UnTARing " + archive + "...");
  const std::string target = WithoutExtension(archive) + "/";
  folderCreated = CreateFolder(target);
  try {
    TTarArchive tar(archive);
    TTarDirRec rec;
    while (tar.NextEntry(rec)) {
      if (!IsSafeEntryName(rec.EntryName)) throw EFormatError(archive + ": unsafe entry name \"" + rec.EntryName + "\"");
      std::string name = rec.EntryName;
      for (char& c : name)
        if (c == '\\') c = '/';
      if (rec.EntryType == TTarEntryType::Directory) {
        CreateFolder(target + name);
      } else {
        CreateFolder(FolderOf(target + name));
        tar.ExtractToFile(target + name);
      }
    }
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
  if (info) info("tar unpacked");
  return true;
}

}  // namespace brelo
