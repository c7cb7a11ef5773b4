// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "LibTar/TarArchive.h"
#include "LibTar/TarHeader.h"
#include "LibTar/TarWriter.h"
#include "LibTar/UnpackTar.h"
#include "TestSupport.h"
#include "base/Errors.h"
#include "base/Paths.h"

using namespace brelo;
using namespace brelo::test;

namespace {
std::string Field(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t n) {
  return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
}
}  // namespace

TEST(TarWriter, HeaderFieldsAndBlocks) {
  TMemoryStream archive;
  {
    TTarWriter tar(archive);
    tar.WriteDirectoryEntry("set/", 0, DateTimeFromUnix(1000000000));
    for (std::size_t size : {0u, 512u, 513u}) {
      TMemoryStream data(std::vector<std::uint8_t>(size, 'a'));
      tar.WriteStreamEntry(data, "f" + std::to_string(size), DateTimeFromUnix(1700000000));
    }
  }
  const auto& b = archive.Data();
  // dir header, 0-byte file, 512-byte file + 1 block, 513-byte file + 2 blocks, the two end
  // blocks POSIX asks for.
  ASSERT_EQ(b.size(), 512u * (1 + 1 + 2 + 3 + 2));
  EXPECT_EQ(Field(b, 0, 5), std::string("set/\0", 5));
  EXPECT_EQ(Field(b, 100, 8), std::string(" 40777 \0", 8));
  EXPECT_EQ(Field(b, 108, 8), std::string("     0 \0", 8));
  EXPECT_EQ(Field(b, 136, 12), " 7346545000 ");  // 1000000000 in octal
  EXPECT_EQ(b[156], '5');
  EXPECT_EQ(Field(b, 257, 8), "ustar   ");
  TTarBlock first;
  std::copy_n(b.begin(), 512, first.begin());
  EXPECT_EQ(static_cast<std::uint32_t>(ReadOctal(first.data() + 148, 8)), TarHeaderChecksum(first));
  EXPECT_EQ(Field(b, 512 + 100, 8), std::string("100777 \0", 8));
  EXPECT_EQ(Field(b, 512 + 124, 12), "          0 ");
  EXPECT_EQ(b[512 + 156], '0');
  EXPECT_EQ(Field(b, 1024 + 124, 12), "       1000 ");
  // The second data block of the 513-byte entry holds one byte and 511 zeros.
  const std::size_t last = 512 * 6;
  EXPECT_EQ(b[last], 'a');
  EXPECT_TRUE(std::all_of(b.begin() + last + 1, b.end(), [](std::uint8_t c) { return c == 0; }));
}

TEST(TarArchive, ReadsBackAndStopsAtTheEnd) {
  TMemoryStream archive;
  {
    TTarWriter tar(archive);
    tar.WriteDirectoryEntry("set\\", 0, NowDateTime());
    TMemoryStream a(std::vector<std::uint8_t>(700, 'x')), c(std::vector<std::uint8_t>{'h', 'i'});
    tar.WriteStreamEntry(a, "set/a.jpg", DateTimeFromUnix(86400));
    tar.WriteStreamEntry(c, "b.map", DateTimeFromUnix(0));
  }
  TTarArchive tar(archive);
  TTarDirRec rec;
  ASSERT_TRUE(tar.NextEntry(rec));
  EXPECT_EQ(rec.EntryName, "set\\");
  EXPECT_EQ(rec.EntryType, TTarEntryType::Directory);
  EXPECT_TRUE(rec.HeaderChecksumValid);
  EXPECT_EQ(rec.PermissionBits, kAllPermissions);
  EXPECT_EQ(rec.MagicText, "ustar");
  ASSERT_TRUE(tar.NextEntry(rec));  // skipped without extracting
  EXPECT_EQ(rec.EntrySize, 700);
  EXPECT_EQ(rec.ModifiedTime, 25570.0);
  EXPECT_EQ(rec.HeaderPosition, 512);
  ASSERT_TRUE(tar.NextEntry(rec));
  std::string text;
  tar.ExtractToString(text);
  EXPECT_EQ(text, "hi");
  tar.ExtractToString(text);
  EXPECT_EQ(text, "");  // a second extraction yields nothing
  EXPECT_FALSE(tar.NextEntry(rec));
  tar.Rewind();
  ASSERT_TRUE(tar.NextEntry(rec));
  EXPECT_EQ(rec.EntryName, "set\\");

  // No end block at all: the plain end of the file ends the listing.
  std::vector<std::uint8_t> cut(archive.Data().begin(), archive.Data().end() - 512);
  TMemoryStream noEnd(cut);
  TTarArchive tar2(noEnd);
  int n = 0;
  while (tar2.NextEntry(rec)) ++n;
  EXPECT_EQ(n, 3);
}

