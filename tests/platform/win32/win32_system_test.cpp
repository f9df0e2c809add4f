// The system switches on the real registry, and power-off against a stand-in.
#include <windows.h>
// windows.h names ReplaceFileA "ReplaceFile"; the private-files service has a call of
// its own of that name.
#undef ReplaceFile

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "app/ffdshow_switches.h"
#include "app/settings.h"
#include "platform/fake/recording_messages.h"
#include "platform/win32/win32_private_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "playback/playlist.h"
#include "win32_test_support.h"
#include "windows_rules/ascii.h"

namespace quorvel {
namespace {

using testing::DumpRegistry;
using testing::RegistryDump;

std::vector<std::uint8_t> Dword(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}
std::vector<std::uint8_t> Text(const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

// What changed between two dumps of one key: the entries that differ, from `after`.
RegistryDump Changes(const RegistryDump& before, const RegistryDump& after) {
  RegistryDump changed;
  for (const auto& [name, value] : after) {
    auto old = before.find(name);
    if (old == before.end() || old->second != value) changed[name] = value;
  }
  for (const auto& [name, value] : before) {
    if (!after.count(name)) changed[name] = {0xFFFFFFFF, {}};  // removed
  }
  return changed;
}

class Win32SystemTest : public ::testing::Test {
 protected:
  Win32Registry registry_;
  Win32System system_{registry_, [this](std::uint32_t flags, std::uint32_t reason) {
                        exits_.emplace_back(flags, reason);
                      }};
  std::vector<std::pair<std::uint32_t, std::uint32_t>> exits_;
};

TEST_F(Win32SystemTest, ShellEntryIsThisProgramsCommandLineOrTheStandardShell) {
  EXPECT_TRUE(system_.IsWindowsNT());
  const RegistryDump original = DumpRegistry(HKEY_LOCAL_MACHINE, kWinlogonKey);

  ASSERT_TRUE(system_.SetSystemShell(true));
  RegistryDump after = DumpRegistry(HKEY_LOCAL_MACHINE, kWinlogonKey);
  EXPECT_EQ(Changes(original, after),
            (RegistryDump{{"|SHELL", {REG_SZ, Text(::GetCommandLineA())}}}));
  EXPECT_NE(std::string(::GetCommandLineA()).find("win32_tests"), std::string::npos);

  ASSERT_TRUE(system_.SetSystemShell(false));
  after = DumpRegistry(HKEY_LOCAL_MACHINE, kWinlogonKey);
  RegistryDump standard = original;
  standard["|SHELL"] = {REG_SZ, Text("Explorer.exe")};
  EXPECT_EQ(Changes(standard, after), RegistryDump{});

  // Put back what Wine had.
  const auto shell = original.find("|SHELL");
  if (shell != original.end()) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWinlogonKey, 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, kShellValue, 0, shell->second.first, shell->second.second.data(),
                     static_cast<DWORD>(shell->second.second.size()));
    ::RegCloseKey(key);
  }
}

TEST_F(Win32SystemTest, AutorunIsWrittenOnlyIntoAnExistingCdromServiceKey) {
  testing::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kCdromKey);
  // The service's key belongs to the system: a missing one is not made.
  EXPECT_FALSE(system_.SetCdromAutorun(0));
  EXPECT_TRUE(DumpRegistry(HKEY_LOCAL_MACHINE, kCdromKey).empty());
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCdromKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
            ERROR_SUCCESS);
  const DWORD start = 1;
  ::RegSetValueExA(key, "Start", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&start), 4);
  ::RegCloseKey(key);

  const RegistryDump before = DumpRegistry(HKEY_LOCAL_MACHINE, kCdromKey);
  ASSERT_TRUE(system_.SetCdromAutorun(0));
  EXPECT_EQ(Changes(before, DumpRegistry(HKEY_LOCAL_MACHINE, kCdromKey)),
            (RegistryDump{{"|AUTORUN", {REG_DWORD, Dword(0)}}}));
  ASSERT_TRUE(system_.SetCdromAutorun(7));
  EXPECT_EQ(Changes(before, DumpRegistry(HKEY_LOCAL_MACHINE, kCdromKey)),
            (RegistryDump{{"|AUTORUN", {REG_DWORD, Dword(1)}}}));
  testing::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kCdromKey);
}

