#include "platform/linux/file_registry.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/registry_values.h"
#include "app/settings.h"
#include "platform/fake/recording_messages.h"
#include "platform/fake/recording_processes.h"
#include "playback/first_start.h"
#include "registry_store/regedit_file.h"
#include "support/temp_dir.h"
#include "support/utf16_text.h"

namespace quorvel {
namespace {

using ::testing::HasSubstr;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class FileRegistryTest : public ::testing::Test {
 protected:
  std::filesystem::path file() const { return dir.path() / "quorvel" / "registry.reg"; }
  std::filesystem::path bad(std::string_view suffix = ".bad") const {
    return file().string() + std::string(suffix);
  }

  TempDir dir;
  RecordingMessages messages;
};

struct StoredValue {
  std::string key;
  std::string name;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
};

TEST_F(FileRegistryTest, EveryValueRoundTripsByteForByte) {
  std::vector<std::uint8_t> everyByte;
  for (int i = 0; i < 256; ++i) everyByte.push_back(static_cast<std::uint8_t>(i));
  std::vector<std::uint8_t> longText(100000, 'L');
  longText.push_back(0);
  const std::string odd = "Odd \"key\" \xe9]";
  const std::vector<StoredValue> values = {
      {"Software\\Ostrell\\Quorvel", "DivX Player", 1,
       Bytes(std::string("a \"q\" \\ \\\\ \"\0", 13))},
      {"Software\\Ostrell\\Quorvel", "High", 1, Bytes(std::string("\x80\xe9\xff\xa0\t end\0", 10))},
      {"Software\\Ostrell\\Quorvel", "Empty text", 1, {0}},
      {"Software\\Ostrell\\Quorvel", "No NUL", 1, Bytes("abc")},
      {"Software\\Ostrell\\Quorvel", "Inner NUL", 1, Bytes(std::string("a\0b\0", 4))},
      {"Software\\Ostrell\\Quorvel", "Line break", 1, Bytes(std::string("one\r\ntwo\0", 9))},
      {"Software\\Ostrell\\Quorvel", "Long", 1, longText},
      {"Software\\Ostrell\\Quorvel", "Number", 4, {0x2a, 0, 0, 0x80}},
      {"Software\\Ostrell\\Quorvel", "Short number", 4, {1, 2}},
      {"Software\\Ostrell\\Quorvel", "Binary", 3, everyByte},
      {"Software\\Ostrell\\Quorvel", "Empty binary", 3, {}},
      {"Software\\Ostrell\\Quorvel", "Multi", 7, Bytes(std::string("a\0b\0\0", 5))},
      {"Software\\Ostrell\\Quorvel", "None", 0, {}},
      {"Software\\Ostrell\\Quorvel", "", 1, Bytes(std::string("default\0", 8))},
      {"Software\\Ostrell\\Quorvel\\" + odd, "\"Name\" \\ \xe9", 4, {1, 0, 0, 0}},
      {"Software\\Ostrell\\Quorvel\\Empty key", "@", 1, {'@', 0}},
  };
  {
    FileRegistry registry(file(), messages);
    for (const auto& value : values) {
      ScopedKey key(registry, registry.CreateKey(kCurrentUser, value.key));
      ASSERT_TRUE(key);
      ASSERT_TRUE(registry.SetValue(key.get(), value.name, static_cast<RegType>(value.type),
                                    value.data.data(),
                                    static_cast<std::uint32_t>(value.data.size())));
      if (value.key.ends_with("Empty key")) {
        ASSERT_TRUE(registry.DeleteValue(key.get(), value.name));
      }
    }
    ScopedKey deep(registry, registry.CreateKey(kCurrentUser, "Software\\Z\\Y\\X"));
  }
  EXPECT_TRUE(messages.messages.empty());

  const std::string text = ReadFileBytes(file());
  KeyTree tree;
  const auto result = ParseRegeditFile(text, tree);
  ASSERT_TRUE(result.ok) << result.line << ": " << result.reason;
  for (const auto& value : values) {
    SCOPED_TRACE(value.key + " / " + value.name);
    const RegNode* node = tree.Find("HKEY_CURRENT_USER\\" + value.key);
    ASSERT_NE(node, nullptr);
    const RegValue* stored = node->FindValue(value.name);
    if (value.key.ends_with("Empty key")) {
      EXPECT_EQ(stored, nullptr);
      continue;
    }
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->name, value.name);
    EXPECT_EQ(stored->type, value.type);
    EXPECT_EQ(stored->data, value.data);
  }
  EXPECT_NE(tree.Find("HKEY_CURRENT_USER\\Software\\Z\\Y\\X"), nullptr);
  EXPECT_EQ(FormatRegeditFile(tree), text) << "writing the read file again changes nothing";
  EXPECT_THAT(text, HasSubstr("\"DivX Player\"=\"a \\\"q\\\" \\\\ \\\\\\\\ \\\"\"\n"));
  EXPECT_THAT(text, HasSubstr("\"High\"=\"\x80\xe9\xff\xa0\t end\"\n"));

