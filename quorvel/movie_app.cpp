#include "quorvel/movie_app.h"

#include <vector>

#include "app/startup_command_line.h"
#include "desktop/options_context.h"
#include "desktop/options_sheet.h"
#include "desktop/qt_user_messages.h"
#include "fullscreen/full_screen_dlg.h"
#include "fullscreen/tray_host_watcher.h"
#include "platform/files.h"
#include "platform/native_path.h"
#include "platform/processes.h"
#include "platform/system.h"
#include "platform/user_registry.h"
#include "platform/volumes.h"
#include "playback/launchers.h"
#include "playback/playlist.h"
#include "resources/app_icon.h"
#include "resources/gui_text.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "system/system_integration.h"

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
  if (registry_) registry_->Flush();
}

bool CMovieApp::InitInstance() {
  processes_ = CreateSystemProcesses();
  // A second copy ends silently; the running one is not brought to the front.
  if (AnotherInstanceRunning(*processes_)) return false;

  taskbarCreated_ = std::make_unique<TrayHostWatcher>();

  CStartupCommandLine commandLine(NativeSeparator() == '/');
  commandLine.Parse(arguments_);

  messages_ = std::make_unique<QtUserMessages>();
  registry_ = OpenUserRegistry(*messages_);
  settings_.Load(*registry_, *messages_);
  system_ = MakeSystemService();
  ApplyAutorunAtStart(*system_, settings_);

  volumes_ = CreateSystemVolumes();
  files_ = CreateSystemFiles();
  if (settings_.FullScreen == static_cast<std::int32_t>(StartMode::ConfigurationDialog) &&
      !commandLine.fullScreen) {
    RunConfigurationDialog(commandLine.diskPath);
    return false;
  }

  screen::ScreenServices services{
      settings_, *volumes_, *files_, *processes_, *system_, *messages_, DefaultPlaylistBase()};
  auto* window = new CFullScreenDlg(
      services, [this](QWidget& owner) { return RunOptions(&owner); }, taskbarCreated_.get(),
      commandLine.diskPath);
  fullScreenWindow_ = window;
  messages_->SetOwner(window);
  // The program runs until the window is destroyed ("Off", "Exit", closing it).
  connect(window, &QObject::destroyed, this, &QCoreApplication::quit, Qt::QueuedConnection);
  window->Create();
  return fullScreenWindow_ != nullptr;
}

bool CMovieApp::RunOptions(QWidget* owner) {
  OptionsContext context{settings_, *registry_, *system_, *messages_};
  const bool ok = RunOptionsSheet(owner, context);
  registry_->Flush();
  return ok;
}

void CMovieApp::RunConfigurationDialog(const std::string&) {
  // Until the main dialog exists, the configuration dialog is the options sheet.
  RunOptions(nullptr);
}

}  // namespace quorvel
