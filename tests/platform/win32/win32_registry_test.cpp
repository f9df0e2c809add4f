// The settings store on the real registry: the values land with the names and types
// other tools see, and registry files move between the Windows registry and the
// store file of the Linux build without a change.
#include "platform/win32/win32_registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "app/settings.h"
#include "registry_store/key_tree_registry.h"
#include "registry_store/regedit_file.h"
#include "support/temp_dir.h"
#include "win32_test_support.h"

namespace quorvel {
namespace {

using testing::DeleteRegistryTree;
using testing::DumpRegistry;
using testing::RegistryDump;
using testing::RunProgram;
using testing::WinPath;

constexpr const char* kMainKey = "Software\\Ostrell\\Quorvel";
constexpr const char* kMainKeyFull = "HKEY_CURRENT_USER\\Software\\Ostrell\\Quorvel";

// The store the Linux build keeps in its file, here in memory, with its tree in view.
class TreeRegistry final : public KeyTreeRegistry {
 public:
  using KeyTreeRegistry::tree;
};

void DumpNode(const RegNode& node, const std::string& path, RegistryDump& dump) {
  for (const RegValue& value : node.values) {
    dump[testing::Upper(path + "|" + value.name)] = {value.type, value.data};
  }
  for (const RegNode& child : node.children) {
    DumpNode(child, path.empty() ? child.name : path + "\\" + child.name, dump);
  }
}

RegistryDump DumpTree(const KeyTree& tree, const std::string& keyPath) {
  RegistryDump dump;
  if (const RegNode* node = tree.Find(keyPath)) DumpNode(*node, "", dump);
  return dump;
}

// Saves `settings` into a store, loading first as the program's start does (the load
// makes the keys a save expects).
bool SaveFresh(const Settings& settings, Registry& registry) {
  Settings start;
  return start.Load(registry) && settings.Save(registry);
}

// Settings that use every kind of value: numbers, texts with blanks, quotes,
// backslashes and Windows-1252 letters, players of every playlist type, a changed theme.
Settings Sample() {
  Settings settings;
  settings.FullScreen = 3;
  settings.Shutdown = 1;
  settings.CloseLaunch = 1;
  settings.MinFileSize = 700;
  settings.Autoplay = 1;
  settings.ReadMDVD = 0;
  settings.DivXPlayer = "BSPlayer";
  settings.DivXCommandLine = "-fs \"%f\"";
  settings.MpegPlayer = "Caf\xE9 Player";
  settings.MpegCommandLine = "%f";
  settings.VcdCommandLine = "C:\\Program Files\\x \\\"y\\\"";
  settings.Players = {
      {"BSPlayer", "C:\\Program Files\\BSPlayer\\bsplayer.exe", "-fs %f",
       PlaylistType::BslPlaylist},
      {"Caf\xE9 Player", "D:\\players\\caf\xE9.exe", "%f", PlaylistType::AsxPlaylist},
      {"Zoom Player", "C:\\zp\\zplayer.exe", "", PlaylistType::NoPlaylist},
  };
  settings.Theme.LabelFg = 0x00123456;
  settings.Theme.MoviesFont.height = -31;
  return settings;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteRegistryTree(HKEY_CURRENT_USER, kMainKey); }
  void TearDown() override { DeleteRegistryTree(HKEY_CURRENT_USER, kMainKey); }

  // What the Linux build's store holds after saving `settings`.
  static RegistryDump FileStoreDump(const Settings& settings) {
    TreeRegistry store;
    EXPECT_TRUE(SaveFresh(settings, store));
    return DumpTree(store.tree(), kMainKeyFull);
  }

