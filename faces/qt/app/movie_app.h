#pragma once
// The application object: owns the settings and the platform services for the whole
// run, and follows the start-up order of the core (rules/startup/) to decide which window
// the program shows.

#include <QApplication>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "rules/startup/startup_rules.h"

namespace quorvel {

class PlatformServices;
class QtUserMessages;
class TrayHostWatcher;

class CMovieApp final : public QApplication, private startup::StartupView {
  Q_OBJECT

 public:
  CMovieApp(int& argc, char** argv);
  ~CMovieApp() override;

  // Start-up (startup::StartupRules::Start): the single-instance test, the watch for
  // tray hosts, the command line, the settings, the CD-ROM autorun switch, then the
  // full-screen window, or the configuration dialog in start mode 0 without "fs". True:
  // run the event loop until the full-screen window is destroyed. False: the program
  // ends now (another copy runs, or the configuration dialog was closed).
  bool InitInstance();

  Settings& AppSettings() { return settings_; }
  CFullScreenDlg* FullScreenWindow() const { return fullScreenWindow_; }

 private:
  // startup::StartupView
  void WatchTrayHosts() override;
  void RunConfigurationDialog(const std::string& diskPath) override;
  bool OpenFullScreenWindow(const std::string& diskPath) override;

  bool RunOptions(QWidget* owner);

  std::vector<std::string> arguments_;
  Settings settings_;
  std::unique_ptr<QtUserMessages> messages_;
  // Wired once at start-up; the window refers to them for the whole run.
  std::unique_ptr<PlatformServices> platform_;
  // The start-up; it holds this copy's claim to be the one running for the user and
  // display to the end.
  std::unique_ptr<startup::StartupRules> startup_;
  // Announces a new tray host, the Linux form of the "TaskbarCreated" message.
  std::unique_ptr<TrayHostWatcher> taskbarCreated_;
  QPointer<CFullScreenDlg> fullScreenWindow_;
};

}  // namespace quorvel
