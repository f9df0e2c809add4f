#include "faces/win32/desktop/template_dialog.h"

#include "faces/win32/resources/win32_template.h"
#include "resources/dialog_template.h"
#include "resources/resource_ids.h"

namespace quorvel::win32 {

INT_PTR CTemplateDialog::DoModal(HWND owner) {
  const res::DialogTemplate* dialog = res::FindDialogTemplate(templateId_);
  if (dialog == nullptr) return -1;
  const DialogTemplateBytes bytes(*dialog);
  return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), bytes.Get(), owner, &DialogProc,
                                 reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CTemplateDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CTemplateDialog*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
    self->window_ = window;
    return self->OnInitDialog() ? TRUE : FALSE;
  }
  auto* self = reinterpret_cast<CTemplateDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      if (self->OnCommand(LOWORD(wParam), HIWORD(wParam))) return TRUE;
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        self->End(LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
      return TRUE;
    default:
      return self->OnMessage(message, wParam, lParam);
  }
}

void ShowAboutBox(HWND owner) {
  CTemplateDialog about(res::kAboutDialog);
  about.DoModal(owner);
}

}  // namespace quorvel::win32
