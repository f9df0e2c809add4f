#include "faces/win32/app/movie_app.h"

#include <commctrl.h>

#include <vector>

#include "faces/win32/desktop/desk_windows.h"
#include "platform/services.h"
#include "windows_rules/windows_command_line.h"

namespace quorvel {

CMovieApp::CMovieApp() {
  // The list view of the main dialog and the property sheet are common controls.
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

CMovieApp::~CMovieApp() {
  fullScreenWindow_.reset();
  if (platform_) platform_->services.registry.Flush();
}

bool CMovieApp::InitInstance(std::string_view commandLine) {
  // The services are wired once for the whole run; the user's store is opened only when
  // the settings are loaded, so a second copy never touches it.
  platform_ = CreatePlatformServices(messages_);
  std::vector<std::string> arguments = SplitCommandLine(commandLine);
  if (!arguments.empty()) arguments.erase(arguments.begin());
  startup::StartupView& view = *this;
  startup_ = std::make_unique<startup::StartupRules>(settings_, platform_->services, view);
  return startup_->Start(arguments);
}

void CMovieApp::WatchTrayHosts() {
  // Windows tells every top-level window when the taskbar is created again.
  taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");
}

bool CMovieApp::OpenFullScreenWindow(const std::string& diskPath) {
  fullScreenWindow_ = std::make_unique<win32::CFullScreenDlg>(
      settings_, platform_->services, [this](HWND owner) { return RunOptions(owner); },
      taskbarCreatedMessage_, diskPath);
  if (!fullScreenWindow_->Create()) return false;
  messages_.SetOwner(fullScreenWindow_->Handle());
  return true;
}

int CMovieApp::Run() {
  MSG message{};
  while (true) {
    win32::CFullScreenDlg* window = fullScreenWindow_.get();
    const std::vector<HANDLE> players =
        window != nullptr ? window->WatchedPlayers() : std::vector<HANDLE>{};
    const auto count = static_cast<DWORD>(players.size());
    const DWORD woken = MsgWaitForMultipleObjectsEx(count, players.data(), INFINITE, QS_ALLINPUT,
                                                    MWMO_INPUTAVAILABLE);
    if (woken < WAIT_OBJECT_0 + count) {
      window->OnPlayerSignalled(players[woken - WAIT_OBJECT_0]);
      continue;
    }
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      HWND dialog = window != nullptr ? window->Handle() : nullptr;
      if (dialog != nullptr) window->NoteKeyMessage(message);
      if (dialog != nullptr && IsDialogMessageA(dialog, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

bool CMovieApp::RunOptions(HWND owner) {
  const Services& services = platform_->services;
  const bool ok = win32::RunOptionsSheet(owner, settings_, services, messages_);
  services.registry.Flush();
  return ok;
}

void CMovieApp::RunConfigurationDialog(const std::string& diskPath) {
  win32::RunMainDialog(
      settings_, platform_->services, messages_, [this](HWND owner) { return RunOptions(owner); },
      diskPath);
  messages_.SetOwner(nullptr);
}

}  // namespace quorvel