  Win32Registry registry_;
  quorvel::testing::TempDir folder_;
};

TEST_F(Win32RegistryTest, SavedSettingsShowInRegQueryWithTheirNamesAndTypes) {
  const Settings saved = Sample();
  ASSERT_TRUE(SaveFresh(saved, registry_));

  const auto run = RunProgram("reg query \"HKCU\\Software\\Ostrell\\Quorvel\" /s");
  ASSERT_TRUE(run.started);
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  // "HKEY_CURRENT_USER\...\Players\BSPlayer" heads the values of a key; a value line is
  // "    NAME    REG_TYPE    DATA".
  std::map<std::string, std::string> types;  // "SUBKEY|NAME" -> type, SUBKEY below the main key
  std::string key;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("HKEY_CURRENT_USER\\", 0) == 0) {
      key = line.size() > std::string(kMainKeyFull).size()
                ? line.substr(std::string(kMainKeyFull).size() + 1)
                : "";
      continue;
    }
    const std::size_t type = line.find("    REG_");
    if (line.rfind("    ", 0) != 0 || type == std::string::npos) continue;
    const std::string name = line.substr(4, type - 4);
    const std::string typeName = line.substr(type + 4, line.find("    ", type + 4) - type - 4);
    types[testing::Upper(key + "|" + name)] = typeName;
  }

  std::map<std::string, std::string> expected;
  for (const StoredSetting& setting : kStoredSettings) {
    expected[testing::Upper("|" + std::string(setting.name))] =
        setting.IsText() ? "REG_SZ" : "REG_DWORD";
  }
  for (const PlayerRecord& player : saved.Players) {
    // reg writes its output in the OEM code page.
    std::string oemName(player.Name.size(), '\0');
    ::CharToOemBuffA(player.Name.c_str(), oemName.data(), static_cast<DWORD>(oemName.size()));
    const std::string at = "PLAYERS\\" + testing::Upper(oemName) + "|";
    expected[at + "APPPATH"] = "REG_SZ";
    expected[at + "CMDLINE"] = "REG_SZ";
    expected[at + "PLAYLIST"] = "REG_DWORD";
  }
  for (const char* colour :
       {"LabelFg", "LabelBg", "MoviesFg", "MoviesBg", "MoviesHighFg", "MoviesHighBg", "ChoiceFg",
        "ChoiceBg", "ChoiceHighFg", "ChoiceHighBg"}) {
    expected[testing::Upper(std::string("Themes|") + colour)] = "REG_DWORD";
  }
  for (const char* font : {"LabelFont", "MoviesFont", "ChoiceFont"}) {
    expected[testing::Upper(std::string("Themes|") + font)] = "REG_BINARY";
  }
  EXPECT_EQ(types, expected) << run.output;

  // And the program reads back what it wrote.
  Settings loaded;
  ASSERT_TRUE(loaded.Load(registry_));
  EXPECT_EQ(loaded.FullScreen, 3);
  EXPECT_EQ(loaded.MinFileSize, 700u);
  EXPECT_EQ(loaded.ReadMDVD, 0);
  EXPECT_EQ(loaded.MpegPlayer, "Caf\xE9 Player");
  EXPECT_EQ(loaded.VcdCommandLine, saved.VcdCommandLine);
  EXPECT_EQ(loaded.Theme.LabelFg, 0x00123456u);
  EXPECT_EQ(loaded.Theme.MoviesFont.height, -31);
  std::set<std::string> names;
  for (const PlayerRecord& player : loaded.Players) {
    names.insert(player.Name);
    const PlayerRecord* original = nullptr;
    for (const PlayerRecord& p : saved.Players) {
      if (p.Name == player.Name) original = &p;
    }
    ASSERT_NE(original, nullptr) << player.Name;
    EXPECT_EQ(player.AppPath, original->AppPath);
    EXPECT_EQ(player.CmdLine, original->CmdLine);
    EXPECT_EQ(player.Playlist, original->Playlist);
  }
  EXPECT_EQ(names.size(), saved.Players.size());
}

TEST_F(Win32RegistryTest, RegistryEditorExportReadsIntoTheFileStoreUnchanged) {
  const Settings saved = Sample();
  ASSERT_TRUE(SaveFresh(saved, registry_));
  const auto file = folder_.path() / "export.reg";
  const auto run =
      RunProgram("regedit /e \"" + WinPath(file.string()) + "\" \"" + kMainKeyFull + "\"");
  ASSERT_TRUE(run.started);
  ASSERT_EQ(run.exitCode, 0u) << run.output;

  KeyTree tree;
  const RegeditParseResult parsed = ParseRegeditFile(ReadAll(file), tree);
  ASSERT_TRUE(parsed.ok) << "line " << parsed.line << ": " << parsed.reason;
  const RegistryDump imported = DumpTree(tree, kMainKeyFull);
  EXPECT_EQ(imported, FileStoreDump(saved));
  EXPECT_EQ(imported, DumpRegistry(HKEY_CURRENT_USER, kMainKey));

  // The store writes what it read: its own file form reads back to the same tree.
  KeyTree again;
  ASSERT_TRUE(ParseRegeditFile(FormatRegeditFile(tree), again).ok);
  EXPECT_EQ(DumpTree(again, kMainKeyFull), imported);
}

