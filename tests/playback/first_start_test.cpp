// A new user's first start: the players found on the machine are added and chosen for
// the movie types, with their command lines, and exactly that is stored.

#include "playback/first_start.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/memory_registry.h"
#include "platform/fake/recording_processes.h"
#include "playback/installed_players.h"

namespace quorvel {
namespace {

constexpr std::string_view kMain = "Software\\Ostrell\\Quorvel";

// The per-type settings, as (player, command line) pairs: DivX, DivX (Audio2), MPEG,
// VideoCD, Super-VideoCD, DVD, Blu-ray, Video.
using TypeChoices = std::vector<std::pair<std::string, std::string>>;
TypeChoices Choices(const Settings& s) {
  return {
      {s.DivXPlayer, s.DivXCommandLine},     {s.DivXAudio2Player, s.DivXAudio2CommandLine},
      {s.MpegPlayer, s.MpegCommandLine},     {s.VcdPlayer, s.VcdCommandLine},
      {s.SvcdPlayer, s.SvcdCommandLine},     {s.DvdPlayer, s.DvdCommandLine},
      {s.BlurayPlayer, s.BlurayCommandLine}, {s.VideoPlayer, s.VideoCommandLine},
  };
}

std::vector<std::string> Names(const PlayerList& players) {
  std::vector<std::string> names;
  for (const PlayerRecord& player : players) names.push_back(player.Name);
  return names;
}

class FirstStartTest : public ::testing::Test {
 protected:
  // The programs on the search path, by name.
  void Install(std::initializer_list<const char*> programs) {
    for (const char* program : programs)
      processes.programs[program] = std::string("/usr/bin/") + program;
  }
  // What the store holds, loaded as the next start loads it.
  Settings Stored() {
    Settings stored;
    stored.Load(registry);
    return stored;
  }

