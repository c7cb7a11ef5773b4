// SPDX-License-Identifier: GPL-3.0-or-later
// Names that are not regular files (a FIFO above all) are refused at once, never opened for
// a read that would wait for ever.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "LibTar/TarArchive.h"
#include "TestSupport.h"
#include "base/Errors.h"
#include "base/Stream.h"
#include "gpx/GpxReader.h"
#include "jnx/FolderScan.h"
#include "jnx/JnxReader.h"
#include "pictures/PictureReader.h"

using namespace brelo;
using namespace brelo::test;

TEST(RegularFiles, FifosAreRefusedByEveryReaderAndSkippedByTheScan) {
  TTempDir dir;
  MakeTestJnx(dir.Path("good.jnx"), {2});
  for (const char* name : {"pipe.jnx", "pipe.gpx", "pipe.tar", "pipe.png", "pipe.jpg", "pipe.bmp"})
    ASSERT_EQ(::mkfifo(dir.Path(name).c_str(), 0600), 0);

  const TFolderScan scan = ScanJnxFolder(dir.Path());
  ASSERT_EQ(scan.Maps.size(), 1u);
  ASSERT_EQ(scan.Unreadable.size(), 1u);
  EXPECT_EQ(scan.Unreadable[0].Reason, dir.Path("pipe.jnx") + ": cannot open: it is a FIFO, not a regular file");

  TJnxMap map;
  EXPECT_THROW(ReadJnx(map, dir.Path("pipe.jnx"), true), EIoError);
  TGpxData gpx;
  EXPECT_THROW(ReadGpx(dir.Path("pipe.gpx"), gpx), EIoError);
  EXPECT_THROW(TTarArchive archive(dir.Path("pipe.tar")), EIoError);
  for (const char* picture : {"pipe.png", "pipe.jpg", "pipe.bmp"})
    EXPECT_THROW(OpenPicture(dir.Path(picture)), EIoError) << picture;
  EXPECT_THROW(TFileStream(dir.Path("pipe.jnx"), TOpenMode::ReadWrite), EIoError);
  EXPECT_THROW(ReadFileBytes("/dev/null"), EIoError);

  // The command-line tool says so and ends.
  const TRunResult r = RunCommand("timeout 10 " + CliPath() + " info " + dir.Path("pipe.jnx"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "brelo-cli: " + dir.Path("pipe.jnx") + ": cannot open: it is a FIFO, not a regular file\n");
}
