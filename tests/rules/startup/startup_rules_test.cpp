// The start-up order on a recording application object: a second copy ends before
// anything else, the command line and the stored start mode choose the window, the
// autorun switch and a new user's players come before it.

#include "rules/startup/startup_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/fake/fake_services.h"

namespace quorvel {
namespace {

using Strings = std::vector<std::string>;

// The application object: what start-up asked of it, in order.
class RecordingApp final : public startup::StartupView {
 public:
  void WatchTrayHosts() override { calls.push_back("watch tray hosts"); }
  void RunConfigurationDialog(const std::string& diskPath) override {
    calls.push_back("configuration dialog [" + diskPath + "]");
  }
  bool OpenFullScreenWindow(const std::string& diskPath) override {
    calls.push_back("full-screen window [" + diskPath + "]");
    return windowCreated;
  }

  Strings calls;
  bool windowCreated = true;
};

struct StartupFixture {
  StartupFixture() {
    RecordingProcesses::Process self;
    self.id = fake.processes.self;
    self.exeFile = self.moduleName = "quorvel";
    self.modulePath = "/usr/bin/quorvel";
    fake.processes.processes.push_back(self);
  }
  // Stores the start mode and the autorun switch, as an earlier run did.
  void Store(std::int32_t startMode, std::int32_t disableAutorun = 0) {
    Settings stored;
    ASSERT_TRUE(stored.Load(fake.registry));
    stored.FullScreen = startMode;
    stored.DisableAutorun = disableAutorun;
    ASSERT_TRUE(stored.Save(fake.registry));
  }
  bool Start(const Strings& arguments) {
    rules = std::make_unique<startup::StartupRules>(settings, fake.View(), app);
    return rules->Start(arguments);
  }

  FakeServices fake;
  Settings settings;
  RecordingApp app;
  std::unique_ptr<startup::StartupRules> rules;
};

TEST(StartupRulesTest, TheStartModeAndTheSwitchesChooseTheWindow) {
  struct Case {
    std::int32_t startMode;
    Strings arguments;
    std::string window;
    bool runs;
  };
  const Case cases[] = {
      // No command line, no settings: the configuration dialog with an empty disk path,
      // and the program ends when it closes.
      {-1, {}, "configuration dialog []", false},
      {0, {"/P", "D:\\"}, "configuration dialog [D:\\]", false},
      // fs opens the full-screen window in mode 0; every other mode opens it anyway.
      {0, {"/fs"}, "full-screen window []", true},
      {0, {"/p", "/fs", "E:\\"}, "full-screen window [E:\\]", true},
      {1, {"-p"}, "full-screen window []", true},
      {2, {"movies"}, "full-screen window []", true},
      {3, {}, "full-screen window []", true},
      {7, {}, "full-screen window []", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window + " mode " + std::to_string(c.startMode));
    StartupFixture f;
    if (c.startMode >= 0) f.Store(c.startMode);
    EXPECT_EQ(f.Start(c.arguments), c.runs);
    EXPECT_EQ(f.app.calls, (Strings{"watch tray hosts", c.window}));
    EXPECT_TRUE(f.rules->HoldsInstance());
    EXPECT_TRUE(f.fake.system.autorunCalls.empty());
  }
  // A window that could not be created ends the program.
  StartupFixture f;
  f.Store(1);
  f.app.windowCreated = false;
  EXPECT_FALSE(f.Start({}));
}

TEST(StartupRulesTest, ASecondCopyEndsBeforeItTouchesAnything) {
  StartupFixture f;
  f.Store(1, /*disableAutorun=*/1);
  const auto other = f.fake.processes.ClaimInstance("QUORVEL");
  ASSERT_EQ(other.outcome, InstanceResult::Outcome::Claimed);
  EXPECT_FALSE(f.Start({"/fs"}));
  EXPECT_TRUE(f.app.calls.empty());
  EXPECT_FALSE(f.rules->HoldsInstance());
  EXPECT_TRUE(f.fake.system.autorunCalls.empty());
  EXPECT_EQ(f.settings.FullScreen, Settings().FullScreen) << "the store was not read";
  EXPECT_FALSE(f.rules->CommandLine().fullScreen);

  // The claim is held as long as the rules live, and given up with them.
  StartupFixture first;
  ASSERT_TRUE(first.Start({"/fs"}));
  EXPECT_EQ(first.fake.processes.ClaimInstance("quorvel").outcome,
            InstanceResult::Outcome::HeldByAnother);
  first.rules.reset();
  EXPECT_EQ(first.fake.processes.ClaimInstance("quorvel").outcome,
            InstanceResult::Outcome::Claimed);
}

TEST(StartupRulesTest, TheSettingsAutorunAndPlayersComeBeforeTheWindow) {
  StartupFixture f;
  f.Store(1, /*disableAutorun=*/1);
  f.fake.processes.programs["mpv"] = "/usr/bin/mpv";
  // A path every system takes as a path, not as a switch.
  ASSERT_TRUE(f.Start({"/p", "films"}));
  EXPECT_EQ(f.settings.FullScreen, 1);
  // Autorun is switched off on every start while DisableAutorun is set.
  EXPECT_EQ(f.fake.system.autorunCalls, (std::vector<std::uint32_t>{0}));
  // A new user's store had no player: the machine's are set up.
  ASSERT_FALSE(f.settings.Players.empty());
  EXPECT_EQ(f.settings.DivXPlayer, "mpv");
  EXPECT_EQ(f.rules->CommandLine().diskPath, "films");
  EXPECT_EQ(f.app.calls.back(), "full-screen window [films]");
}

}  // namespace
}  // namespace quorvel
