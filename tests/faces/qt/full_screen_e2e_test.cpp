// The real `quorvel -fs -p DISK` under Xvfb with a player that records how it was
// started: the keys of the full-screen window and the remote's Play key, a second copy
// that ends at once, and disks that come while the program runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "program_under_test.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The window reads the disk again every 5 seconds; a busy machine may deliver a tick a
// little late.
constexpr auto kPoll = 5s;
constexpr auto kPollSlack = 3s;

class FullScreenE2eTest : public testing::ProgramUnderTest {
 protected:
  void SetUp() override {
    ProgramUnderTest::SetUp();
    if (HasFatalFailure()) return;
    plays_ = Dir() / "plays";
    // The player: every start appends "play" and one "arg ..." line per argument.
    player_ = Dir() / "player.sh";
    std::ofstream(player_) << "#!/bin/sh\n{ echo play; for a in \"$@\"; do echo \"arg $a\"; "
                              "done; } >> \"$QUORVEL_E2E_PLAYS\"\n";
    fs::permissions(player_, fs::perms::owner_all);
    ASSERT_TRUE(Quorvelctl({"players", "add", "--name", "Recorder", "--path", player_.string(),
                            "--cmdline", "%f", "--playlist", "2"}));
    ASSERT_TRUE(Quorvelctl({"settings", "set", "DivX Player=Recorder", "DivX Command Line=%f",
                            "DivX (Audio2) Player=Recorder", "DivX (Audio2) Command Line=%f"}));
  }

  testing::ChildProcess StartFullScreen(const std::string& disk,
                                        std::vector<std::string> env = {}) {
    env.push_back("QUORVEL_E2E_PLAYS=" + plays_.string());
    return Start({"-fs", "-p", disk}, env);
  }

  // The starts recorded so far: each the arguments the player got.
  std::vector<std::vector<std::string>> Plays() const {
    std::vector<std::vector<std::string>> plays;
    std::ifstream in(plays_);
    for (std::string line; std::getline(in, line);) {
      if (line == "play") {
        plays.emplace_back();
      } else if (line.rfind("arg ", 0) == 0 && !plays.empty()) {
        plays.back().push_back(line.substr(4));
      }
    }
    return plays;
  }

  // Waits until `count` starts were recorded, at most `limit`.
  bool WaitForPlays(std::size_t count, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Plays().size() < count) {
      if (Clock::now() >= end) return false;
      std::this_thread::sleep_for(50ms);
    }
    return true;
  }

  // A disk folder with two tiny DivX movies, made complete in `staging` and then put at
  // `folder` in one step, as a mounted medium appears.
  static void MakeDisk(const fs::path& staging, const fs::path& folder) {
    fs::create_directories(staging);
    for (const char* name : {"first.avi", "second.avi"}) {
      fs::copy_file(QUORVEL_SOURCE_DIR "/samples/demo-disk/colour-bars.avi", staging / name);
    }
    fs::create_directories(folder.parent_path());
    fs::rename(staging, folder);
  }

  static bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  }

  fs::path plays_;
  fs::path player_;
};

TEST_F(FullScreenE2eTest, KeysAndThePlayKeyStartThePlayerAndASecondCopyEndsAtOnce) {
  const fs::path demo = fs::canonical(QUORVEL_SOURCE_DIR "/samples/demo-disk");
  testing::ChildProcess program = StartFullScreen(demo.string());
  ASSERT_FALSE(FocusWindow("Quorvel Full Screen").empty());

  // The choice list has the focus. Left to the movies, Down to "Test Pattern", Right
  // back to the choices, Enter on "Play".
  Keys({"Left", "Down", "Right", "Return"});
  ASSERT_TRUE(WaitForPlays(1, 10s));
  // P plays the movie list's selection: Left, Down to "Colour Bars", P.
  Keys({"Left", "Down", "p"});
  ASSERT_TRUE(WaitForPlays(2, 10s));
  // The remote's Play key: Down to "Two Languages", Play.
  Keys({"Down", "XF86AudioPlay"});
  ASSERT_TRUE(WaitForPlays(3, 10s));
  using Arguments = std::vector<std::string>;
  EXPECT_EQ(Plays(), (std::vector<Arguments>{{(demo / "test-pattern.avi").string()},
                                             {(demo / "colour-bars.avi").string()},
                                             {(demo / "two-languages.avi").string()}}));

  // A second copy ends at once and silently; the first runs on.
  testing::ChildProcess second = StartFullScreen(demo.string());
  EXPECT_EQ(second.WaitExit(kExitLimit), 0);
  EXPECT_EQ(program.WaitExit(0ms), std::nullopt) << "the first copy still runs";

  // Q ends the program.
  FocusWindow("Quorvel Full Screen");
  Keys({"q"});
  EXPECT_EQ(program.WaitExit(kExitLimit), 0);
  EXPECT_EQ(Plays().size(), 3u);
}

