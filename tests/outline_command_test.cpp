// SPDX-License-Identifier: GPL-3.0-or-later
// The folder's Maps.gpx: written and replaced when it is brelo's, never when it is the user's.
#include <filesystem>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "commands/OutlineCommand.h"
#include "gpx/GpxWriter.h"

using namespace brelo;
using namespace brelo::test;

TEST(FolderOutline, WrittenOverItsOwnAndNeverOverTheUsers) {
  TTempDir dir;
  MakeTestJnx(dir.Path("a.jnx"), {1});
  const std::string gpx = dir.Path("Maps.gpx");
  TCommandResult r = FolderOutlineCommand(dir.Path());
  ASSERT_TRUE(r.Ok) << r.Text;
  EXPECT_EQ(r.Text, gpx + " saved (1 maps).");
  // Its own file is replaced when the maps change.
  const std::string one = ReadText(gpx);
  MakeTestJnx(dir.Path("b.jnx"), {1});
  ASSERT_TRUE(FolderOutlineCommand(dir.Path()).Ok);
  EXPECT_NE(ReadText(gpx), one);
  EXPECT_EQ(ReadText(gpx), MapsGpxText({OutlineRow(dir.Path("a.jnx"), LoadJnx(dir.Path("a.jnx"))),
                                        OutlineRow(dir.Path("b.jnx"), LoadJnx(dir.Path("b.jnx")))}));
  // The user's own track of that name stays byte for byte, and the command says why it failed.
  const std::string track = "<?xml version=\"1.0\"?>\r\n<gpx creator=\"me\"><trk><name>walk</name></trk></gpx>\r\n";
  WriteText(gpx, track);
  r = FolderOutlineCommand(dir.Path());
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Text, gpx +
                        " is not an outline file written by brelo: it was left as it is, and the outlines were "
                        "not written");
  EXPECT_EQ(ReadText(gpx), track);
  // Nor is a folder of that name touched.
  std::filesystem::remove(gpx);
  std::filesystem::create_directories(dir.Path("Maps.gpx/inside"));
  EXPECT_FALSE(FolderOutlineCommand(dir.Path()).Ok);
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path("Maps.gpx/inside")));
}

// A folder that takes no file (a card mounted read-only; root ignores permission bits): the
// outlines "cannot write", which is not a map that was not read.
TEST(FolderOutline, ReadOnlyFolderCannotWrite) {
  TTempDir dir;
  const std::string card = dir.Path("card");
  std::filesystem::create_directory(card);
  if (RunCommand("mount -t tmpfs -o size=1m tmpfs " + card).Status != 0)
    GTEST_SKIP() << "a tmpfs cannot be mounted here (not root?)";
  struct TUnmount {
    std::string Path;
    ~TUnmount() { (void)RunCommand("umount " + Path); }
  } unmount{card};
  MakeTestJnx(card + "/a.jnx", {1});
  ASSERT_EQ(RunCommand("mount -o remount,ro " + card).Status, 0);
  const TCommandResult r = FolderOutlineCommand(card);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Text, card + "/Maps.gpx: cannot write the outlines");
  EXPECT_NE(r.Detail.find("Read-only file system"), std::string::npos) << r.Detail;
}

// The window's information line tells a folder's outline failure once, not at every scan.
TEST(FolderOutline, NoticeOncePerFolder) {
  TOutlineNotice notice;
  const TCommandResult kept = Failed("x/Maps.gpx is not an outline file"), written = Done("saved");
  EXPECT_EQ(notice.Next("x/", kept), kept.Text);
  EXPECT_EQ(notice.Next("x/", kept), "");
  EXPECT_EQ(notice.Next("y/", kept), kept.Text);  // another folder
  EXPECT_EQ(notice.Next("y/", written), "");
  EXPECT_EQ(notice.Next("y/", kept), kept.Text);  // failing again after it was written
}