  // A second store reads it all back through the registry calls.
  FileRegistry again(file(), messages);
  ScopedKey key(again, again.OpenKey(kCurrentUser, "software\\ostrell\\quorvel"));
  std::vector<std::uint8_t> buffer(everyByte.size());
  ASSERT_TRUE(again.QueryValue(key.get(), "binary", buffer.data(),
                               static_cast<std::uint32_t>(buffer.size())));
  EXPECT_EQ(buffer, everyByte);
  key.Close();
  EXPECT_EQ(ReadFileBytes(file()), text);
}

TEST_F(FileRegistryTest, WritesWhenTheLastKeyClosesAndNeverOpensLocalMachine) {
  FileRegistry registry(file(), messages);
  EXPECT_EQ(registry.OpenKey(kLocalMachine, ""), kNoKey);
  EXPECT_EQ(registry.CreateKey(kLocalMachine, "SOFTWARE\\GNU\\ffdshow"), kNoKey);
  ScopedKey first(registry, registry.CreateKey(kCurrentUser, "Software\\A"));
  ScopedKey second(registry, registry.CreateKey(kCurrentUser, "Software\\B"));
  const std::uint32_t value = 7;
  ASSERT_TRUE(registry.SetValue(second.get(), "v", RegType::Dword, &value, 4));
  second.Close();
  EXPECT_FALSE(std::filesystem::exists(file()));
  first.Close();
  EXPECT_THAT(ReadFileBytes(file()),
              HasSubstr("[HKEY_CURRENT_USER\\Software\\B]\n\"v\"=dword:00000007\n"));
  EXPECT_EQ(std::filesystem::status(file()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(file().parent_path())) {
    entries.push_back(entry.path().filename().string());
  }
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"registry.reg", "registry.reg.lock"}))
      << "no temporary file is left behind";
}

