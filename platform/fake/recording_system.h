#pragma once
// A system service that records every call instead of switching anything, and answers
// as configured.

#include <cstdint>
#include <vector>

#include "platform/system.h"

namespace quorvel {

class RecordingSystem final : public SystemService {
 public:
  bool IsWindowsNT() const override { return windowsNT; }
  // The Windows NT family writes its shell entry; elsewhere as configured.
  ShellEntry SystemShellEntry() const override {
    return windowsNT ? ShellEntry::Written : shellEntry;
  }
  bool SetSystemShell(bool install) override {
    shellCalls.push_back(install);
    return windowsNT;
  }
  bool SetCdromAutorun(std::uint32_t value) override {
    autorunCalls.push_back(value);
    return windowsNT;
  }
  void PowerOff() override { ++powerOffCalls; }

  bool windowsNT = false;
  ShellEntry shellEntry = ShellEntry::None;
  std::vector<bool> shellCalls;
  std::vector<std::uint32_t> autorunCalls;
  int powerOffCalls = 0;
};

}  // namespace quorvel
