#pragma once
// The system service on Windows: the Winlogon shell entry and the CD-ROM service's
// autorun value in HKEY_LOCAL_MACHINE, and power-off with the shutdown privilege.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/registry.h"
#include "platform/system.h"

namespace quorvel {

// Where the values live, below HKEY_LOCAL_MACHINE.
inline constexpr const char* kWinlogonKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr const char* kShellValue = "Shell";
inline constexpr const char* kStandardShell = "Explorer.exe";
inline constexpr const char* kCdromKey = "SYSTEM\\CurrentControlSet\\Services\\Cdrom";
inline constexpr const char* kAutorunValue = "Autorun";

class Win32System final : public SystemService {
 public:
  // The request that ends the session: ExitWindowsEx with these flags and reason.
  using ExitWindowsCall = std::function<void(std::uint32_t flags, std::uint32_t reason)>;

  // `registry` is the store the entries are written to and must outlive the service;
  // `exitWindows` defaults to the system's ExitWindowsEx (tests hand in a recorder, so
  // that no test can power the machine off).
  explicit Win32System(Registry& registry, ExitWindowsCall exitWindows = {});

  bool IsWindowsNT() const override;
  // The Winlogon shell entry, on the Windows NT family only.
  ShellEntry SystemShellEntry() const override;
  bool SetSystemShell(bool install) override;
  bool SetCdromAutorun(std::uint32_t value) override;
  // Enables the shutdown privilege in this process's token and asks for power-off,
  // without forcing programs that refuse to end.
  void PowerOff() override;

  // The text that SetSystemShell(true) enters: this program's own command line.
  static std::string OwnCommandLine();

 private:
  Registry& registry_;
  ExitWindowsCall exitWindows_;
};

}  // namespace quorvel