TEST_F(FileRegistryTest, StoresSavingTheSameFileKeepEachOthersChanges) {
  // Three players saved first; a long-lived store (the GUI's) loads them.
  {
    FileRegistry registry(file(), messages);
    Settings settings;
    ASSERT_TRUE(settings.Load(registry));
    for (const char* name : {"A", "B", "C"}) {
      settings.Players.push_back(
          {name, std::string(name) + ".exe", "%f", PlaylistType::NoPlaylist});
    }
    ASSERT_TRUE(settings.Save(registry));
  }
  FileRegistry running(file(), messages);
  Settings gui;
  ASSERT_TRUE(gui.Load(running));
  const auto stored = [&] {
    FileRegistry registry(file(), messages);
    Settings settings;
    EXPECT_TRUE(settings.Load(registry));
    return settings;
  };
  const auto names = [](const Settings& settings) {
    std::vector<std::string> result;
    for (const auto& player : settings.Players) result.push_back(player.Name);
    return result;
  };

  // Another process removes player B (the whole "Players" tree is rebuilt) and changes
  // a value; the running store, whose record still holds B, then saves a change of its
  // own: both changes stay, and B stays removed.
  {
    FileRegistry other(file(), messages);
    Settings changed;
    ASSERT_TRUE(changed.Load(other));
    changed.Players.erase(std::next(changed.Players.begin()));
    changed.DivXPlayer = "set elsewhere";
    ASSERT_TRUE(changed.Save(other));
  }
  gui.VcdPlayer = "set here";
  ASSERT_TRUE(gui.Save(running));
  Settings now = stored();
  EXPECT_EQ(now.DivXPlayer, "set elsewhere");
  EXPECT_EQ(now.VcdPlayer, "set here");
  EXPECT_EQ(names(now), (std::vector<std::string>{"A", "C"}));

  // A player added and a value changed elsewhere survive the next saves of the running
  // store, also one that removes a player of its own.
  {
    FileRegistry other(file(), messages);
    Settings changed;
    ASSERT_TRUE(changed.Load(other));
    changed.Players.push_back({"D", "D.exe", "%f", PlaylistType::AsxPlaylist});
    changed.MpegPlayer = "also elsewhere";
    changed.Theme.ChoiceFg = Rgb(1, 2, 3);
    ASSERT_TRUE(changed.Save(other));
  }
  gui.Theme.LabelFg = Rgb(9, 8, 7);
  ASSERT_TRUE(gui.Save(running));
  gui.Players.erase(gui.Players.begin());  // A
  ASSERT_TRUE(gui.Save(running));
  now = stored();
  EXPECT_EQ(names(now), (std::vector<std::string>{"C", "D"}));
  EXPECT_EQ(now.Players.back().Playlist, PlaylistType::AsxPlaylist);
  EXPECT_EQ(now.MpegPlayer, "also elsewhere");
  EXPECT_EQ(now.Theme.ChoiceFg, Rgb(1, 2, 3));
  EXPECT_EQ(now.Theme.LabelFg, Rgb(9, 8, 7));
  EXPECT_EQ(now.DivXPlayer, "set elsewhere");

  // The same value changed by both: the last save wins. A player removed elsewhere but
  // changed here comes back whole.
  {
    FileRegistry other(file(), messages);
    Settings changed;
    ASSERT_TRUE(changed.Load(other));
    changed.VcdPlayer = "first";
    changed.Players.clear();
    ASSERT_TRUE(changed.Save(other));
  }
  gui.VcdPlayer = "last";
  gui.Players.front().CmdLine = "-changed %f";  // B
  ASSERT_TRUE(gui.Save(running));
  now = stored();
  EXPECT_EQ(now.VcdPlayer, "last");
  EXPECT_EQ(now.Players, (PlayerList{{"B", "B.exe", "-changed %f", PlaylistType::NoPlaylist}}));
  EXPECT_TRUE(messages.messages.empty());

  // Damaged under the running store: set aside, never overwritten, and the keys in
  // memory written anew.
  WriteFileBytes(file(), "REGEDIT4\n\n\"x\"=dword:1\n");
  gui.DivXPlayer = "after the damage";
  ASSERT_TRUE(gui.Save(running));
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_THAT(messages.messages[0].text, HasSubstr("line 3"));
  EXPECT_EQ(ReadFileBytes(bad()), "REGEDIT4\n\n\"x\"=dword:1\n");
  now = stored();
  EXPECT_EQ(now.DivXPlayer, "after the damage");
  EXPECT_EQ(now.VcdPlayer, "last");
  EXPECT_EQ(names(now), (std::vector<std::string>{"B", "C"})) << "the players this store holds";

  // A player renamed in letter case only keeps its key, under the new spelling.
  gui.Players.front().Name = "b";
  ASSERT_TRUE(gui.Save(running));
  EXPECT_EQ(names(stored()), (std::vector<std::string>{"b", "C"}));
}

