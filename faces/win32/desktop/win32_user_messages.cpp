#include "faces/win32/desktop/win32_user_messages.h"

#include <string>

#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel::win32 {

MessageAnswer Win32UserMessages::Show(std::string_view text, std::string_view caption,
                                      MessageButtons buttons, MessageIcon icon) {
  UINT type = MB_OK;
  switch (buttons) {
    case MessageButtons::Ok:
      type = MB_OK;
      break;
    case MessageButtons::YesNo:
      type = MB_YESNO;
      break;
    case MessageButtons::YesNoCancel:
      type = MB_YESNOCANCEL;
      break;
  }
  switch (icon) {
    case MessageIcon::None:
      break;
    case MessageIcon::Information:
      type |= MB_ICONINFORMATION;
      break;
    case MessageIcon::Warning:
      type |= MB_ICONWARNING;
      break;
    case MessageIcon::Error:
      type |= MB_ICONERROR;
      break;
    case MessageIcon::Question:
      type |= MB_ICONQUESTION;
      break;
  }
  const std::string shown(text);
  const std::string title(caption.empty() ? res::LoadString(res::kStrProgramName) : caption);
  HWND owner = owner_ != nullptr && IsWindow(owner_) ? owner_ : nullptr;
  switch (MessageBoxA(owner, shown.c_str(), title.c_str(), type)) {
    case IDYES:
      return MessageAnswer::Yes;
    case IDNO:
      return MessageAnswer::No;
    case IDCANCEL:
      return buttons == MessageButtons::YesNoCancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
    default:
      return MessageAnswer::Ok;
  }
}

}  // namespace quorvel::win32
