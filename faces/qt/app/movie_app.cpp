#include "faces/qt/app/movie_app.h"

#include <vector>

#include "faces/qt/desktop/main_dlg.h"
#include "faces/qt/desktop/options_sheet.h"
#include "faces/qt/desktop/qt_user_messages.h"
#include "faces/qt/fullscreen/full_screen_dlg.h"
#include "faces/qt/fullscreen/tray_host_watcher.h"
#include "faces/qt/resources/app_icon.h"
#include "faces/qt/resources/gui_text.h"
#include "platform/services.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel {

CMovieApp::CMovieApp(int& argc, char** argv) : QApplication(argc, argv) {
  // The toolkit has taken its own options out; the rest are the program's, as bytes.
  for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
  setApplicationName(ToQString(res::LoadString(res::kStrProgramName)));
  setWindowIcon(AppIcon());
  // Hiding the window into the tray leaves no window on the screen; the program ends
  // when the full-screen window is destroyed, not when the last window closes.
  setQuitOnLastWindowClosed(false);
}

CMovieApp::~CMovieApp() {
  delete fullScreenWindow_.data();
  if (platform_) platform_->services.registry.Flush();
}

bool CMovieApp::InitInstance() {
  // The services are wired once for the whole run; the user's store is opened only when
  // the settings are loaded, so a second copy never touches it.
  messages_ = std::make_unique<QtUserMessages>();
  platform_ = CreatePlatformServices(*messages_);
  startup::StartupView& view = *this;
  startup_ = std::make_unique<startup::StartupRules>(settings_, platform_->services, view);
  return startup_->Start(arguments_);
}

void CMovieApp::WatchTrayHosts() {
  taskbarCreated_ = std::make_unique<TrayHostWatcher>(platform_->trayHosts);
}

bool CMovieApp::OpenFullScreenWindow(const std::string& diskPath) {
  auto* window = new CFullScreenDlg(
      settings_, platform_->services, [this](QWidget& owner) { return RunOptions(&owner); },
      taskbarCreated_.get(), &platform_->windowFocus, diskPath);
  fullScreenWindow_ = window;
  messages_->SetOwner(window);
  // The program runs until the window is destroyed ("Off", "Exit", closing it).
  connect(window, &QObject::destroyed, this, &QCoreApplication::quit, Qt::QueuedConnection);
  window->Create();
  return fullScreenWindow_ != nullptr;
}

bool CMovieApp::RunOptions(QWidget* owner) {
  const Services& services = platform_->services;
  const bool ok = RunOptionsSheet(owner, settings_, services);
  services.registry.Flush();
  return ok;
}

void CMovieApp::RunConfigurationDialog(const std::string& diskPath) {
  CMainDlg dialog(
      settings_, platform_->services, [this](QWidget& owner) { return RunOptions(&owner); },
      diskPath);
  messages_->SetOwner(&dialog);
  dialog.exec();
  messages_->SetOwner(nullptr);
}

}  // namespace quorvel
