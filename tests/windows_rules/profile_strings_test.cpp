#include "windows_rules/profile_strings.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel {
namespace {

using namespace std::string_literals;
constexpr std::size_t kBuffer = 1024;

TEST(ProfileStrings, ListsSectionsAndKeysInFileOrder) {
  const ProfileStrings profile(
      "; leading comment\r\n"
      "orphan=before any section\r\n"
      "[Micro DVD Ini File]\r\n"
      "  [ MAIN ]  \r\n"
      "Title=Heat\r\n"
      "bare key\r\n"
      "=no name\r\n"
      ";Hidden=1\r\n"
      "[Movies]\n"
      "Alien=alien.avi\n"
      "Aliens=cd2\\aliens.avi\n"
      "alien=duplicate\n");
  EXPECT_EQ(profile.Get(std::nullopt, std::nullopt, "", kBuffer),
            "Micro DVD Ini File\0MAIN\0Movies\0"s);
  EXPECT_EQ(profile.Get("main", std::nullopt, "", kBuffer), "Title\0bare key\0"s);
  EXPECT_EQ(profile.Get("MOVIES", std::nullopt, "", kBuffer), "Alien\0Aliens\0alien\0"s);
  EXPECT_EQ(ProfileStrings::SplitNameList(profile.Get("Movies", std::nullopt, "", kBuffer)),
            (std::vector<std::string>{"Alien", "Aliens", "alien"}));
  // The first key of a name answers, whatever case is asked for.
  EXPECT_EQ(profile.Get("movies", "ALIEN", "", kBuffer), "alien.avi");
  EXPECT_EQ(profile.Get("Movies", "Aliens", "", kBuffer), "cd2\\aliens.avi");
  EXPECT_EQ(profile.Get("MAIN", "bare key", "x", kBuffer), "");
  EXPECT_EQ(profile.Get("MAIN", "Missing", "default", kBuffer), "default");
  EXPECT_EQ(profile.Get("Nowhere", "Title", "0", kBuffer), "0");
  EXPECT_EQ(profile.Get("Nowhere", std::nullopt, "", kBuffer), "");
  EXPECT_EQ(ProfileStrings("no sections at all").Get(std::nullopt, std::nullopt, "", kBuffer), "");
}

TEST(ProfileStrings, TrimsValuesAndOnePairOfQuotes) {
  const ProfileStrings profile(
      "[s]\n"
      "a =  spaced value \t\r\n"
      "b=\"quoted \"\n"
      "c='single'\n"
      "d=\"\"twice\"\"\n"
      "e=\"unbalanced\n"
      "f=\"mixed'\n"
      "g=x=y\n"
      "h=\" \"\n"
      "i=cut\0here\n"s);
  EXPECT_EQ(profile.Get("s", "a", "", kBuffer), "spaced value");
  EXPECT_EQ(profile.Get("s", "b", "", kBuffer), "quoted ");
  EXPECT_EQ(profile.Get("s", "c", "", kBuffer), "single");
  EXPECT_EQ(profile.Get("s", "d", "", kBuffer), "\"twice\"");
  EXPECT_EQ(profile.Get("s", "e", "", kBuffer), "\"unbalanced");
  EXPECT_EQ(profile.Get("s", "f", "", kBuffer), "\"mixed'");
  EXPECT_EQ(profile.Get("s", "g", "", kBuffer), "x=y");
  EXPECT_EQ(profile.Get("s", "h", "", kBuffer), " ");
  EXPECT_EQ(profile.Get("s", "i", "", kBuffer), "cut");
}

TEST(ProfileStrings, CutsAnswersToTheBuffer) {
  std::string text = "[s]\nlong=" + std::string(2000, 'v') + "\n";
  // 120 names of 9 bytes and their NULs need 1201 bytes with the list's final NUL.
  std::string keys = "[k]\n";
  for (int i = 0; i < 120; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "key%06d", i);
    keys += std::string(name) + "=" + std::to_string(i) + "\n";
  }
  const ProfileStrings profile(text + keys);
  EXPECT_EQ(profile.Get("s", "long", "", kBuffer), std::string(1023, 'v'));
  EXPECT_EQ(profile.Get("s", "long", "", 1), "");
  EXPECT_EQ(profile.Get("s", "long", "", 0), "");
  EXPECT_EQ(profile.Get("s", "none", "default", 4), "def");

  const std::string list = profile.Get("k", std::nullopt, "", kBuffer);
  ASSERT_EQ(list.size(), 1022u);
  const std::vector<std::string> names = ProfileStrings::SplitNameList(list);
  ASSERT_EQ(names.size(), 103u);
  EXPECT_EQ(names[101], "key000101");
  // The last name is cut short, and looking it up finds nothing.
  EXPECT_EQ(names[102], "ke");
  EXPECT_EQ(profile.Get("k", names[102], "", kBuffer), "");
  // A list that just fits keeps every name; one byte less cuts it.
  EXPECT_EQ(profile.Get("k", std::nullopt, "", 1201).size(), 1200u);
  EXPECT_EQ(profile.Get("k", std::nullopt, "", 1200).size(), 1198u);
}

TEST(ProfileStrings, LineEnds) {
  // A lone carriage return ends no line: the whole text is one section line whose
  // name ends at its last closing bracket, and the section holds no keys.
  const ProfileStrings crOnly("[Movies]\rA=a.avi\r");
  EXPECT_EQ(crOnly.Get(std::nullopt, std::nullopt, "", kBuffer), "Movies\0"s);
  EXPECT_EQ(crOnly.Get("Movies", std::nullopt, "", kBuffer), "");
  EXPECT_EQ(crOnly.Get("Movies", "A", "", kBuffer), "");
  const ProfileStrings mixed("[a]\r\nx=1\r\n[b]\ny=2");
  EXPECT_EQ(mixed.Get("a", "x", "", kBuffer), "1");
  EXPECT_EQ(mixed.Get("b", "y", "", kBuffer), "2");
  // A missing closing bracket takes the rest of the line as the name.
  EXPECT_EQ(ProfileStrings("[open\nk=v").Get("open", "k", "", kBuffer), "v");
}

}  // namespace
}  // namespace quorvel
