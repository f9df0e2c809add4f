// The players that detection finds on the search path, run for real: with mpv and VLC
// installed, detection proposes both, and each plays a two-movie M3U playlist of the
// demo disk to its end and exits 0 with the command line its record gives, on null
// video and audio outputs.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "disk/disk_info.h"
#include "platform/fake/memory_registry.h"
#include "platform/fake/recording_messages.h"
#include "platform/services.h"
#include "playback/installed_players.h"
#include "playback/player_choice.h"
#include "playback/playlist.h"
#include "playback/process_list.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "windows_rules/windows_command_line.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kDemoDisk =
    fs::path(QUORVEL_TEST_DATA).parent_path().parent_path() / "samples" / "demo-disk";
constexpr auto kPlayLimit = 90s;

// What a test adds to a player's own arguments: outputs that need no screen or sound.
const std::map<std::string, std::vector<std::string>> kNullOutputs = {
    {"mpv", {"--vo=null", "--ao=null"}},
    {"VLC", {"-vv", "-I", "dummy", "-V", "dummy", "-A", "dummy"}},
};

TEST(RealPlayersTest, MpvAndVlcAreFoundAndPlayAListToItsEnd) {
  // The platform's own services: the search path, the files and the volumes.
  RecordingMessages messages;
  const std::unique_ptr<PlatformServices> platform = CreatePlatformServices(messages);
  const Services& services = platform->services;
  MemoryRegistry registry;  // no player of the registry is installed
  std::map<std::string, PlayerRecord> found;
  FindInstalledPlayers(registry, services.processes, {}, [&found](const PlayerRecord& player) {
    found[player.Name] = player;
    return true;
  });
  ASSERT_TRUE(found.count("mpv")) << "mpv is part of the set-up";
  ASSERT_TRUE(found.count("VLC")) << "vlc-bin and vlc-plugin-base are part of the set-up";

  // Two movies of the demo disk, readable by every user (VLC refuses to run as root, so
  // as root it runs as nobody).
  testing::TempDir dir;
  fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
  const fs::path disk = dir.path() / "disk";
  fs::create_directories(disk);
  for (const char* movie : {"colour-bars.avi", "test-pattern.avi"}) {
    fs::copy_file(kDemoDisk / movie, disk / movie);
  }
  fs::permissions(disk, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec |
                            fs::perms::group_read | fs::perms::group_exec);
  Settings settings;
  DiskInfo read;
  read.ReadDisk(disk.string(), settings, services.volumes, services.files);
  ASSERT_EQ(read.MovieCount(), 2u);
  const fs::path home = dir.path() / "home";
  fs::create_directories(home);
  ::chown(home.c_str(), 65534, 65534);

  for (const std::string name : {"mpv", "VLC"}) {
    const PlayerRecord& player = found.at(name);
    EXPECT_EQ(player.Playlist, PlaylistType::M3uPlaylist);
    const std::string list = WritePlaylist(read, (dir.path() / name).string(), player.Playlist,
                                           services.privateFiles, messages);
    ASSERT_FALSE(list.empty()) << (messages.messages.empty() ? "" : messages.messages[0].text);
    ::chmod(list.c_str(), 0644);
    // The program and arguments the processes service would start, with the outputs.
    std::vector<std::string> args =
        SplitCommandLine(ComposeCommandLine(player.AppPath, BuildArguments(player, list)));
    ASSERT_GE(args.size(), 2u);
    EXPECT_EQ(args.back(), list);
    const auto& outputs = kNullOutputs.at(name);
    args.insert(args.begin() + 1, outputs.begin(), outputs.end());
    const fs::path log = dir.path() / (name + ".log");
    std::vector<std::string> command = {"/bin/sh", "-c",
                                        "exec \"$0\" \"$@\" >" + log.string() + " 2>&1"};
    if (::geteuid() == 0 && name == "VLC") {
      command.insert(command.end(),
                     {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    command.insert(command.end(), args.begin(), args.end());
    testing::ChildProcess child(command, {"HOME=" + home.string()});
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.WaitExit(kPlayLimit), 0) << name << ":\n" << testing::ReadFileBytes(log);
    const std::string output = testing::ReadFileBytes(log);
    for (const char* movie : {"colour-bars.avi", "test-pattern.avi"}) {
      const std::string played = name == "mpv" ? "Playing: " + (disk / movie).string()
                                               : "location='" + (disk / movie).string() + "'";
      EXPECT_NE(output.find(played), std::string::npos) << name << " " << movie << ":\n" << output;
    }
    if (name == "mpv") {
      EXPECT_NE(output.find("(End of file)"), std::string::npos) << output;
    } else {
      EXPECT_NE(output.find("end of playlist, exiting"), std::string::npos) << output;
    }
  }
}

}  // namespace
}  // namespace quorvel
