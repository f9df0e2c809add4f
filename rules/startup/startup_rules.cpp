#include "rules/startup/startup_rules.h"

#include <cstdint>

#include "app/settings.h"
#include "platform/native_path.h"
#include "playback/first_start.h"
#include "playback/launchers.h"
#include "system/system_integration.h"

namespace quorvel::startup {

FirstWindow WindowToOpen(const Settings& settings, const CStartupCommandLine& commandLine) {
  const bool dialogMode =
      settings.FullScreen == static_cast<std::int32_t>(StartMode::ConfigurationDialog);
  return dialogMode && !commandLine.fullScreen ? FirstWindow::ConfigurationDialog
                                               : FirstWindow::FullScreen;
}

StartupRules::StartupRules(Settings& settings, const Services& services, StartupView& view)
    : settings_(settings),
      services_(services),
      view_(view),
      // Where absolute paths begin with "/", "/" starts only the program's own switches.
      commandLine_(NativeSeparator() == '/') {}

StartupRules::~StartupRules() = default;

bool StartupRules::Start(std::span<const std::string> arguments) {
  // A second copy ends before it touches anything: not the store, not the tray.
  instance_ = ClaimSingleInstance(services_.processes);
  if (!instance_) return false;

  view_.WatchTrayHosts();
  commandLine_.Parse(arguments);

  settings_.Load(services_.registry, services_.messages);
  // A new user's store holds no player: the ones on the machine are set up, so that the
  // first Play plays.
  SetUpPlayersOfNewUser(settings_, services_.registry, services_.processes);
  ApplyAutorunAtStart(services_.system, settings_);

  if (WindowToOpen(settings_, commandLine_) == FirstWindow::ConfigurationDialog) {
    view_.RunConfigurationDialog(commandLine_.diskPath);
    return false;
  }
  return view_.OpenFullScreenWindow(commandLine_.diskPath);
}

}  // namespace quorvel::startup