TEST(TarArchive, MalformedHeadersAndShortData) {
  TTarBlock block{};
  std::memcpy(block.data(), "x", 1);
  std::memset(block.data() + 124, ' ', 12);  // all-blank size
  block[156] = 'Q';                          // unknown type flag
  TTarDirRec rec;
  DecodeTarHeader(block, rec);
  EXPECT_EQ(rec.EntrySize, 0);
  EXPECT_EQ(rec.EntryType, TTarEntryType::RegularFile);
  EXPECT_FALSE(rec.HeaderChecksumValid);

  // An entry that announces more data than the archive holds.
  TMemoryStream archive;
  {
    TTarWriter tar(archive);
    TMemoryStream data(std::vector<std::uint8_t>(2000, 'z'));
    tar.WriteStreamEntry(data, "big", 0);
  }
  std::vector<std::uint8_t> shortData(archive.Data().begin(), archive.Data().begin() + 1024);
  TMemoryStream cut(shortData);
  TTarArchive tar(cut);
  ASSERT_TRUE(tar.NextEntry(rec));
  TMemoryStream out;
  EXPECT_THROW(tar.ExtractToStream(out), EIoError);
}

TEST(UnpackTar, FolderBesideTheArchiveAndUnsafeNames) {
  TTempDir dir;
  {
    TTarWriter tar(dir.Path("x.tar"));
    tar.WriteDirectoryEntry("set/", 0, NowDateTime());
    TMemoryStream a(std::vector<std::uint8_t>{'1', '2'});
    tar.WriteStreamEntry(a, "set/t.jpg", NowDateTime());
    TMemoryStream b(std::vector<std::uint8_t>{'m'});
    tar.WriteStreamEntry(b, "x.map", NowDateTime());
  }
  bool created = false;
  std::vector<std::string> info;
  ASSERT_NO_THROW(created = UnpackTar(dir.Path("x.tar"), [&](const std::string& s) { info.push_back(s); }));
  EXPECT_TRUE(created);
  EXPECT_EQ(info.front(), "UnTARing " + dir.Path("x.tar") + "...");
  EXPECT_EQ(info.back(), "tar unpacked");
  EXPECT_EQ(ReadText(dir.Path("x/set/t.jpg")), "12");
  EXPECT_EQ(ReadText(dir.Path("x/x.map")), "m");
  ASSERT_NO_THROW(created = UnpackTar(dir.Path("x.tar")));
  EXPECT_FALSE(created);  // the folder is reused

  for (const std::string bad : {"../evil.txt", "/tmp/evil.txt", "set/../../evil.txt", "..\\evil.txt"}) {
    {
      TTarWriter tar(dir.Path("bad.tar"));
      TMemoryStream data(std::vector<std::uint8_t>{'e'});
      tar.WriteStreamEntry(data, bad, NowDateTime());
    }
    std::string error;
    try {
      UnpackTar(dir.Path("bad.tar"));
    } catch (const EFormatError& e) {
      error = e.what();
    }
    EXPECT_NE(error.find("unsafe entry name"), std::string::npos) << bad;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("evil.txt")));
  }
  EXPECT_TRUE(IsSafeEntryName("set/a..b.jpg"));
}

