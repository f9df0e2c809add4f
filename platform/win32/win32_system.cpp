#include "platform/win32/win32_system.h"

#include <windows.h>

#include <memory>

namespace quorvel {

namespace {

// Writes one value into an existing key of HKEY_LOCAL_MACHINE; the keys belong to the
// system, so a missing one is never created.
bool WriteSystemValue(Registry& registry, const char* keyPath, const char* name, RegType type,
                      const void* data, std::uint32_t size) {
  ScopedKey key(registry, registry.OpenKey(kLocalMachine, keyPath));
  if (!key) return false;
  return registry.SetValue(key.get(), name, type, data, size);
}

}  // namespace

Win32System::Win32System(Registry& registry, ExitWindowsCall exitWindows)
    : registry_(registry), exitWindows_(std::move(exitWindows)) {
  if (!exitWindows_) {
    exitWindows_ = [](std::uint32_t flags, std::uint32_t reason) {
      ::ExitWindowsEx(flags, reason);
    };
  }
}

bool Win32System::IsWindowsNT() const {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string Win32System::OwnCommandLine() {
  const char* line = ::GetCommandLineA();
  return line != nullptr ? std::string(line) : std::string();
}

SystemService::ShellEntry Win32System::SystemShellEntry() const {
  return IsWindowsNT() ? ShellEntry::Written : ShellEntry::None;
}

bool Win32System::SetSystemShell(bool install) {
  if (!IsWindowsNT()) return false;
  const std::string shell = install ? OwnCommandLine() : std::string(kStandardShell);
  return WriteSystemValue(registry_, kWinlogonKey, kShellValue, RegType::Sz, shell.c_str(),
                          static_cast<std::uint32_t>(shell.size() + 1));
}

bool Win32System::SetCdromAutorun(std::uint32_t value) {
  if (!IsWindowsNT()) return false;
  const DWORD autorun = value != 0 ? 1 : 0;
  return WriteSystemValue(registry_, kCdromKey, kAutorunValue, RegType::Dword, &autorun,
                          sizeof autorun);
}

void Win32System::PowerOff() {
  if (IsWindowsNT()) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
      return;
    }
    const std::unique_ptr<void, decltype(&::CloseHandle)> token(raw, &::CloseHandle);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
      return;
    }
    ::SetLastError(ERROR_SUCCESS);
    ::AdjustTokenPrivileges(raw, FALSE, &privileges, 0, nullptr, nullptr);
    // The call succeeds even when the privilege was not granted; only the last error
    // tells.
    if (::GetLastError() != ERROR_SUCCESS) return;
  }
  exitWindows_(EWX_POWEROFF, 0);
}

}  // namespace quorvel
