// SPDX-License-Identifier: GPL-3.0-or-later
#include <atomic>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "LibTar/TarArchive.h"
#include "LibTar/TarWriter.h"
#include "TestSupport.h"
#include "base/Errors.h"
#include "base/SafeFile.h"
#include "gpx/GpxWriter.h"

using namespace brelo;
using namespace brelo::test;

namespace {
mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}
std::size_t EntriesIn(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}
}  // namespace

TEST(SafeFile, AFolderInTheWayIsRefusedAndLeftAlone) {
  TTempDir dir;
  std::filesystem::create_directories(dir.Path("out.jnx/inside"));
  try {
    WriteFileBytes(dir.Path("out.jnx"), "x", 1);
    ADD_FAILURE() << "no error";
  } catch (const EIoError& e) {
    EXPECT_NE(std::string(e.what()).find("a folder of that name is in the way"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path("out.jnx/inside")));
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);  // nothing moved aside, no temporary file
}

TEST(SafeFile, ModesFollowTheOldFileOrTheUmask) {
  TTempDir dir;
  const mode_t old = ::umask(027);
  WriteFileBytes(dir.Path("new.txt"), "a", 1);
  EXPECT_EQ(ModeOf(dir.Path("new.txt")), 0640u);
  ::umask(old);
  ::chmod(dir.Path("new.txt").c_str(), 0600);
  WriteFileBytes(dir.Path("new.txt"), "bb", 2);
  EXPECT_EQ(ModeOf(dir.Path("new.txt")), 0600u);
  EXPECT_EQ(ReadText(dir.Path("new.txt")), "bb");
}

// The destination always names a complete file: never missing, never half written.
TEST(SafeFile, ReplacingNeverLeavesTheNameEmpty) {
  TTempDir dir;
  const std::string path = dir.Path("m.jnx");
  const std::string a(4096, 'a'), b(8192, 'b');
  WriteFileBytes(path, a.data(), a.size());
  std::atomic<bool> stop{false};
  std::atomic<int> missing{0}, torn{0};
  std::thread watcher([&] {
    while (!stop) {
      struct stat st {};
      if (::stat(path.c_str(), &st) != 0)
        ++missing;
      else if (st.st_size != 4096 && st.st_size != 8192)
        ++torn;
    }
  });
  for (int i = 0; i < 300; ++i) {
    const std::string& text = i % 2 ? a : b;
    WriteFileBytes(path, text.data(), text.size());
  }
  stop = true;
  watcher.join();
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(SafeFile, TarWriterDiscardsAnArchiveLeftByAnError) {
  TTempDir dir;
  WriteText(dir.Path("x.tar"), "earlier archive");
  try {
    TTarWriter tar(dir.Path("x.tar"));
    TMemoryStream data(std::vector<std::uint8_t>(10, 'd'));
    tar.WriteStreamEntry(data, "a", 0);
    throw EIoError("disk full");
  } catch (const EIoError&) {
  }
  EXPECT_EQ(ReadText(dir.Path("x.tar")), "earlier archive");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
  // A long name is refused instead of being cut to one that another entry may share.
  {
    TTarWriter tar(dir.Path("y.tar"));
    TMemoryStream data(std::vector<std::uint8_t>(1, 'd'));
    EXPECT_NO_THROW(tar.WriteStreamEntry(data, std::string(100, 'n'), 0));
    TMemoryStream more(std::vector<std::uint8_t>(1, 'd'));
    EXPECT_THROW(tar.WriteStreamEntry(more, std::string(101, 'n'), 0), EFormatError);
    tar.Close();
  }
  TTarArchive tar(dir.Path("y.tar"));
  TTarDirRec rec;
  ASSERT_TRUE(tar.NextEntry(rec));
  EXPECT_EQ(rec.EntryName, std::string(100, 'n'));
  EXPECT_FALSE(tar.NextEntry(rec));
}

TEST(SafeFile, GpxWritersKeepTheEarlierFileOnFailure) {
  TTempDir dir;
  WriteText(dir.Path("Maps.gpx"), "earlier");
  // A bound that is not a number fails half way through the file.
  EXPECT_THROW(WriteMapsGpx(dir.Path("Maps.gpx"), {{"a", "1", "2", "3", "4"}, {"b", "x", "2", "3", "4"}}),
               EFormatError);
  EXPECT_EQ(ReadText(dir.Path("Maps.gpx")), "earlier");
  std::filesystem::create_directories(dir.Path("t.gpx"));
  try {
    WriteTrackGpx(dir.Path("t.gpx"), {}, -1);
    ADD_FAILURE() << "no error";
  } catch (const EIoError& e) {
    EXPECT_NE(std::string(e.what()).find("in the way"), std::string::npos) << e.what();
  }
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

// The size comes from the file system: buffered writes count, and asking moves nothing.
TEST(TFileStream, SizeCountsBufferedWritesAndKeepsThePosition) {
  TTempDir dir;
  TFileStream f(dir.Path("s.bin"), TOpenMode::Create);
  f.Write("abcdefghij", 10);
  EXPECT_EQ(f.Size(), 10u);
  EXPECT_EQ(f.Position(), 10u);
  f.Seek(2);
  char two[2] = {};
  ASSERT_EQ(f.Read(two, 2), 2u);
  EXPECT_EQ(std::string(two, 2), "cd");
  EXPECT_EQ(f.Size(), 10u);
  EXPECT_EQ(f.Position(), 4u);
  f.Write("XY", 2);  // a write straight after a read
  f.Seek(20);
  f.Write("z", 1);
  EXPECT_EQ(f.Size(), 21u);
  f.Seek(0);
  char all[21] = {};
  ASSERT_EQ(f.Read(all, 21), 21u);
  EXPECT_EQ(std::string(all, 6), "abcdXY");
  EXPECT_EQ(all[20], 'z');
}
