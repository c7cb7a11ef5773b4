// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/OutlineCommand.h"

#include <sys/stat.h>

#include "base/Errors.h"
#include "base/Paths.h"
#include "base/SafeFile.h"
#include "gpx/OutlineFile.h"

namespace brelo {

namespace {

// Larger than the outlines of any folder a receiver can hold (about 400 bytes a map).
constexpr std::uint64_t kMaxOutlineFileBytes = std::uint64_t(64) << 20;

enum class TPresent { None, Ours, Theirs };

// What stands at path: nothing, brelo's outline file, or anything else (the user's own track, a
// folder, a file that cannot be read).
TPresent PresentFile(const std::string& path, std::string& text) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return TPresent::None;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || std::uint64_t(st.st_size) > kMaxOutlineFileBytes)
    return TPresent::Theirs;
  try {
    const auto bytes = ReadFileBytes(path);
    text.assign(bytes.begin(), bytes.end());
  } catch (const EBreloError&) {
    return TPresent::Theirs;
  }
  return IsBreloOutlineText(text) ? TPresent::Ours : TPresent::Theirs;
}

}  // namespace

TMapOutlineRow OutlineRow(const std::string& path, const TJnxMap& h) {
  return {FileNameOf(WithoutExtension(path)), std::to_string(h.West), std::to_string(h.North), std::to_string(h.East),
          std::to_string(h.South)};
}

TCommandResult WriteFolderOutline(const std::string& folder, const TFolderScan& scan) {
  std::vector<TMapOutlineRow> rows;
  for (const auto& m : scan.Maps) rows.push_back(OutlineRow(m.Path, m.Header));
  const std::string path = FolderPath(folder) + kMapsGpxName;
  const std::string saved = path + " saved (" + std::to_string(rows.size()) + " maps).";
  std::string present;
  try {
    const std::string text = MapsGpxText(rows);
    switch (PresentFile(path, present)) {
      case TPresent::Theirs:
        return Failed(path + " is not an outline file written by brelo: it was left as it is, and the outlines " +
                      "were not written");
      case TPresent::Ours:
        // Every folder scan writes the outlines; unchanged ones are left as they are.
        if (present == text) return Done(saved, path);
        break;
      case TPresent::None: break;
    }
    WriteFileBytes(path, text.data(), text.size());
  } catch (const EIoError& e) {
    return Failed(path + ": cannot write the outlines", e.what());
  } catch (const EBreloError& e) {
    return Failed(e.what());
  }
  return Done(saved, path);
}

std::string TOutlineNotice::Next(const std::string& folder, const TCommandResult& outline) {
  if (outline.Ok) {
    told_.clear();
    return {};
  }
  if (told_ == folder) return {};
  told_ = folder;
  return outline.Text;
}

TCommandResult FolderOutlineCommand(const std::string& folder) {
  TFolderScan scan;
  try {
    scan = ScanJnxFolder(folder);
  } catch (const EBreloError& e) {
    return Failed(e.what());
  }
  TCommandResult result = WriteFolderOutline(folder, scan);
  for (const auto& u : scan.Unreadable) result.Detail += (result.Detail.empty() ? "" : "; ") + u.Reason;
  return result;
}

}  // namespace brelo
