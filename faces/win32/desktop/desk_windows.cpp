#include "faces/win32/desktop/desk_windows.h"

#include "faces/win32/desktop/main_dlg.h"
#include "faces/win32/desktop/options_sheet.h"
#include "faces/win32/desktop/win32_user_messages.h"

namespace quorvel::win32 {

bool RunOptionsSheet(HWND owner, Settings& settings, const Services& services,
                     Win32UserMessages& messages) {
  const HWND previousOwner = messages.Owner();
  COptionsSheet sheet(settings, services, messages);
  const bool ok = sheet.Run(owner);
  messages.SetOwner(previousOwner);
  return ok;
}

void RunMainDialog(Settings& settings, const Services& services, Win32UserMessages& messages,
                   const std::function<bool(HWND owner)>& runOptions, const std::string& diskPath) {
  CMainDlg dialog(settings, services, runOptions, diskPath);
  messages.SetOwner(nullptr);
  dialog.DoModal(nullptr);
}

}  // namespace quorvel::win32
