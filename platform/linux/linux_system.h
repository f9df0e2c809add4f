#pragma once
// The system service on Linux: no shell entry and no autorun switch to write; power-off
// goes to systemd-logind over the system D-Bus.

#include <chrono>

#include "platform/system.h"

namespace quorvel {

class LinuxSystem final : public SystemService {
 public:
  // How long PowerOff waits for logind's answer before it gives up.
  static constexpr std::chrono::milliseconds kPowerOffTimeout{5000};

  bool IsWindowsNT() const override { return false; }
  bool SetSystemShell(bool install) override;
  bool SetCdromAutorun(std::uint32_t value) override;
  void PowerOff() override;
};

}  // namespace quorvel
