// SPDX-License-Identifier: GPL-3.0-or-later
// tar create, tar list, tar extract.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>

#include "LibTar/TarArchive.h"
#include "LibTar/TarWriter.h"
#include "LibTar/UnpackTar.h"
#include "base/Text.h"
#include "cli/Commands.h"

namespace brelo::cli {

namespace {

bool SameFile(const std::filesystem::path& a, const std::string& b) {
  std::error_code ec;
  return !b.empty() && std::filesystem::equivalent(a, b, ec);
}

// Adds the folder's contents, names relative to it, sub-folders as "name/" entries. The
// archive being written (and an earlier one of its name) is left out when it lies inside.
void AddFolder(TTarWriter& tar, const std::string& archive, const std::filesystem::path& root,
               const std::filesystem::path& folder) {
  std::vector<std::filesystem::directory_entry> entries(std::filesystem::directory_iterator(folder), {});
  std::sort(entries.begin(), entries.end());
  for (const auto& e : entries) {
    if (SameFile(e.path(), archive) || SameFile(e.path(), tar.FilePath())) continue;
    const std::string name = std::filesystem::relative(e.path(), root).generic_string();
    if (e.is_directory()) {
      tar.WriteDirectoryEntry(name + "/", 0, NowDateTime());
      AddFolder(tar, archive, root, e.path());
    } else if (e.is_regular_file()) {
      tar.WriteFileEntry(e.path().string(), name);
    }
  }
}

const char* TypeName(TTarEntryType t) {
  switch (t) {
    case TTarEntryType::Directory: return "dir ";
    case TTarEntryType::RegularFile: return "file";
    default: return "othr";
  }
}

}  // namespace

void RegisterTarCommands(CLI::App& app) {
  auto* tarCmd = app.add_subcommand("tar", "TAR archives");
  tarCmd->require_subcommand(1);
  {
    auto* cmd = tarCmd->add_subcommand("create", "Pack the contents of FOLDER into ARCHIVE");
    auto archive = std::make_shared<std::string>(), folder = std::make_shared<std::string>();
    cmd->add_option("ARCHIVE", *archive, "archive to write")->required();
    cmd->add_option("FOLDER", *folder, "folder to pack")->required();
    cmd->callback([=] {
      if (!std::filesystem::is_directory(*folder)) throw ECommandFailed(*folder + ": not a folder");
      TTarWriter tar(*archive);
      AddFolder(tar, *archive, *folder, *folder);
      tar.Close();
      std::cout << *archive << " saved.\n";
    });
  }
  {
    auto* cmd = tarCmd->add_subcommand("list", "List the entries of ARCHIVE");
    auto archive = std::make_shared<std::string>();
    cmd->add_option("ARCHIVE", *archive, "archive")->required();
    cmd->callback([=] {
      TTarArchive tar(*archive);
      TTarDirRec rec;
      while (tar.NextEntry(rec))
        std::cout << TypeName(rec.EntryType) << Format(" %12lld ", static_cast<long long>(rec.EntrySize))
                  << rec.EntryName << (rec.HeaderChecksumValid ? "" : "  (bad checksum)") << '\n';
    });
  }
  {
    auto* cmd = tarCmd->add_subcommand("extract", "Unpack ARCHIVE x.tar into the folder x beside it");
    auto archive = std::make_shared<std::string>();
    cmd->add_option("ARCHIVE", *archive, "archive")->required();
    cmd->callback([=] { UnpackTar(*archive, PrintProgress); });
  }
}

}  // namespace brelo::cli
