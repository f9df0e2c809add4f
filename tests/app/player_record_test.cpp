#include "app/player_record.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/memory_registry.h"

namespace quorvel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::string_view kMain = "Software\\Ostrell\\Quorvel";
constexpr std::string_view kPlayers = "Software\\Ostrell\\Quorvel\\Players";

// The main key held open for the length of a test, as the settings load and save hold it.
class PlayersTest : public ::testing::Test {
 protected:
  PlayerList Load() {
    PlayerList players;
    EXPECT_TRUE(LoadPlayers(registry, main.get(), players));
    return players;
  }

  MemoryRegistry registry;
  ScopedKey main{registry, registry.CreateKey(kCurrentUser, kMain)};
};

TEST_F(PlayersTest, EmptyStoreLoadCreatesAnEmptyPlayersKey) {
  EXPECT_THAT(Load(), IsEmpty());
  EXPECT_TRUE(registry.HasKey(kPlayers));
}

TEST_F(PlayersTest, MissingValuesLoadAsDefaultsAndLoadingAppends) {
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\Zoom Player", "AppPath", "zp.exe");
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\BSPlayer", "CmdLine", "%f");
  PlayerList players{{"Already", "", "", PlaylistType::AsxPlaylist}};
  ASSERT_TRUE(LoadPlayers(registry, main.get(), players));
  EXPECT_THAT(players,
              ElementsAre(PlayerRecord{"Already", "", "", PlaylistType::AsxPlaylist},
                          PlayerRecord{"Zoom Player", "zp.exe", "", PlaylistType::NoPlaylist},
                          PlayerRecord{"BSPlayer", "", "%f", PlaylistType::NoPlaylist}));
}

TEST_F(PlayersTest, SaveRebuildsTheWholeTreeInListOrder) {
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\Removed\\Deeper", "x", "y");
  const PlayerList players = {{"b", "b.exe", "-b %f", PlaylistType::BslPlaylist},
                              {"a", "a.exe", "%f", PlaylistType::M3uPlaylist}};
  ASSERT_TRUE(SavePlayers(registry, main.get(), players));
  EXPECT_THAT(registry.SubKeyNames(kPlayers), ElementsAre("b", "a"));
  EXPECT_EQ(Load(), players);
  EXPECT_EQ(registry.OpenKeyCount(), 1u) << "only the main key is still open";
}

TEST_F(PlayersTest, AFailedAppPathWriteLeavesThatPlayerWithoutLaterValuesOnly) {
  ASSERT_TRUE(registry.CreateKey(main.get(), "Players") != kNoKey);
  registry.FailWrite("Software\\Ostrell\\Quorvel\\Players\\Broken", "AppPath");
  const PlayerList players = {{"Broken", "b.exe", "%f", PlaylistType::AsxPlaylist},
                              {"Fine", "f.exe", "%f", PlaylistType::AsxPlaylist}};
  ASSERT_TRUE(SavePlayers(registry, main.get(), players));
  EXPECT_THAT(registry.ValueNames("Software\\Ostrell\\Quorvel\\Players\\Broken"), IsEmpty());
  EXPECT_THAT(Load(), ElementsAre(PlayerRecord{"Broken", "", "", PlaylistType::NoPlaylist},
                                  players.back()));
}

TEST_F(PlayersTest, NamesThatDifferOnlyInCaseShareOneKey) {
  ASSERT_TRUE(registry.CreateKey(main.get(), "Players") != kNoKey);
  const PlayerList players = {{"MPlayer", "first.exe", "1", PlaylistType::BslPlaylist},
                              {"mplayer", "last.exe", "2", PlaylistType::AsxPlaylist}};
  ASSERT_TRUE(SavePlayers(registry, main.get(), players));
  EXPECT_THAT(Load(),
              ElementsAre(PlayerRecord{"MPlayer", "last.exe", "2", PlaylistType::AsxPlaylist}));
}

