#include "app/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/ffdshow_switches.h"
#include "platform/fake/memory_registry.h"
#include "platform/fake/recording_messages.h"
#include "windows_rules/little_endian.h"

namespace quorvel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::string_view kMain = "Software\\Ostrell\\Quorvel";
constexpr std::string_view kPlayers = "Software\\Ostrell\\Quorvel\\Players";
constexpr std::string_view kThemes = "Software\\Ostrell\\Quorvel\\Themes";
constexpr std::string_view kFfdshow = "HKEY_LOCAL_MACHINE\\SOFTWARE\\GNU\\ffdshow";

std::vector<std::uint8_t> Dword(std::uint32_t value) {
  const std::array<std::uint8_t, 4> bytes = LittleEndianBytes32(value);
  return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> Sz(std::string_view text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

// A record with every stored field away from its default.
Settings Changed() {
  Settings settings;
  std::uint32_t n = 2;
  for (const auto& setting : kStoredSettings) {
    if (setting.IsText()) {
      settings.*setting.text = std::string(setting.name) + " \"q\" \\ \xe9";
    } else {
      setting.SetNumberBits(settings, n++);
    }
  }
  settings.Players.push_back({"BSPlayer", "C:\\bs\\bsplay.exe", "%f", PlaylistType::BslPlaylist});
  settings.Players.push_back(
      {"Zoom Player", "C:\\zp\\zplayer.exe", "/q %f", PlaylistType::NoPlaylist});
  settings.Theme.LabelFg = Rgb(1, 2, 3);
  settings.Theme.ChoiceFont.height = -31;
  return settings;
}

void ExpectSameStoredFields(const Settings& actual, const Settings& expected) {
  for (const auto& setting : kStoredSettings) {
    SCOPED_TRACE(std::string(setting.name));
    if (setting.IsText()) {
      EXPECT_EQ(actual.*setting.text, expected.*setting.text);
    } else {
      EXPECT_EQ(setting.NumberBits(actual), setting.NumberBits(expected));
    }
  }
  EXPECT_EQ(actual.Players, expected.Players);
  EXPECT_EQ(actual.Theme, expected.Theme);
}

TEST(SettingsLoad, FirstRunCreatesEmptyMainAndPlayersKeysAndKeepsDefaults) {
  MemoryRegistry registry;
  Settings settings;
  EXPECT_TRUE(settings.Load(registry));

  for (const auto& setting : kStoredSettings) {
    SCOPED_TRACE(std::string(setting.name));
    if (setting.IsText()) {
      EXPECT_EQ(settings.*setting.text, "");
    } else {
      const bool one =
          setting.name == "ReadMDVD" || setting.name == "ReadConf" || setting.name == "SubMDVDAdj";
      EXPECT_EQ(setting.NumberBits(settings), one ? 1u : 0u);
    }
  }
  EXPECT_THAT(settings.Players, IsEmpty());
  EXPECT_EQ(settings.Theme, Theme());
  EXPECT_EQ(settings.FfdshowFound, 0);
  EXPECT_THAT(registry.SubKeyNames(kMain), ElementsAre("Players"));
  EXPECT_THAT(registry.ValueNames(kMain), IsEmpty());
  EXPECT_THAT(registry.SubKeyNames(kPlayers), IsEmpty());
  EXPECT_THAT(registry.ValueNames(kPlayers), IsEmpty());
  EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST(SettingsSave, WritesEveryStoredValueInOrderWithItsTypeAndLoadsThemBack) {
  MemoryRegistry registry;
  Settings loaded;
  ASSERT_TRUE(loaded.Load(registry));
  const Settings saved = Changed();
  ASSERT_TRUE(saved.Save(registry));

  std::vector<std::string> names;
  for (const auto& setting : kStoredSettings) names.emplace_back(setting.name);
  EXPECT_EQ(registry.ValueNames(kMain), names);
  EXPECT_EQ(registry.ValueType(kMain, "MinFileSize"), RegType::Dword);
  EXPECT_EQ(registry.Value(kMain, "MinFileSize"), Dword(saved.MinFileSize));
  EXPECT_EQ(registry.ValueType(kMain, "DivX Player"), RegType::Sz);
  EXPECT_EQ(registry.Value(kMain, "DivX Player"), Sz(saved.DivXPlayer));
  EXPECT_THAT(registry.SubKeyNames(kMain), ElementsAre("Players", "Themes"));
  EXPECT_EQ(registry.OpenKeyCount(), 0u);

  Settings again;
  ASSERT_TRUE(again.Load(registry));
  ExpectSameStoredFields(again, saved);
}

// The reading rules: numbers through 4 bytes, texts through 1024, the stored type not
// looked at, a value that does not fit leaving the field as it was.
TEST(SettingsLoad, ReadsValuesByTheirSizeNotTheirType) {
  MemoryRegistry registry;
  registry.PutText(kMain, "DivX Player", std::string(1023, 'a'));
  registry.PutText(kMain, "Mpeg Player", std::string(1024, 'b'));  // 1025 bytes
  registry.Put(kMain, "VCD Player", RegType::Dword, Dword(0x00434241));
  registry.Put(kMain, "SVCD Player", RegType::Binary, {'x', 'y'});  // no NUL at all
  registry.Put(kMain, "FullScreen", RegType::Sz, {'7', 0, 0, 0});
  registry.Put(kMain, "Shutdown", RegType::Binary, Dword(1));
  registry.Put(kMain, "ReadMDVD", RegType::Dword, {0, 0, 0, 0, 0, 0, 0, 0});  // 8 bytes
  registry.Put(kMain, "MinFileSize", RegType::Dword, {0x34, 0x12});           // 2 bytes
  registry.PutDword(kMain, "Autoplay", 0xFFFFFFFF);

  Settings settings;
  settings.MinFileSize = 0xAABBCCDD;
  settings.MpegPlayer = "before";
  ASSERT_TRUE(settings.Load(registry));
  EXPECT_EQ(settings.DivXPlayer, std::string(1023, 'a'));
  EXPECT_EQ(settings.MpegPlayer, "before");
  EXPECT_EQ(settings.VcdPlayer, "ABC");
  EXPECT_EQ(settings.SvcdPlayer, "xy");
  EXPECT_EQ(settings.FullScreen, '7');  // outside 0..3 and still loaded as it is
  EXPECT_EQ(settings.Shutdown, 1);
  EXPECT_EQ(settings.ReadMDVD, 1);
  EXPECT_EQ(settings.MinFileSize, 0xAABB1234u);
  EXPECT_EQ(settings.Autoplay, -1);
}

// A command line too long to be read is no setting the program ever stored: the store
// is damaged. Every such value of one load is reported in a single message, and each
// field keeps what it held.
TEST(SettingsLoad, TextsTooLongToReadAreReportedOnceAsDamaged) {
  MemoryRegistry registry;
  registry.PutText(kMain, "DivX Command Line", std::string(1024, 'c'));
  registry.PutText(kMain, "SVCD Command Line", std::string(5000, 's'));
  registry.PutText(kMain, "Mpeg Command Line", "-fs %f");
  registry.PutText(std::string(kPlayers) + "\\mpv", "AppPath", "/usr/bin/mpv");
  registry.PutText(std::string(kPlayers) + "\\mpv", "CmdLine", std::string(2000, 'm'));
  registry.PutText(std::string(kPlayers) + "\\vlc", "CmdLine", "%f");

  Settings settings;
  settings.DivXCommandLine = "previous";
  RecordingMessages messages;
  ASSERT_TRUE(settings.Load(registry, messages));
  EXPECT_EQ(settings.DivXCommandLine, "previous");
  EXPECT_EQ(settings.SvcdCommandLine, "");
  EXPECT_EQ(settings.MpegCommandLine, "-fs %f");
  EXPECT_THAT(settings.Players,
              ElementsAre(PlayerRecord("mpv", "/usr/bin/mpv", "", PlaylistType::NoPlaylist),
                          PlayerRecord("vlc", "", "%f", PlaylistType::NoPlaylist)));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_EQ(messages.messages[0].text,
            "Damaged settings: these stored values are longer than 1023 bytes and cannot be "
            "read, so each setting keeps its previous value until it is set again:\n"
            "\"DivX Command Line\"\n\"SVCD Command Line\"\n\"CmdLine\" of player \"mpv\"");
  EXPECT_EQ(messages.messages[0].icon, MessageIcon::Warning);

  // Values that are missing or fit are nothing to report.
  MemoryRegistry sound;
  sound.PutText(kMain, "DivX Command Line", std::string(1023, 'c'));
  Settings fresh;
  RecordingMessages none;
  ASSERT_TRUE(fresh.Load(sound, none));
  EXPECT_THAT(none.messages, IsEmpty());
}

TEST(SettingsLoad, MainKeyThatCannotBeOpenedLeavesDefaultsAndSaveWritesNothing) {
  MemoryRegistry registry;
  registry.FailKey(kMain);
  Settings settings;
  EXPECT_FALSE(settings.Load(registry));
  EXPECT_EQ(settings.ReadMDVD, 1);
  EXPECT_FALSE(Changed().Save(registry));
  EXPECT_EQ(registry.SetValueCount(), 0u);
  EXPECT_FALSE(registry.HasKey(kMain));
}

TEST(SettingsLoad, PlayersKeyFailureFailsLoadBeforeFfdshowSoItsValuesAreNeverWritten) {
  MemoryRegistry registry;
  registry.PutDword(kFfdshow, "div3", 1);
  registry.FailKey(kPlayers);
  Settings settings;
  EXPECT_FALSE(settings.Load(registry));
  EXPECT_EQ(settings.FfdshowFound, 0);
  EXPECT_EQ(settings.FfdshowDiv3, 0);

  registry.ClearFailures();
  settings.FfdshowDiv3 = 0;
  // "Players" was never created, so the save stops at the player list.
  EXPECT_FALSE(settings.Save(registry));
  EXPECT_EQ(registry.Value(kFfdshow, "div3"), Dword(1));
  EXPECT_FALSE(registry.Value(kFfdshow, "divx").has_value());
}

TEST(SettingsSave, StopsAtTheFirstFailedStep) {
  // Each failure point, and the last value name that must still have been written.
  struct Case {
    std::string_view failKey;
    std::string_view failValue;  // empty: the key itself fails
    std::size_t writesBefore;    // successful SetValue calls of this save
  };
  const std::vector<Case> cases = {
      {kMain, "FullScreen", 0},
      {kMain, "DivX Player", 11},
      {kMain, "SVCD Command Line", 20},
      {kMain, "Video Command Line", kStoredSettings.size() - 1},
      {kPlayers, "", kStoredSettings.size()},
      {kThemes, "", kStoredSettings.size() + 6},
      {kThemes, "LabelFont", kStoredSettings.size() + 6 + 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.failKey) + " " + std::string(c.failValue));
    MemoryRegistry registry;
    registry.PutDword(kFfdshow, "xvid", 0);
    registry.PutDword(kMain, "LabelFg", 5);  // the earlier layout's theme value
    Settings settings;
    ASSERT_TRUE(settings.Load(registry));
    ASSERT_EQ(settings.FfdshowFound, 1);
    Settings changed = Changed();
    changed.FfdshowFound = 1;
    changed.FfdshowXvid = 1;

    const std::size_t before = registry.SetValueCount();
    if (c.failValue.empty()) {
      registry.FailKey(c.failKey);
    } else {
      registry.FailWrite(c.failKey, c.failValue);
    }
    EXPECT_FALSE(changed.Save(registry));
    EXPECT_EQ(registry.SetValueCount() - before, c.writesBefore);
    EXPECT_EQ(registry.Value(kMain, "LabelFg"), Dword(5)) << "legacy values are kept";
    EXPECT_EQ(registry.Value(kFfdshow, "xvid"), Dword(0)) << "ffdshow is not written";
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
  }
}

TEST(SettingsSave, DivXPlayerWriteFailureLeavesLaterTextsPlayersAndThemeUnwritten) {
  MemoryRegistry registry;
  Settings settings;
  ASSERT_TRUE(settings.Load(registry));
  registry.FailWrite(kMain, "divx player");  // value names ignore case
  EXPECT_FALSE(Changed().Save(registry));
  EXPECT_TRUE(registry.Value(kMain, "Autoplay").has_value());
  EXPECT_FALSE(registry.Value(kMain, "DivX Command Line").has_value());
  EXPECT_THAT(registry.SubKeyNames(kPlayers), IsEmpty());
  EXPECT_FALSE(registry.HasKey(kThemes));
}

TEST(SettingsTheme, EarlierLayoutIsReadFromTheMainKeyAndMovedIntoThemesOnSave) {
  MemoryRegistry registry;
  registry.PutDword(kMain, "LabelFg", Rgb(9, 8, 7));
  registry.PutDword(kMain, "ChoiceHighBg", Rgb(1, 1, 1));
  Settings settings;
  ASSERT_TRUE(settings.Load(registry));
  EXPECT_EQ(settings.Theme.LabelFg, Rgb(9, 8, 7));
  EXPECT_EQ(settings.Theme.ChoiceHighBg, Rgb(1, 1, 1));

  ASSERT_TRUE(settings.Save(registry));
  EXPECT_EQ(registry.ValueNames(kThemes).size(), 13u);
  EXPECT_EQ(registry.Value(kThemes, "LabelFg"), Dword(Rgb(9, 8, 7)));
  EXPECT_EQ(registry.ValueNames(kMain).size(), kStoredSettings.size());

  // With both present, only "Themes" counts.
  registry.PutDword(kMain, "LabelFg", Rgb(200, 200, 200));
  Settings again;
  ASSERT_TRUE(again.Load(registry));
  EXPECT_EQ(again.Theme.LabelFg, Rgb(9, 8, 7));
}

TEST(FfdshowSwitches, AreReadAndWrittenOnlyWhereTheirKeyExists) {
  MemoryRegistry registry;
  Settings settings;
  settings.FfdshowDivx = 5;
  EXPECT_FALSE(LoadFfdshowSwitches(registry, settings));
  EXPECT_EQ(settings.FfdshowFound, 0);
  EXPECT_EQ(settings.FfdshowDivx, 5);
  settings.FfdshowFound = 1;
  EXPECT_FALSE(SaveFfdshowSwitches(registry, settings)) << "the key is never created";
  EXPECT_FALSE(registry.HasKey(kFfdshow));

  registry.PutDword(kFfdshow, "div3", 1);
  registry.PutDword(kFfdshow, "xvid", 1);
  settings = Settings();
  settings.FfdshowDivx = 5;
  EXPECT_TRUE(LoadFfdshowSwitches(registry, settings));
  EXPECT_EQ(settings.FfdshowFound, 1);
  EXPECT_EQ(settings.FfdshowDiv3, 1);
  EXPECT_EQ(settings.FfdshowDivx, 5) << "a missing value leaves its field";
  EXPECT_EQ(settings.FfdshowXvid, 1);

  settings.FfdshowDiv3 = 0;
  registry.FailWrite(kFfdshow, "dx50");
  EXPECT_FALSE(SaveFfdshowSwitches(registry, settings));
  EXPECT_EQ(registry.Value(kFfdshow, "div3"), Dword(0));
  EXPECT_EQ(registry.Value(kFfdshow, "divx"), Dword(5));
  EXPECT_EQ(registry.Value(kFfdshow, "xvid"), Dword(1)) << "nothing after the failed write";

  settings.FfdshowFound = 0;
  settings.FfdshowXvid = 0;
  registry.ClearFailures();
  EXPECT_FALSE(SaveFfdshowSwitches(registry, settings));
  EXPECT_EQ(registry.Value(kFfdshow, "xvid"), Dword(1));
}

TEST(StoredSettings, NamesAreFoundWithoutRegardToCase) {
  ASSERT_NE(FindStoredSetting("divx (audio2) command line"), nullptr);
  EXPECT_EQ(FindStoredSetting("divx (audio2) command line")->name, "DivX (Audio2) Command Line");
  EXPECT_EQ(FindStoredSetting("FfdshowFound"), nullptr);
  EXPECT_EQ(FindStoredSetting("LabelFg"), nullptr);
}

}  // namespace
}  // namespace quorvel