TEST_F(FullScreenE2eTest, AFolderFilledWhileRunningIsShownWithinOnePollAndNotAutoplayed) {
  ASSERT_TRUE(Quorvelctl({"settings", "set", "Autoplay=1"}));
  const fs::path disk = Dir() / "disk";
  testing::ChildProcess program = StartFullScreen(disk.string());
  ASSERT_FALSE(FocusWindow("Quorvel Full Screen").empty());
  // "No Disk": P does nothing.
  Keys({"p"});

  MakeDisk(Dir() / "staging", disk);
  const auto filled = Clock::now();
  std::this_thread::sleep_until(filled + kPoll + kPollSlack);
  EXPECT_TRUE(Plays().empty()) << "a folder on a hard disk is never played by itself";
  // Shown: row 0, "Play all movie files", plays the playlist.
  Keys({"p"});
  ASSERT_TRUE(WaitForPlays(1, 10s));
  ASSERT_EQ(Plays()[0].size(), 1u);
  EXPECT_EQ(fs::path(Plays()[0][0]).filename(), "playlist.m3u8");
  Keys({"q"});
  EXPECT_EQ(program.WaitExit(kExitLimit), 0);
}

TEST_F(FullScreenE2eTest, ADiskPutIntoACdDvdDriveWhileRunningIsPlayedWithinOnePoll) {
  ASSERT_TRUE(Quorvelctl({"settings", "set", "Autoplay=1"}));
  // A machine described by files: one optical drive, sr0 (device 11:0), empty.
  const fs::path machine = Dir() / "machine";
  fs::create_directories(machine / "dev");
  fs::create_directories(machine / "udev");
  std::ofstream(machine / "dev" / "sr0");
  std::ofstream(machine / "fstab");
  const std::string root = "26 1 0:99999 / / rw - ext4 /dev/vda rw\n";
  std::ofstream(machine / "mountinfo") << root;
  const std::string drive = (machine / "dev" / "sr0").string();
  testing::ChildProcess program =
      StartFullScreen(drive, {"QUORVEL_VOLUME_SOURCES=" + machine.string()});
  ASSERT_FALSE(FocusWindow("Quorvel Full Screen").empty());
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(Plays().empty());

  // The medium: its files, its label, then the mount from the drive.
  const fs::path medium = Dir() / "media" / "FILMS";
  MakeDisk(Dir() / "staging", medium);
  std::ofstream(machine / "udev" / "b11:0") << "E:ID_FS_TYPE=iso9660\nE:ID_FS_LABEL_ENC=FILMS\n";
  {
    std::ofstream mounts(machine / "mountinfo.new");
    mounts << root << "100 1 11:0 / " << medium.string() << " rw - iso9660 " << drive << " ro\n";
  }
  fs::rename(machine / "mountinfo.new", machine / "mountinfo");
  const auto inserted = Clock::now();
  ASSERT_TRUE(
      WaitForPlays(1, std::chrono::duration_cast<std::chrono::milliseconds>(kPoll + kPollSlack)))
      << "the new disk was not played within one poll";
  EXPECT_LE(Clock::now() - inserted, kPoll + kPollSlack);
  EXPECT_EQ(fs::path(Plays()[0][0]).filename(), "playlist.m3u8");
  // The same disk at the next poll is not played again.
  std::this_thread::sleep_for(kPoll + 1s);
  EXPECT_EQ(Plays().size(), 1u);
  FocusWindow("Quorvel Full Screen");
  Keys({"q"});
  EXPECT_EQ(program.WaitExit(kExitLimit), 0);
}