TEST_F(FileRegistryTest, TheFirstStartsPlayersMergeIntoWhatAnotherProgramSavedMeanwhile) {
  // The program starts on a store without players; before it sets up the players found
  // on the machine, quorvelctl adds a player of its own and sets values.
  FileRegistry program(file(), messages);
  Settings settings;
  ASSERT_TRUE(settings.Load(program));
  {
    FileRegistry quorvelctl(file(), messages);
    ScopedKey main(quorvelctl, quorvelctl.CreateKey(kCurrentUser, kMainKeyPath));
    ASSERT_TRUE(
        SavePlayer(quorvelctl, main.get(), {"Mine", "/opt/mine", "%f", PlaylistType::NoPlaylist}));
    ASSERT_TRUE(WriteNumber(quorvelctl, main.get(), "Autoplay", std::uint32_t{1}));
    ASSERT_TRUE(WriteText(quorvelctl, main.get(), "Mpeg Player", "Mine"));
  }
  RecordingProcesses processes;
  processes.programs = {{"mpv", "/usr/bin/mpv"}};
  ASSERT_TRUE(SetUpPlayersOfNewUser(settings, program, processes));
  ASSERT_TRUE(program.Flush());

  FileRegistry reader(file(), messages);
  Settings stored;
  ASSERT_TRUE(stored.Load(reader));
  std::vector<std::string> names;
  for (const auto& player : stored.Players) names.push_back(player.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Mine", "mpv"}));
  EXPECT_EQ(stored.Autoplay, 1);
  EXPECT_EQ(stored.DivXPlayer, "mpv");
  EXPECT_EQ(stored.DivXAudio2CommandLine, "--fs --keep-open=no --aid=2 %f");
  // The first start's choice fills only what the store still lacked when it merged.
  EXPECT_EQ(stored.MpegPlayer, "Mine");
  EXPECT_TRUE(messages.messages.empty());
}

TEST_F(FileRegistryTest, ImportsAFileExportedByTheWindowsRegistryEditor) {
  const std::string exported =
      ReadFileBytes(std::filesystem::path(QUORVEL_TEST_DATA) / "platform" / "windows_export.reg");
  ASSERT_FALSE(exported.empty());
  WriteFileBytes(file(), exported);

  Settings settings;
  {
    FileRegistry registry(file(), messages);
    ASSERT_TRUE(settings.Load(registry));
  }
  EXPECT_TRUE(messages.messages.empty());
  EXPECT_EQ(ReadFileBytes(file()), exported) << "loading alone writes nothing";
  EXPECT_EQ(settings.FullScreen, 2);
  EXPECT_EQ(settings.Shutdown, 1);
  EXPECT_EQ(settings.ReadMDVD, 0);
  EXPECT_EQ(settings.ReadConf, 1) << "missing values keep their defaults";
  EXPECT_EQ(settings.MinFileSize, 50u);
  EXPECT_EQ(settings.DivXPlayer, "BSPlayer");
  EXPECT_EQ(settings.DivXCommandLine, "-fs -stime=0 \"%f\"");
  EXPECT_EQ(settings.VcdPlayer,
            "Lecteur M\xe9"
            "dia \xab s\xe9ries \xbb");
  EXPECT_EQ(settings.SvcdCommandLine, "C:\\Temp\\");
  EXPECT_EQ(settings.Players,
            (PlayerList{{"BSPlayer", "C:\\Program Files\\Webteh\\BSPlayer\\bsplayer.exe", "-fs %f",
                         PlaylistType::BslPlaylist},
                        {"Zoom Player", "C:\\Program Files\\Zoom Player\\zplayer.exe", "/F \"%f\"",
                         PlaylistType::NoPlaylist}}));
  EXPECT_EQ(settings.Theme.LabelFg, Rgb(255, 255, 0));
  EXPECT_EQ(settings.Theme.MoviesHighBg, Rgb(0x30, 0x20, 0x10));
  EXPECT_EQ(settings.Theme.LabelFont.height, -24);
  EXPECT_EQ(settings.Theme.LabelFont.weight, 400);
  EXPECT_EQ(settings.Theme.LabelFont.italic, 1);
  EXPECT_EQ(settings.Theme.LabelFont.FaceName(), "Tahoma");
  EXPECT_EQ(settings.FfdshowFound, 0) << "HKEY_LOCAL_MACHINE never opens";

  {
    FileRegistry registry(file(), messages);
    ASSERT_TRUE(settings.Save(registry));
  }
  const std::string saved = ReadFileBytes(file());
  EXPECT_THAT(saved,
              HasSubstr("[HKEY_LOCAL_MACHINE\\SOFTWARE\\GNU\\ffdshow]\n\"div3\"=dword:00000001\n"));
  Settings again;
  FileRegistry registry(file(), messages);
  ASSERT_TRUE(again.Load(registry));
  EXPECT_EQ(again.VcdPlayer, settings.VcdPlayer);
  EXPECT_EQ(again.Players, settings.Players);
  EXPECT_EQ(again.Theme, settings.Theme);
  EXPECT_TRUE(messages.messages.empty());
}

using testing::Utf16LeToUtf8;
using testing::Utf8ToUtf16Le;

TEST_F(FileRegistryTest, ImportsAVersion5ExportInUtf16OrUtf8AsWindows1252Texts) {
  const std::string utf16 = ReadFileBytes(std::filesystem::path(QUORVEL_TEST_DATA) / "platform" /
                                          "windows_export_v5.reg");
  ASSERT_EQ(utf16.substr(0, 2), "\xff\xfe");
  const std::string utf8 = Utf16LeToUtf8(utf16.substr(2));
  ASSERT_THAT(utf8, HasSubstr("\"DivX Player\"=\"Lecteur M\xc3\xa9"
                              "dia\"\r\n"));
  const std::vector<std::pair<std::string, std::string>> forms = {
      {"UTF-16LE with byte-order mark", utf16},
      {"UTF-8 with byte-order mark", "\xef\xbb\xbf" + utf8},
      {"UTF-8", utf8},
  };
  for (const auto& [form, bytes] : forms) {
    SCOPED_TRACE(form);
    TempDir own;
    const std::filesystem::path path = own.path() / "registry.reg";
    WriteFileBytes(path, bytes);
    RecordingMessages recorded;
    Settings settings;
    {
      FileRegistry registry(path, recorded);
      ASSERT_TRUE(settings.Load(registry));
      // A multi-string of UTF-16 in the export is held as Windows-1252 strings.
      ScopedKey key(registry, registry.OpenKey(kCurrentUser, "Software\\Ostrell\\Quorvel"));
      char recent[64] = {};
      const std::optional<std::uint32_t> size =
          registry.QueryValue(key.get(), "Recent", recent, sizeof recent);
      ASSERT_TRUE(size);
      EXPECT_EQ(std::string(recent, *size), std::string("C:\\Films\\\xc9t\xe9\0D:\\\0\0", 18));
    }
    ASSERT_TRUE(recorded.messages.empty()) << recorded.messages[0].text;
    EXPECT_EQ(ReadFileBytes(path), bytes) << "loading alone writes nothing";
    EXPECT_EQ(settings.FullScreen, 1);
    EXPECT_EQ(settings.MinFileSize, 64u);
    EXPECT_EQ(settings.DivXPlayer,
              "Lecteur M\xe9"
              "dia");
    EXPECT_EQ(settings.DivXCommandLine, "-fs \"%f\" -prix=5\x80");
    EXPECT_EQ(settings.MpegPlayer, "%ProgramFiles%\\Lecteur \xe9\\lecteur.exe");
    EXPECT_EQ(settings.VcdPlayer, "Zoom Player");
    EXPECT_EQ(settings.SvcdCommandLine, "\xabguillemets\xbb \x91quotes\x92 \x96 \x99");
    EXPECT_EQ(settings.Players, (PlayerList{{"Lecteur M\xe9"
                                             "dia",
                                             "C:\\Programmes\\Lecteur M\xe9"
                                             "dia\\lecteur.exe",
                                             "/plein \"%f\"", PlaylistType::AsxPlaylist}}));
    EXPECT_EQ(settings.Theme.LabelFg, Rgb(255, 255, 0));
    EXPECT_EQ(settings.Theme.LabelFont.FaceName(), "Tahoma");

    // Saved back in the store's own form, Windows-1252 bytes as they are.
    settings.Shutdown = 1;
    {
      FileRegistry registry(path, recorded);
      ASSERT_TRUE(settings.Save(registry));
    }
    const std::string saved = ReadFileBytes(path);
    EXPECT_EQ(saved.substr(0, 9), "REGEDIT4\n");
    EXPECT_THAT(saved, HasSubstr("\"DivX Player\"=\"Lecteur M\xe9"
                                 "dia\"\n"));
    EXPECT_THAT(saved, HasSubstr("[HKEY_LOCAL_MACHINE\\SOFTWARE\\GNU\\ffdshow]\n"));
    EXPECT_TRUE(recorded.messages.empty());
  }

  // A character with no Windows-1252 byte refuses the file, naming the line; the file is
  // set aside whole. Also in a hex(2) text and as a lone UTF-16 surrogate.
  std::string cyrillic = utf8;
  cyrillic.replace(cyrillic.find("Lecteur M\xc3\xa9"
                                 "dia\"\r\n"),
                   14, "Lecteur \xd0\x96\"\r\n");
  std::string expandable = utf8;
  expandable.replace(expandable.find("e9,00,5c,00"), 11, "16,04,5c,00");
  const std::vector<std::tuple<std::string, std::string, std::string>> refused = {
      {"U+0416 in a text", "\xff\xfe" + Utf8ToUtf16Le(cyrillic), "line 6: "},
      {"U+0416 in UTF-8", cyrillic, "line 6: "},
      {"U+0416 in a hex(2) text", "\xff\xfe" + Utf8ToUtf16Le(expandable), "line 8: "},
      {"lone surrogate", utf16.substr(0, 40) + std::string("\x00\xd8", 2) + utf16.substr(40),
       "line 1: "},
      {"odd length", utf16 + "x", ""},
  };
  for (const auto& [what, bytes, line] : refused) {
    SCOPED_TRACE(what);
    TempDir own;
    const std::filesystem::path path = own.path() / "registry.reg";
    WriteFileBytes(path, bytes);
    RecordingMessages recorded;
    Settings settings;
    {
      FileRegistry registry(path, recorded);
      ASSERT_TRUE(settings.Load(registry));
    }
    ASSERT_EQ(recorded.messages.size(), 1u);
    EXPECT_THAT(recorded.messages[0].text, HasSubstr("is damaged (" + line));
    if (what.starts_with("U+0416")) {
      EXPECT_THAT(recorded.messages[0].text, HasSubstr("U+0416 has no Windows-1252"));
    }
    EXPECT_EQ(ReadFileBytes(path.string() + ".bad"), bytes) << "nothing is lost";
    EXPECT_EQ(settings.DivXPlayer, "");
  }
}

TEST_F(FileRegistryTest, DamagedFilesAreSetAsideNeverOverwrittenAndTheStoreStartsEmpty) {
  const std::string good =
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel]\n\"FullScreen\"=dword:"
      "00000001\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"cut short in a line", good.substr(0, good.size() - 5)},
      {"unknown value type", good + "\"x\"=str:abc\n"},
      {"over-long line", good + "\"x\"=\"" + std::string(70000, 'a') + "\"\n"},
      {"value without key", "REGEDIT4\n\"FullScreen\"=dword:00000001\n" + good.substr(9)},
      {"NUL byte", good + std::string("\"x\"=\"a\0b\"\n", 10)},
      {"control byte", good + "\"x\"=\"\x01\"\n"},
      {"bare carriage return", good + "\"x\"=\"a\rb\"\n"},
      {"UTF-16 export", std::string("\xff\xfeW\0i\0n\0\n\0", 10)},
      {"empty", ""},
      {"no key at all", "REGEDIT4\n\n"},
      {"nine-digit dword", good + "\"x\"=dword:000000001\n"},
      {"unknown escape", good + "\"x\"=\"a\\nb\"\n"},
      {"text after closing quote", good + "\"x\"=\"a\" b\n"},
      {"hex garbage", good + "\"x\"=hex:0g\n"},
      {"three-digit hex", good + "\"x\"=hex:012\n"},
      {"hex continued past the end", good + "\"x\"=hex:01,\\\n"},
      {"unknown root", "REGEDIT4\n\n[HKEY_NOWHERE\\A]\n"},
      {"key deletion", good + "[-HKEY_CURRENT_USER\\Software]\n"},
      {"value deletion", good + "\"FullScreen\"=-\n"},
      {"empty key name", "REGEDIT4\n\n[HKEY_CURRENT_USER\\A\\\\B]\n"},
      {"unclosed key", "REGEDIT4\n\n[HKEY_CURRENT_USER\\A\n"},
      {"stray text", good + "FullScreen=1\n"},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    TempDir own;
    const std::filesystem::path path = own.path() / "registry.reg";
    WriteFileBytes(path, bytes);
    const std::string earlierBad = "an earlier damaged file";
    WriteFileBytes(path.string() + ".bad", earlierBad);
    RecordingMessages recorded;
    Settings settings;
    {
      FileRegistry registry(path, recorded);
      EXPECT_EQ(registry.setAside(), path.string() + ".bad.1");
      ASSERT_TRUE(settings.Load(registry));
    }
    ASSERT_EQ(recorded.messages.size(), 1u);
    EXPECT_THAT(recorded.messages[0].text, HasSubstr("registry.reg.bad.1"));
    EXPECT_EQ(ReadFileBytes(path.string() + ".bad.1"), bytes);
    EXPECT_EQ(ReadFileBytes(path.string() + ".bad"), earlierBad);
    EXPECT_EQ(settings.FullScreen, 0);
    // The fresh store written after the load is sound.
    KeyTree tree;
    EXPECT_TRUE(ParseRegeditFile(ReadFileBytes(path), tree).ok);
    FileRegistry reopened(path, recorded);
    EXPECT_EQ(recorded.messages.size(), 1u) << "said once";
  }
}

