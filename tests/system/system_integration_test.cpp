// When the system switches are used: start-mode changes, the autorun box, start-up and
// power-off.

#include "system/system_integration.h"

#include <gtest/gtest.h>

#include "app/settings.h"
#include "platform/fake/recording_system.h"

namespace quorvel {
namespace {

constexpr std::int32_t kDialog = 0, kFullScreen = 1, kTray = 2, kShell = 3;

TEST(SystemIntegrationTest, StartModeChangeSwitchesTheShellOnlyToAndFromSystemShell) {
  struct Case {
    std::int32_t oldMode, newMode;
    std::vector<bool> calls;
  };
  const Case cases[] = {
      {kFullScreen, kShell, {true}}, {kShell, kFullScreen, {false}}, {kShell, kDialog, {false}},
      {kFullScreen, kDialog, {}},    {kShell, kShell, {}},           {kTray, kTray, {}},
      {kDialog, kShell, {true}},
  };
  for (const Case& c : cases) {
    RecordingSystem system;
    ApplyStartModeChange(system, c.oldMode, c.newMode);
    EXPECT_EQ(system.shellCalls, c.calls) << c.oldMode << " -> " << c.newMode;
    EXPECT_TRUE(system.autorunCalls.empty());
  }
}

TEST(SystemIntegrationTest, AutorunIsOnlyEverSwitchedOff) {
  RecordingSystem system;
  ApplyAutorunChange(system, 0, 1);
  EXPECT_EQ(system.autorunCalls, std::vector<std::uint32_t>{0});
  ApplyAutorunChange(system, 1, 0);  // clearing the box leaves autorun off
  ApplyAutorunChange(system, 1, 1);
  ApplyAutorunChange(system, 0, 0);
  EXPECT_EQ(system.autorunCalls.size(), 1u);

  Settings settings;
  ApplyAutorunAtStart(system, settings);
  EXPECT_EQ(system.autorunCalls.size(), 1u);
  settings.DisableAutorun = 1;
  ApplyAutorunAtStart(system, settings);
  EXPECT_EQ(system.autorunCalls, (std::vector<std::uint32_t>{0, 0}));
}

TEST(SystemIntegrationTest, PowerOffOnlyWhenShutdownIsSet) {
  RecordingSystem system;
  Settings settings;
  PowerOffIfWanted(system, settings);
  EXPECT_EQ(system.powerOffCalls, 0);
  settings.Shutdown = 1;
  PowerOffIfWanted(system, settings);
  EXPECT_EQ(system.powerOffCalls, 1);
}

}  // namespace
}  // namespace quorvel
