#include "faces/win32/desktop/desk_windows.h"

#include "faces/win32/desktop/win32_user_messages.h"
#include "faces/win32/resources/win32_template.h"
#include "resources/resource_ids.h"

namespace quorvel::win32 {
namespace {

INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  if (message == WM_CLOSE) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

bool RunOptionsSheet(HWND, Settings&, const Services&, Win32UserMessages&) { return false; }

void RunMainDialog(Settings&, const Services&, Win32UserMessages& messages,
                   const std::function<bool(HWND owner)>&, const std::string&) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(res::kMainDialog);
  if (dialog == nullptr) return;
  const DialogTemplateBytes bytes(*dialog);
  messages.SetOwner(nullptr);
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), bytes.Get(), nullptr, &PlainDialogProc, 0);
}

}  // namespace quorvel::win32