TEST_F(FileRegistryTest, AStoreFileCutShortAtAnyLengthIsRecognised) {
  Settings settings;
  settings.DivXPlayer = "BSPlayer";
  settings.Players.push_back({"BSPlayer", "C:\\bs.exe", "%f", PlaylistType::BslPlaylist});
  {
    FileRegistry registry(file(), messages);
    ASSERT_TRUE(settings.Load(registry));
    ASSERT_TRUE(settings.Save(registry));
  }
  const std::string text = ReadFileBytes(file());
  for (std::size_t length = 0; length < text.size(); ++length) {
    KeyTree tree;
    EXPECT_FALSE(ParseRegeditFile(std::string_view(text).substr(0, length), tree).ok)
        << "cut at " << length;
  }
}

TEST_F(FileRegistryTest, AStoreThatCannotBeReadOrWrittenIsNeverReplaced) {
  // A folder where the file should be: it cannot be read, and must not be replaced.
  std::filesystem::create_directories(file());
  {
    FileRegistry registry(file(), messages);
    EXPECT_TRUE(registry.readOnly());
    Settings settings;
    EXPECT_TRUE(settings.Load(registry));
    EXPECT_FALSE(registry.Flush());
  }
  ASSERT_EQ(messages.messages.size(), 1u);
  EXPECT_THAT(messages.messages[0].text, HasSubstr("is a folder, not a regular file"));
  EXPECT_TRUE(std::filesystem::is_directory(file()));

  // A file where the folder should be: writing fails and says so once.
  RecordingMessages writeMessages;
  const std::filesystem::path blocked = dir.path() / "plain-file" / "registry.reg";
  WriteFileBytes(dir.path() / "plain-file", "x");
  FileRegistry registry(blocked, writeMessages);
  Settings settings;
  EXPECT_TRUE(settings.Load(registry));
  EXPECT_TRUE(settings.Save(registry));
  EXPECT_FALSE(registry.Flush());
  ASSERT_EQ(writeMessages.messages.size(), 1u);
  EXPECT_THAT(writeMessages.messages[0].text, HasSubstr("could not write"));
}