TEST_F(Win32SystemTest, FfdshowSwitchesChangeExactlyTheirFourValues) {
  const std::string key(kFfdshowKeyPath);
  testing::DeleteRegistryTree(HKEY_LOCAL_MACHINE, key);
  const RegistryDump gnuBefore = DumpRegistry(HKEY_LOCAL_MACHINE, "SOFTWARE");

  // Without ffdshow nothing is found and nothing is written.
  Settings settings;
  ASSERT_TRUE(settings.Load(registry_));
  EXPECT_EQ(settings.FfdshowFound, 0);
  settings.FfdshowDiv3 = 1;
  ASSERT_TRUE(settings.Save(registry_));
  EXPECT_TRUE(DumpRegistry(HKEY_LOCAL_MACHINE, key).empty());

  HKEY ffdshow = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &ffdshow, nullptr),
            ERROR_SUCCESS);
  const DWORD on = 1;
  const DWORD other = 42;
  ::RegSetValueExA(ffdshow, "divx", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), 4);
  ::RegSetValueExA(ffdshow, "isCompMgr", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&other), 4);
  ::RegCloseKey(ffdshow);
  const RegistryDump before = DumpRegistry(HKEY_LOCAL_MACHINE, key);

  Settings loaded;
  ASSERT_TRUE(loaded.Load(registry_));
  EXPECT_EQ(loaded.FfdshowFound, 1);
  EXPECT_EQ(loaded.FfdshowDivx, 1);
  EXPECT_EQ(loaded.FfdshowDiv3, 0);
  loaded.FfdshowDivx = 0;
  loaded.FfdshowXvid = 1;
  ASSERT_TRUE(loaded.Save(registry_));
  EXPECT_EQ(Changes(before, DumpRegistry(HKEY_LOCAL_MACHINE, key)),
            (RegistryDump{{"|DIV3", {REG_DWORD, Dword(0)}},
                          {"|DIVX", {REG_DWORD, Dword(0)}},
                          {"|DX50", {REG_DWORD, Dword(0)}},
                          {"|XVID", {REG_DWORD, Dword(1)}}}));
  testing::DeleteRegistryTree(HKEY_LOCAL_MACHINE, key);
  testing::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Ostrell\\Quorvel");
  // Only ffdshow's key was touched below SOFTWARE, and it is gone again.
  RegistryDump gnuAfter = DumpRegistry(HKEY_LOCAL_MACHINE, "SOFTWARE");
  EXPECT_EQ(Changes(gnuBefore, gnuAfter), RegistryDump{});
}

TEST_F(Win32SystemTest, PowerOffEnablesTheShutdownPrivilegeAndAsksOnce) {
  system_.PowerOff();
  EXPECT_EQ(exits_, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{EWX_POWEROFF, 0}}));
  // The privilege is now enabled in this process's token.
  HANDLE token = nullptr;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
  LUID shutdown{};
  ASSERT_TRUE(::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &shutdown));
  PRIVILEGE_SET set{};
  set.PrivilegeCount = 1;
  set.Privilege[0].Luid = shutdown;
  BOOL enabled = FALSE;
  ASSERT_TRUE(::PrivilegeCheck(token, &set, &enabled));
  EXPECT_TRUE(enabled);
  ::CloseHandle(token);
}

TEST(Win32PlaylistTest, PlaylistsGoToTheUsersLocalApplicationData) {
  Win32PrivateFiles files;
  const std::string folder = files.Folder();
  char local[MAX_PATH] = {};
  ASSERT_GT(::GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH), 0u);
  EXPECT_TRUE(EqualsIgnoringAsciiCase(folder, std::string(local) + "\\Quorvel")) << folder;
  EXPECT_EQ(PlaylistBase(files), folder + "\\playlist");

  DiskInfo disk;
  disk.AddMovie("a", "D:\\a & b.avi", 1);
  disk.AddMovie("b", "D:\\c.avi", 1);
  RecordingMessages messages;
  const std::string written =
      WritePlaylist(disk, PlaylistBase(files), PlaylistType::BslPlaylist, files, messages);
  ASSERT_EQ(written, folder + "\\playlist.bsl");
  {
    std::ifstream in(written, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              "D:\\a & b.avi\r\nD:\\c.avi\r\n");
  }
  // A second list replaces the first in one step.
  EXPECT_TRUE(files.ReplaceFile(written, "new"));
  std::ifstream again(written, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(again), std::istreambuf_iterator<char>()),
            "new");
  EXPECT_FALSE(files.ReplaceFile(folder + "\\missing\\x.bsl", "x"));
}

}  // namespace
}  // namespace quorvel