// A USB stick as a machine described by files has one: a removable block device (sdb1,
// 8:17) in sysfs and udev's records, mounted under the user's media folder. The stick is
// a real FAT image made with mkfs.vfat and mounted with fusefat, and the test's udev
// record of it lies on the stick itself: it is there exactly while the real mount is,
// and the real mount table's change is the event that the program sees.
TEST_F(FullScreenE2eTest, AStickPluggedInIsShownInsteadOfTheDriveUntilItIsRemoved) {
  if (std::system("command -v fusefat >/dev/null && command -v mkfs.vfat >/dev/null && "
                  "command -v mcopy >/dev/null") != 0) {
    GTEST_SKIP() << "fusefat, dosfstools and mtools are needed (scripts/setup.sh test)";
  }
  ASSERT_TRUE(Quorvelctl(
      {"settings", "set", "Autoplay=1", "Video Player=Recorder", "Video Command Line=%f"}));
  // The machine: optical drive sr0 with a disk of one movie, and the stick's device.
  const fs::path machine = Dir() / "machine";
  for (const char* folder : {"dev", "udev", "sys/dev/block", "sys/devices/usb/sdb/sdb1"}) {
    fs::create_directories(machine / folder);
  }
  std::ofstream(machine / "dev" / "sr0");
  std::ofstream(machine / "fstab");
  std::ofstream(machine / "sys/devices/usb/sdb/removable") << "1\n";
  fs::create_directory_symlink(machine / "sys/devices/usb/sdb/sdb1",
                               machine / "sys/dev/block/8:17");
  const fs::path drive = machine / "dev" / "sr0";
  const fs::path films = Dir() / "media" / "cdrom";
  fs::create_directories(films);
  fs::copy_file(QUORVEL_SOURCE_DIR "/samples/demo-disk/colour-bars.avi", films / "film.avi");
  std::ofstream(machine / "udev" / "b11:0") << "E:ID_FS_TYPE=iso9660\nE:ID_FS_LABEL_ENC=FILMS\n";
  const fs::path point = Dir() / "media" / "user" / "STICK";
  fs::create_directories(point);
  std::ofstream(machine / "mountinfo")
      << "26 1 0:99999 / / rw - ext4 /dev/vda rw\n"
      << "100 1 11:0 / " << films.string() << " ro - iso9660 " << drive.string() << " ro\n"
      << "101 1 8:17 / " << point.string() << " rw - vfat " << (machine / "dev/sdb1").string()
      << " rw\n";
  fs::create_symlink(point / "UDEV.REC", machine / "udev" / "b8:17");

  // The stick: a FAT image with one movie file and the record.
  const fs::path stuff = Dir() / "stick-files";
  fs::create_directories(stuff);
  std::ofstream(stuff / "udev.rec")
      << "E:ID_FS_USAGE=filesystem\nE:ID_FS_TYPE=vfat\n"
         "E:ID_FS_UUID=6A3B-0C14\nE:ID_FS_LABEL=STICK\nE:ID_BUS=usb\n";
  const fs::path image = Dir() / "stick.img";
  const std::string make =
      "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=64x48:rate=10:duration=1 "
      "-c:v mpeg4 '" +
      (stuff / "holiday.mkv").string() + "' && truncate -s 8M '" + image.string() +
      "' && mkfs.vfat -n STICK '" + image.string() + "' >/dev/null && mcopy -i '" + image.string() +
      "' '" + (stuff / "holiday.mkv").string() + "' '" + (stuff / "udev.rec").string() + "' ::";
  ASSERT_EQ(std::system(make.c_str()), 0);

  testing::ChildProcess program = Start({"-fs"}, {"QUORVEL_VOLUME_SOURCES=" + machine.string(),
                                                  "QUORVEL_E2E_PLAYS=" + plays_.string()});
  ASSERT_FALSE(FocusWindow("Quorvel Full Screen").empty());
  std::this_thread::sleep_for(1s);
  ASSERT_TRUE(Plays().empty()) << "the disk that was in at the start is not played";
  // The drive's disk is shown: P plays its movie.
  Keys({"p"});
  ASSERT_TRUE(WaitForPlays(1, 10s));
  EXPECT_EQ(Plays()[0], std::vector<std::string>{(films / "film.avi").string()});

  // Plugged in: within a second the stick's movie is shown, and nothing plays by itself.
  ASSERT_EQ(
      std::system(("fusefat -o rw+ '" + image.string() + "' '" + point.string() + "'").c_str()), 0);
  std::this_thread::sleep_for(900ms);
  Keys({"p"});
  ASSERT_TRUE(WaitForPlays(2, 10s));
  std::this_thread::sleep_for(500ms);
  ASSERT_EQ(Plays().size(), 2u) << "a removable medium never plays by itself";
  ASSERT_EQ(Plays()[1].size(), 1u);
  EXPECT_TRUE(EqualsIgnoringCase(Plays()[1][0], (point / "holiday.mkv").string())) << Plays()[1][0];

  // Removed: within a second the drive again.
  ASSERT_EQ(std::system(("fusermount -u '" + point.string() + "'").c_str()), 0);
  std::this_thread::sleep_for(900ms);
  Keys({"p"});
  ASSERT_TRUE(WaitForPlays(3, 10s));
  EXPECT_EQ(Plays()[2], std::vector<std::string>{(films / "film.avi").string()});
  EXPECT_EQ(Plays().size(), 3u);
  FocusWindow("Quorvel Full Screen");
  Keys({"q"});
  EXPECT_EQ(program.WaitExit(kExitLimit), 0);
}

}  // namespace
}  // namespace quorvel