TEST(TarInterop, GnuTarAndPythonListAndExtract) {
  if (!HaveTool("tar") || !HaveTool("python3")) GTEST_SKIP() << "tar or python3 missing";
  TTempDir dir;
  std::filesystem::create_directories(dir.Path("src/set"));
  WriteText(dir.Path("src/set/a.jpg"), std::string(1000, 'a'));
  WriteText(dir.Path("src/m.map"), "map");
  {
    TTarWriter tar(dir.Path("out.tar"));
    tar.WriteDirectoryEntry("set/", 0, NowDateTime());
    tar.WriteFileEntry(dir.Path("src/m.map"), "m.map");
    tar.WriteFileEntry(dir.Path("src/set/a.jpg"), "set\\a.jpg");
  }
  TRunResult list = RunCommand("tar -tvf " + dir.Path("out.tar"));
  EXPECT_EQ(list.Status, 0) << list.Err;
  // The archive ends with two zero blocks: GNU tar has nothing to say of it.
  EXPECT_EQ(list.Err, "");
  TRunResult names = RunCommand("tar -tf " + dir.Path("out.tar"));
  EXPECT_EQ(names.Out, "set/\nm.map\nset/a.jpg\n");
  std::filesystem::create_directories(dir.Path("gnu"));
  EXPECT_EQ(RunCommand("tar -xf " + dir.Path("out.tar") + " -C " + dir.Path("gnu")).Status, 0);
  EXPECT_EQ(ReadText(dir.Path("gnu/set/a.jpg")), std::string(1000, 'a'));
  TRunResult py = RunCommand(
      "python3 -c \"import tarfile,sys; t=tarfile.open(sys.argv[1]); "
      "print([(m.name, m.size, m.isdir()) for m in t.getmembers()]); "
      "t.extractall(sys.argv[2])\" " +
      dir.Path("out.tar") + " " + dir.Path("py"));
  EXPECT_EQ(py.Status, 0) << py.Err;
  EXPECT_EQ(py.Out, "[('set', 0, True), ('m.map', 3, False), ('set/a.jpg', 1000, False)]\n");
  EXPECT_EQ(ReadText(dir.Path("py/m.map")), "map");
}

// Archives of other tools: GNU long names, POSIX extended headers and ustar name prefixes give
// the entries' whole names; no header is ever listed or extracted as a file.
TEST(TarInterop, LongNamesOfGnuPaxAndUstarArchives) {
  if (!HaveTool("tar")) GTEST_SKIP() << "tar missing";
  TTempDir dir;
  const std::string folder(60, 'd'), name = folder + "/" + std::string(70, 'n') + ".txt";
  std::filesystem::create_directories(dir.Path("src/" + folder));
  WriteText(dir.Path("src/" + name), "hello");
  for (const std::string format : {"gnu", "pax", "ustar"}) {
    const std::string archive = dir.Path(format + ".tar");
    ASSERT_EQ(RunCommand("tar --format=" + format + " -cf " + archive + " -C " + dir.Path("src") + " " + folder).Status,
              0);
    TTarArchive tar(archive);
    TTarDirRec rec;
    std::vector<std::string> names;
    while (tar.NextEntry(rec)) {
      names.push_back(rec.EntryName);
      EXPECT_TRUE(rec.HeaderChecksumValid) << format << " " << rec.EntryName;
    }
    EXPECT_EQ(names, (std::vector<std::string>{folder + "/", name})) << format;
    // Unpacked: the one file under its whole name, nothing else.
    ASSERT_TRUE(UnpackTar(archive, nullptr)) << format;
    EXPECT_EQ(ReadText(dir.Path(format + "/" + name)), "hello");
    std::size_t files = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path(format))) files += e.is_regular_file();
    EXPECT_EQ(files, 1u) << format;
    DeleteFolderTree(dir.Path(format));
  }
}
