#pragma once
// The application object of the Windows program: owns the settings and the platform
// services for the whole run, decides at start-up which window the program shows, and
// runs the message loop of the full-screen window.

#include <memory>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "faces/win32/desktop/win32_user_messages.h"
#include "faces/win32/fullscreen/full_screen_dlg.h"
#include "faces/win32/resources/windows_api.h"
#include "rules/startup/startup_rules.h"

namespace quorvel {

class PlatformServices;

class CMovieApp final : private startup::StartupView {
 public:
  CMovieApp();
  ~CMovieApp();
  CMovieApp(const CMovieApp&) = delete;
  CMovieApp& operator=(const CMovieApp&) = delete;

  // Start-up (startup::StartupRules::Start) with `commandLine` as the system gave it,
  // the program's name first: the single-instance test, "TaskbarCreated" registered,
  // the command line, the settings (with the players found on the machine when the store
  // has none), the CD-ROM autorun switch, then the full-screen window, or the
  // configuration dialog in start mode 0 without "fs". True: run the message loop until
  // the full-screen window is destroyed. False: the program ends now (another copy runs,
  // or the configuration dialog was closed).
  bool InitInstance(std::string_view commandLine);
  // The message loop of the full-screen window, which also waits for the players it
  // watches; returns when the window is gone.
  int Run();

  Settings& AppSettings() { return settings_; }
  UINT TaskbarCreatedMessage() const { return taskbarCreatedMessage_; }
  win32::CFullScreenDlg* FullScreenWindow() const { return fullScreenWindow_.get(); }

 private:
  bool RunOptions(HWND owner);

  // startup::StartupView
  void WatchTrayHosts() override;
  void RunConfigurationDialog(const std::string& diskPath) override;
  bool OpenFullScreenWindow(const std::string& diskPath) override;

  Settings settings_;
  UINT taskbarCreatedMessage_ = 0;
  win32::Win32UserMessages messages_;
  // Wired once at start-up; the window refers to them for the whole run.
  std::unique_ptr<PlatformServices> platform_;
  // Holds this copy's claim to be the one running for the user, to the end.
  std::unique_ptr<startup::StartupRules> startup_;
  // Last: it goes before the services and the settings it refers to.
  std::unique_ptr<win32::CFullScreenDlg> fullScreenWindow_;
};

}  // namespace quorvel