  MemoryRegistry registry;
  RecordingProcesses processes;
  Settings settings;
};

TEST_F(FirstStartTest, MpvIsChosenBeforeVlcWithItsCommandLinesAndEveryPlayerFoundIsKept) {
  Install({"vlc", "haruna", "mpv"});
  ASSERT_TRUE(SetUpPlayersOfNewUser(settings, registry, processes));
  // In the order of detection.
  EXPECT_EQ(Names(settings.Players), (std::vector<std::string>{"mpv", "VLC", "Haruna"}));
  EXPECT_EQ(settings.Players.front(), PlayerRecord("mpv", "/usr/bin/mpv", "--fs --keep-open=no %f",
                                                   PlaylistType::M3uPlaylist));
  const std::string mpv = "--fs --keep-open=no %f";
  EXPECT_EQ(Choices(settings), (TypeChoices{{"mpv", mpv},
                                            {"mpv", "--fs --keep-open=no --aid=2 %f"},
                                            {"mpv", mpv},
                                            {"mpv", mpv},
                                            {"mpv", mpv},
                                            {"mpv", "--fs --keep-open=no dvd:// --dvd-device=%f"},
                                            {"mpv", "--fs --keep-open=no bd:// --bluray-device=%f"},
                                            {"mpv", mpv}}));
  // Stored as the pages would store it; nothing else is written.
  const Settings stored = Stored();
  EXPECT_EQ(stored.Players, settings.Players);
  EXPECT_EQ(Choices(stored), Choices(settings));
  EXPECT_EQ(
      registry.ValueNames(kMain),
      (std::vector<std::string>{
          "DivX Player", "DivX Command Line", "DivX (Audio2) Player", "DivX (Audio2) Command Line",
          "Mpeg Player", "Mpeg Command Line", "VCD Player", "VCD Command Line", "SVCD Player",
          "SVCD Command Line", "DVD Player", "DVD Command Line", "Blu-ray Player",
          "Blu-ray Command Line", "Video Player", "Video Command Line"}));

  // The next start finds a player in the store and changes nothing.
  Settings next = Stored();
  processes.programs.clear();
  const std::size_t writes = registry.SetValueCount();
  EXPECT_FALSE(SetUpPlayersOfNewUser(next, registry, processes));
  EXPECT_EQ(registry.SetValueCount(), writes);
  EXPECT_EQ(next.Players, settings.Players);
}

TEST_F(FirstStartTest, VlcAloneGetsItsOwnSecondAudioOptionAndPlayersWithoutOneGetNoAudio2) {
  Install({"vlc"});
  ASSERT_TRUE(SetUpPlayersOfNewUser(settings, registry, processes));
  const std::string vlc = "--intf dummy --fullscreen --no-loop --no-repeat --play-and-exit %f";
  EXPECT_EQ(Choices(settings), (TypeChoices{{"VLC", vlc},
                                            {"VLC",
                                             "--intf dummy --fullscreen --no-loop --no-repeat "
                                             "--play-and-exit "
                                             "--audio-track=1 %f"},
                                            {"VLC", vlc},
                                            {"VLC", vlc},
                                            {"VLC", vlc},
                                            {"VLC",
                                             "--intf dummy --fullscreen --no-loop --no-repeat "
                                             "--play-and-exit dvd://%f"},
                                            {"VLC",
                                             "--intf dummy --fullscreen --no-loop --no-repeat "
                                             "--play-and-exit bluray://%f"},
                                            {"VLC", vlc}}));

  // Neither mpv nor VLC: the first found in the detection order; SMPlayer and Haruna have
  // no option for the second audio stream and take no disk address, so those settings
  // stay empty.
  Settings other;
  MemoryRegistry otherStore;
  RecordingProcesses otherProcesses;
  otherProcesses.programs = {{"haruna", "/usr/bin/haruna"}, {"smplayer", "/usr/bin/smplayer"}};
  ASSERT_TRUE(SetUpPlayersOfNewUser(other, otherStore, otherProcesses));
  EXPECT_EQ(other.DivXPlayer, "SMPlayer");
  EXPECT_EQ(other.DivXAudio2Player, "");
  EXPECT_EQ(other.DivXAudio2CommandLine, "");
  EXPECT_FALSE(otherStore.Value(kMain, "DivX (Audio2) Player").has_value());
  EXPECT_EQ(other.VideoPlayer, "SMPlayer");
  EXPECT_EQ(other.VideoCommandLine, "-fullscreen -close-at-end %f");
  EXPECT_EQ(other.DvdPlayer, "");
  EXPECT_FALSE(otherStore.Value(kMain, "DVD Player").has_value());
  EXPECT_FALSE(otherStore.Value(kMain, "Blu-ray Command Line").has_value());
  // MPlayer after them plays both disks, with the disk as its device option.
  otherProcesses.programs["mplayer"] = "/usr/bin/mplayer";
  Settings withMplayer;
  MemoryRegistry mplayerStore;
  ASSERT_TRUE(SetUpPlayersOfNewUser(withMplayer, mplayerStore, otherProcesses));
  EXPECT_EQ(withMplayer.DivXPlayer, "SMPlayer");
  EXPECT_EQ(withMplayer.DvdPlayer, "MPlayer");
  EXPECT_EQ(withMplayer.DvdCommandLine, "-fs -dvd-device %f dvd://");
  EXPECT_EQ(withMplayer.BlurayCommandLine, "-fs -bluray-device %f br://");

  // A player that the registry names comes before those on the search path, but mpv and
  // VLC are preferred all the same.
  Settings windows;
  MemoryRegistry windowsStore;
  windowsStore.PutText("Software\\BST\\bsplayer", "AppPath", "C:\\BSPlayer\\bsplayer.exe");
  RecordingProcesses windowsProcesses;
  ASSERT_TRUE(SetUpPlayersOfNewUser(windows, windowsStore, windowsProcesses));
  EXPECT_EQ(windows.DivXPlayer, "BSPlayer");
  EXPECT_EQ(windows.DivXCommandLine, "%f");
  EXPECT_EQ(windows.VideoPlayer, "BSPlayer");
  EXPECT_EQ(windows.DvdPlayer, "") << "no disk line is known for BSPlayer";
  windowsProcesses.programs = {{"mpv", "C:\\mpv\\mpv.exe"}};
  Settings both;
  MemoryRegistry bothStore;
  bothStore.PutText("Software\\BST\\bsplayer", "AppPath", "C:\\BSPlayer\\bsplayer.exe");
  ASSERT_TRUE(SetUpPlayersOfNewUser(both, bothStore, windowsProcesses));
  EXPECT_EQ(Names(both.Players), (std::vector<std::string>{"BSPlayer", "mpv"}));
  EXPECT_EQ(both.DivXPlayer, "mpv");
}

TEST_F(FirstStartTest, ValuesTheUserSetStayAndNothingIsDoneWithoutAPlayer) {
  // A store with choices but no player (set by hand, or with quorvelctl before any
  // player was added): each value set stays, only the empty ones are filled.
  registry.PutText(kMain, "DivX Player", "Mine");
  registry.PutText(kMain, "Mpeg Command Line", "--mine %f");
  registry.PutText(kMain, "DVD Command Line", "--fs dvd:// --dvd-device=%f");
  registry.PutText(kMain, "Video Player", "Mine");
  registry.PutDword(kMain, "Autoplay", 1);
  settings.Load(registry);
  Install({"mpv"});
  ASSERT_TRUE(SetUpPlayersOfNewUser(settings, registry, processes));
  const Settings stored = Stored();
  EXPECT_EQ(stored.DivXPlayer, "Mine");
  EXPECT_EQ(stored.DivXCommandLine, "") << "the command line of a player the user chose";
  EXPECT_EQ(stored.MpegPlayer, "mpv");
  EXPECT_EQ(stored.MpegCommandLine, "--mine %f");
  EXPECT_EQ(stored.VcdPlayer, "mpv");
  EXPECT_EQ(stored.DvdPlayer, "mpv");
  EXPECT_EQ(stored.DvdCommandLine, "--fs dvd:// --dvd-device=%f");
  EXPECT_EQ(stored.BlurayCommandLine, "--fs --keep-open=no bd:// --bluray-device=%f");
  EXPECT_EQ(stored.VideoPlayer, "Mine");
  EXPECT_EQ(stored.VideoCommandLine, "");
  EXPECT_EQ(stored.Autoplay, 1);

  // Nothing on the machine: nothing added, nothing written.
  Settings empty;
  MemoryRegistry emptyStore;
  RecordingProcesses none;
  EXPECT_FALSE(SetUpPlayersOfNewUser(empty, emptyStore, none));
  EXPECT_TRUE(empty.Players.empty());
  EXPECT_EQ(emptyStore.SetValueCount(), 0u);
  EXPECT_EQ(empty.DivXPlayer, "");
}

}  // namespace
}  // namespace quorvel