TEST_F(Win32RegistryTest, FileStoreImportsIntoTheWindowsRegistryUnchanged) {
  const Settings saved = Sample();
  TreeRegistry store;
  ASSERT_TRUE(SaveFresh(saved, store));
  const auto file = folder_.path() / "store.reg";
  {
    std::ofstream out(file, std::ios::binary);
    out << FormatRegeditFile(store.tree());
  }
  const auto run = RunProgram("regedit /s \"" + WinPath(file.string()) + "\"");
  ASSERT_TRUE(run.started);
  ASSERT_EQ(run.exitCode, 0u) << run.output;

  EXPECT_EQ(DumpRegistry(HKEY_CURRENT_USER, kMainKey), DumpTree(store.tree(), kMainKeyFull));
  Settings loaded;
  ASSERT_TRUE(loaded.Load(registry_));
  EXPECT_EQ(loaded.MpegPlayer, saved.MpegPlayer);
  EXPECT_EQ(loaded.Players.size(), saved.Players.size());
}

TEST_F(Win32RegistryTest, KeysAndValuesBehaveAsTheStoreInterfacePromises) {
  ScopedKey main(registry_, registry_.CreateKey(kCurrentUser, kMainKey));
  ASSERT_TRUE(main);
  // Missing keys do not open; created ones do, under any letter case.
  EXPECT_EQ(registry_.OpenKey(main.get(), "Missing"), kNoKey);
  ScopedKey deep(registry_, registry_.CreateKey(main.get(), "A\\B\\C"));
  ASSERT_TRUE(deep);
  ScopedKey again(registry_, registry_.OpenKey(kCurrentUser, "SOFTWARE\\ostrell\\quorvel\\a\\b"));
  EXPECT_TRUE(again);

  const std::uint32_t number = 0x01020304;
  ASSERT_TRUE(registry_.SetValue(main.get(), "Number", RegType::Dword, &number, 4));
  // A buffer too small fails and stays untouched; the stored type is not looked at.
  unsigned char small[2] = {0xAA, 0xBB};
  EXPECT_FALSE(registry_.QueryValue(main.get(), "number", small, sizeof small).has_value());
  EXPECT_EQ(small[0], 0xAA);
  EXPECT_EQ(small[1], 0xBB);
  char text[8] = {};
  EXPECT_EQ(registry_.QueryValue(main.get(), "NUMBER", text, sizeof text), 4u);
  EXPECT_EQ(text[0], 0x04);
  EXPECT_FALSE(registry_.QueryValue(main.get(), "Missing", text, sizeof text).has_value());
  // A name with a NUL byte names nothing.
  EXPECT_FALSE(
      registry_.SetValue(main.get(), std::string("Num\0ber", 7), RegType::Dword, &number, 4));

  // Deleting: values once, keys only when they have no sub-keys.
  EXPECT_TRUE(registry_.DeleteValue(main.get(), "Number"));
  EXPECT_FALSE(registry_.DeleteValue(main.get(), "Number"));
  EXPECT_FALSE(registry_.DeleteKey(main.get(), "A"));
  EXPECT_FALSE(registry_.DeleteKey(main.get(), ""));
  EXPECT_EQ(registry_.EnumKey(main.get(), 0), "A");
  EXPECT_FALSE(registry_.EnumKey(main.get(), 1).has_value());

  // HKEY_LOCAL_MACHINE is the system's own: its keys open as they are.
  ScopedKey system(registry_, registry_.OpenKey(kLocalMachine, "Software\\Microsoft"));
  EXPECT_TRUE(system);
}

}  // namespace
}  // namespace quorvel
