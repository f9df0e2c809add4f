#pragma once
// The system service on Linux: no shell entry and no autorun switch to write; the whole
// session is the display manager's session entry that the package installs; power-off
// goes to systemd-logind over the system D-Bus.

#include <chrono>
#include <string>
#include <vector>

#include "platform/system.h"

namespace quorvel {

class LinuxSystem final : public SystemService {
 public:
  // How long PowerOff waits for logind's answer before it gives up.
  static constexpr std::chrono::milliseconds kPowerOffTimeout{5000};

  // The session entry's file name, in the "xsessions" folder of a data folder.
  static constexpr const char* kSessionEntry = "quorvel-session.desktop";

  // Looks for the session entry in the data folders of $XDG_DATA_DIRS (by default
  // /usr/local/share and /usr/share), where display managers list the sessions.
  LinuxSystem();
  // Looks for it in `dataDirs` instead.
  explicit LinuxSystem(std::vector<std::string> dataDirs) : dataDirs_(std::move(dataDirs)) {}

  bool IsWindowsNT() const override { return false; }
  ShellEntry SystemShellEntry() const override;
  bool SetSystemShell(bool install) override;
  bool SetCdromAutorun(std::uint32_t value) override;
  void PowerOff() override;

 private:
  std::vector<std::string> dataDirs_;
};

}  // namespace quorvel