TEST_F(PlayersTest, SaveFailsWithoutWritingWhenPlayersCannotBeDeletedOrCreated) {
  const PlayerList players = {{"p", "p.exe", "%f", PlaylistType::NoPlaylist}};
  EXPECT_FALSE(SavePlayers(registry, main.get(), players)) << "no Players key to delete";
  EXPECT_FALSE(registry.HasKey(kPlayers));

  // A sub-key that cannot be deleted keeps the old tree; that is not reported as gone.
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\Old\\Locked", "v", "1");
  registry.FailKey("Software\\Ostrell\\Quorvel\\Players\\Old\\Locked");
  EXPECT_FALSE(DeleteKeyTree(registry, main.get(), "Players"));
  EXPECT_FALSE(SavePlayers(registry, main.get(), players));
  EXPECT_EQ(registry.SetValueCount(), 0u);
}

TEST_F(PlayersTest, APlayerKeyThatCannotBeOpenedIsSkipped) {
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\One", "AppPath", "1");
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\Two", "AppPath", "2");
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\Three", "AppPath", "3");
  registry.FailKey("SOFTWARE\\OSTRELL\\QUORVEL\\PLAYERS\\TWO");
  PlayerList players = Load();
  ASSERT_EQ(players.size(), 2u);
  EXPECT_EQ(players.front().Name, "One");
  EXPECT_EQ(players.back().Name, "Three");
}

TEST_F(PlayersTest, DeleteKeyTreeRemovesEveryLevel) {
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\A\\B\\C", "v", "1");
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\A\\D", "v", "1");
  registry.PutText("Software\\Ostrell\\Quorvel\\Players\\E", "v", "1");
  EXPECT_TRUE(DeleteKeyTree(registry, main.get(), "Players"));
  EXPECT_FALSE(registry.HasKey(kPlayers));
  EXPECT_THAT(registry.SubKeyNames(kMain), IsEmpty());
  EXPECT_FALSE(DeleteKeyTree(registry, main.get(), "Players"));
}

TEST(FindPlayer, MatchesTheFirstExactNameOnly) {
  const PlayerList players = {{"BSPlayer", "1", "", PlaylistType::BslPlaylist},
                              {"BSPlayer", "2", "", PlaylistType::AsxPlaylist}};
  PlayerRecord out{"untouched", "", "", PlaylistType::NoPlaylist};
  EXPECT_FALSE(FindPlayer(players, "bsplayer", out));
  EXPECT_EQ(out.Name, "untouched");
  ASSERT_TRUE(FindPlayer(players, "BSPlayer", out));
  EXPECT_EQ(out, players.front());
}

// The rules every way of adding a player follows (quorvelctl players add, the Players
// page): a player that could not be stored as it is, or never be started, is refused.
TEST(NewPlayerProblem, RefusesWhatCouldNotBeStoredOrStarted) {
  const PlayerList players = {{"BSPlayer", "/opt/bs", "%f", PlaylistType::BslPlaylist}};
  EXPECT_EQ(
      NewPlayerProblem({"mpv", "/usr/bin/mpv", "--fs %f", PlaylistType::M3uPlaylist}, players), "");
  // The start command line puts the path between double quotes: one inside it would end
  // the program name early and start another program, or none.
  EXPECT_EQ(
      NewPlayerProblem({"mpv", "/opt/my \"best\" player", "%f", PlaylistType::NoPlaylist}, players),
      "The player's path \"/opt/my \"best\" player\" holds a double quote; a player "
      "with such a path could never be started.");
  EXPECT_NE(NewPlayerProblem({"bsplayer", "/x", "", PlaylistType::NoPlaylist}, players), "");
  EXPECT_NE(NewPlayerProblem({"a\\b", "/x", "", PlaylistType::NoPlaylist}, players), "");
  EXPECT_NE(NewPlayerProblem({"", "/x", "", PlaylistType::NoPlaylist}, players), "");
  EXPECT_NE(
      NewPlayerProblem({"p", "/x", std::string(1024, 'c'), PlaylistType::NoPlaylist}, players), "");
  EXPECT_EQ(
      NewPlayerProblem({"p", "/x", std::string(1023, 'c'), PlaylistType::NoPlaylist}, players), "");
}

}  // namespace
}  // namespace quorvel
