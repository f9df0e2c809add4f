#include "system/system_integration.h"

#include "app/settings.h"

namespace quorvel {

namespace {
constexpr std::int32_t kSystemShell = static_cast<std::int32_t>(StartMode::SystemShell);
constexpr std::uint32_t kAutorunOff = 0;
}  // namespace

// The results of the switches are not looked at: a user without the rights keeps the
// system as it was, and the program goes on.
void ApplyStartModeChange(SystemService& system, std::int32_t oldMode, std::int32_t newMode) {
  if (newMode == oldMode) return;
  if (newMode == kSystemShell) system.SetSystemShell(true);
  if (oldMode == kSystemShell) system.SetSystemShell(false);
}

void ApplyAutorunChange(SystemService& system, std::int32_t oldDisable, std::int32_t newDisable) {
  if (newDisable == 1 && oldDisable == 0) system.SetCdromAutorun(kAutorunOff);
}

void ApplyAutorunAtStart(SystemService& system, const Settings& settings) {
  if (settings.DisableAutorun != 0) system.SetCdromAutorun(kAutorunOff);
}

void PowerOffIfWanted(SystemService& system, const Settings& settings) {
  if (settings.Shutdown != 0) system.PowerOff();
}

}  // namespace quorvel
