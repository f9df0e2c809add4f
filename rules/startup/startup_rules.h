#pragma once
// The start-up order of the program, which each face's application object (CMovieApp)
// follows: the single-instance test, the watch for tray hosts, the command line, the
// settings, the CD-ROM autorun switch, and which window opens. No toolkit here: the
// application object is the view, which opens the window these rules choose.

#include <memory>
#include <span>
#include <string>

#include "app/startup_command_line.h"
#include "platform/services.h"

namespace quorvel {

class Settings;

namespace startup {

// The window the program shows first.
enum class FirstWindow {
  ConfigurationDialog,  // modal; the program ends when it closes
  FullScreen,           // the program runs until it is destroyed
};

// The configuration dialog in start mode 0 (ConfigurationDialog) without the switch fs;
// the full-screen window in every other start mode, or with fs.
FirstWindow WindowToOpen(const Settings& settings, const CStartupCommandLine& commandLine);

// What the start-up asks of the face's application object.
class StartupView {
 public:
  // Starts watching for tray hosts that appear (the taskbar created again), so that the
  // full-screen window can put its icon back.
  virtual void WatchTrayHosts() = 0;
  // Shows the configuration dialog for `diskPath` as the main window, modally, and
  // returns once it closed.
  virtual void RunConfigurationDialog(const std::string& diskPath) = 0;
  // Creates the full-screen window for `diskPath` as the main window; false when it
  // could not be created.
  virtual bool OpenFullScreenWindow(const std::string& diskPath) = 0;

 protected:
  ~StartupView() = default;
};

class StartupRules {
 public:
  // `settings`, `services` and `view` must outlive the rules.
  StartupRules(Settings& settings, const Services& services, StartupView& view);
  ~StartupRules();
  StartupRules(const StartupRules&) = delete;
  StartupRules& operator=(const StartupRules&) = delete;

  // Start-up with the program's arguments (without its name), in order:
  //  1. the single-instance test: another copy of this executable for the user and
  //     display ends this one at once, silently, the other one untouched;
  //  2. the watch for tray hosts;
  //  3. the command line (switches fs and p);
  //  4. the settings loaded (a damaged store was reported and set aside; what is missing
  //     keeps its default), and a new user's players set up from the machine's;
  //  5. the CD-ROM autorun switched off when DisableAutorun is set;
  //  6. the configuration dialog or the full-screen window (WindowToOpen).
  // True: run the event loop until the full-screen window is destroyed. False: the
  // program ends now (another copy runs, the configuration dialog was closed, or the
  // window could not be created).
  bool Start(std::span<const std::string> arguments);

  // The command line as start-up parsed it.
  const CStartupCommandLine& CommandLine() const { return commandLine_; }
  // Whether this copy holds the claim of the one running copy; held until the rules go.
  bool HoldsInstance() const { return instance_ != nullptr; }

 private:
  Settings& settings_;
  Services services_;
  StartupView& view_;
  CStartupCommandLine commandLine_;
  std::unique_ptr<InstanceClaim> instance_;
};

}  // namespace startup
}  // namespace quorvel
