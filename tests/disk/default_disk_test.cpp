// The disk a window reads when no disk path is set: the first optical drive, a removable
// medium with movies plugged in while it runs instead, and the drive again once that
// medium is gone.
#include "disk/default_disk.h"

#include <gtest/gtest.h>

#include "app/settings.h"
#include "platform/fake/fake_volumes.h"
#include "support/fake_tree.h"

namespace quorvel {
namespace {

class DefaultDiskTest : public ::testing::Test {
 protected:
  DefaultDiskTest() {
    cd = tree.Folder("cd");
    volumes.AddDrive(cd, kDriveCdRom);
    stick = tree.Folder("stick");
    volumes.AddDrive(stick, kDriveRemovable);
    card = tree.Folder("card");
    volumes.AddDrive(card, kDriveRemovable);
    tree.SparseFile("stick/holiday.mkv", 1000);
    tree.SparseFile("card/clip.mp4", 1000);
  }
  const std::string& Current(DefaultDisk& disk) {
    return disk.Current(settings, volumes, tree.files());
  }
  std::string Root(const std::string& folder) { return volumes.VolumeRoot(folder); }

  testing::FakeTree tree;
  FakeVolumes volumes;
  Settings settings;
  std::string cd, stick, card;
};

TEST_F(DefaultDiskTest, ARemovableMediumWithMoviesIsShownWhileItIsIn) {
  EXPECT_EQ(ResolveDiskPath("", volumes), Root(cd));
  EXPECT_EQ(ResolveDiskPath("/films", volumes), "/films");

  DefaultDisk disk("");
  EXPECT_EQ(Current(disk), Root(cd));
  EXPECT_EQ(disk.Drive(), Root(cd));
  EXPECT_FALSE(disk.ShowsRemovableMedium());

  // A stick with movies comes: it is the disk from the next read on.
  volumes.Insert(stick, "STICK");
  EXPECT_EQ(Current(disk), Root(stick));
  EXPECT_TRUE(disk.ShowsRemovableMedium());
  EXPECT_EQ(disk.Drive(), Root(cd));
  // A card after it wins; taken out, the stick again; the stick out, the drive.
  volumes.Insert(card, "CARD");
  EXPECT_EQ(Current(disk), Root(card));
  volumes.Remove(card);
  EXPECT_EQ(Current(disk), Root(stick));
  volumes.Remove(stick);
  EXPECT_EQ(Current(disk), Root(cd));
  EXPECT_FALSE(disk.ShowsRemovableMedium());

  // A medium without movies leaves the drive shown, until one with movies comes into
  // its slot.
  tree.Remove("stick/holiday.mkv");
  volumes.Insert(stick, "EMPTY");
  EXPECT_EQ(Current(disk), Root(cd));
  EXPECT_EQ(Current(disk), Root(cd));
  tree.SparseFile("stick/later.webm", 1000);
  EXPECT_EQ(Current(disk), Root(cd)) << "the same medium is not read again";
  volumes.Remove(stick);
  volumes.Insert(stick, "FILMS");
  EXPECT_EQ(Current(disk), Root(stick));
}

TEST_F(DefaultDiskTest, MediaThatWereThereAtTheStartAndASetPathStayUnshown) {
  volumes.Insert(stick, "ALWAYS");
  DefaultDisk disk("");
  EXPECT_EQ(Current(disk), Root(cd));
  EXPECT_EQ(Current(disk), Root(cd)) << "a stick that stays in the machine hides nothing";
  // Plugged in again, it is a new medium.
  volumes.Remove(stick);
  EXPECT_EQ(Current(disk), Root(cd));
  volumes.Insert(stick, "ALWAYS");
  EXPECT_EQ(Current(disk), Root(stick));

  DefaultDisk set(cd);
  EXPECT_EQ(Current(set), cd);
  volumes.Insert(card, "CARD");
  EXPECT_EQ(Current(set), cd);
  EXPECT_FALSE(set.ShowsRemovableMedium());

  // No optical drive at all: nothing, until a medium comes.
  FakeVolumes bare;
  bare.AddDrive(stick, kDriveRemovable);
  DefaultDisk none("");
  EXPECT_EQ(none.Current(settings, bare, tree.files()), "");
  bare.Insert(stick, "STICK");
  EXPECT_EQ(none.Current(settings, bare, tree.files()), bare.VolumeRoot(stick));
  EXPECT_TRUE(none.ShowsRemovableMedium());
}

}  // namespace
}  // namespace quorvel