TEST_F(FileRegistryTest, AStoreThatIsNoRegularFileIsRefusedWithoutBlocking) {
  // A FIFO would hold a plain opening for good. Should one block, the writing end is
  // opened after a few seconds, so that the test fails rather than hangs.
  std::filesystem::create_directories(file().parent_path());
  const std::filesystem::path fifo = dir.path() / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::atomic<bool> done{false};
  std::thread watchdog([&] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    while (!done) {
      const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) ::close(fd);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  struct Case {
    std::string what;
    std::function<void()> make;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"fifo", [&] { std::filesystem::rename(fifo, file()); }, "is a FIFO, not a regular file"},
      {"device", [&] { std::filesystem::create_symlink("/dev/zero", file()); },
       "is a device, not a regular file"},
      {"link to a fifo",
       [&] {
         ASSERT_EQ(::mkfifo((dir.path() / "fifo2").c_str(), 0600), 0);
         std::filesystem::create_symlink("../fifo2", file());
       },
       "is a FIFO, not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(file());
    c.make();
    RecordingMessages seen;
    const auto start = std::chrono::steady_clock::now();
    {
      FileRegistry registry(file(), seen);
      EXPECT_TRUE(registry.readOnly());
      Settings settings;
      EXPECT_TRUE(settings.Load(registry));
      settings.FullScreen = 1;
      EXPECT_TRUE(settings.Save(registry));
      EXPECT_FALSE(registry.Flush());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "it blocked";
    ASSERT_EQ(seen.messages.size(), 1u);
    EXPECT_EQ(seen.messages[0].text, "The settings store " + file().string() + " " + c.says +
                                         ". Quorvel starts with default settings and will not "
                                         "change it.");
    EXPECT_FALSE(std::filesystem::is_regular_file(std::filesystem::symlink_status(file())));
  }
  done = true;
  watchdog.join();
}

TEST_F(FileRegistryTest, AStoreThatIsALinkIsWrittenThroughToItsTargetAndTheLinkStays) {
  const std::filesystem::path config = file().parent_path();
  std::filesystem::create_directories(config);
  std::filesystem::create_directories(dir.path() / "dotfiles" / "quorvel");
  const std::filesystem::path target = dir.path() / "dotfiles" / "quorvel" / "registry.reg";
  auto saveFullScreen = [&](std::int32_t mode) {
    FileRegistry registry(file(), messages);
    Settings settings;
    settings.Load(registry);
    settings.FullScreen = mode;
    EXPECT_TRUE(settings.Save(registry));
    EXPECT_TRUE(registry.Flush());
    EXPECT_FALSE(registry.readOnly());
  };
  auto storedFullScreen = [&](const std::filesystem::path& at) {
    const std::string text = ReadFileBytes(at);
    KeyTree tree;
    EXPECT_TRUE(ParseRegeditFile(text, tree).ok) << at;
    const RegNode* main = tree.Find("HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel");
    const RegValue* value = main != nullptr ? main->FindValue("FullScreen") : nullptr;
    return value != nullptr && value->data.size() == 4 ? static_cast<int>(value->data[0]) : -1;
  };
  auto expectLinkTo = [&](const std::filesystem::path& link, const std::filesystem::path& to) {
    ASSERT_TRUE(std::filesystem::is_symlink(link)) << link << " was replaced";
    EXPECT_EQ(std::filesystem::read_symlink(link), to);
  };

  // A relative link into the dotfiles folder, which holds a store already.
  WriteFileBytes(target,
                 "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel]\n"
                 "\"Shutdown\"=dword:00000001\n");
  std::filesystem::create_symlink("../dotfiles/quorvel/registry.reg", file());
  saveFullScreen(2);
  expectLinkTo(file(), "../dotfiles/quorvel/registry.reg");
  EXPECT_EQ(storedFullScreen(target), 2);
  EXPECT_THAT(ReadFileBytes(target), HasSubstr("\"Shutdown\"=dword:00000001"));
  // Nothing is left beside the link or the target.
  for (const auto& folder : {config, target.parent_path()}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      EXPECT_TRUE(entry.path().filename().string().find(".tmp.") == std::string::npos)
          << entry.path();
    }
  }

  // A chain: an absolute link to a relative one.
  std::filesystem::remove(file());
  const std::filesystem::path middle = dir.path() / "middle.reg";
  std::filesystem::create_symlink("dotfiles/quorvel/registry.reg", middle);
  std::filesystem::create_symlink(middle, file());
  saveFullScreen(3);
  expectLinkTo(file(), middle);
  expectLinkTo(middle, "dotfiles/quorvel/registry.reg");
  EXPECT_EQ(storedFullScreen(target), 3);

  // A link whose file is not there yet, in a folder that is not there either: both are
  // made.
  std::filesystem::remove(file());
  const std::filesystem::path fresh = dir.path() / "new-dotfiles" / "quorvel" / "registry.reg";
  std::filesystem::create_symlink(fresh, file());
  saveFullScreen(1);
  expectLinkTo(file(), fresh);
  EXPECT_EQ(storedFullScreen(fresh), 1);

  // A loop can be neither read nor written; it is said, and nothing is replaced.
  std::filesystem::remove(file());
  std::filesystem::create_symlink("registry.reg", file());
  {
    RecordingMessages seen;
    FileRegistry registry(file(), seen);
    EXPECT_TRUE(registry.readOnly());
    Settings settings;
    settings.FullScreen = 1;
    settings.Save(registry);
    EXPECT_FALSE(registry.Flush());
    ASSERT_EQ(seen.messages.size(), 1u);
    EXPECT_THAT(seen.messages[0].text, HasSubstr("symbolic links"));
  }
  expectLinkTo(file(), "registry.reg");
}

}  // namespace
}  // namespace quorvel
