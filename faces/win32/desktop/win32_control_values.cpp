#include "faces/win32/desktop/win32_control_values.h"

#include <string>

namespace quorvel::win32 {

bool Win32ControlValues::IsComboBox(HWND control) const {
  char name[16] = "";
  GetClassNameA(control, name, sizeof name);
  return lstrcmpiA(name, "COMBOBOX") == 0;
}

bool Win32ControlValues::Checked(int id) const {
  return IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
}

void Win32ControlValues::SetChecked(int id, bool checked) {
  HWND control = Item(id);
  if (control == nullptr) return;
  const auto type = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE)) & BS_TYPEMASK;
  if (checked && (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON)) {
    // The other radio buttons of its group are cleared.
    HWND other = control;
    while ((other = GetNextDlgGroupItem(dialog_, other, FALSE)) != nullptr && other != control) {
      SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
  SendMessageA(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string Win32ControlValues::Text(int id) const {
  HWND control = Item(id);
  if (control == nullptr) return {};
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  const int got = GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

bool Win32ControlValues::ShowsText(int id, std::string_view text) const {
  // The edit holds the bytes as they were set: the ANSI code page both ways.
  return Item(id) == nullptr || Text(id) == text;
}

void Win32ControlValues::SetText(int id, std::string_view text) {
  const std::string shown(text);
  SetDlgItemTextA(dialog_, id, shown.c_str());
  // A text longer than the edit shows its beginning.
  SendDlgItemMessageA(dialog_, id, EM_SETSEL, 0, 0);
}

int Win32ControlValues::ListIndex(int id) const {
  HWND control = Item(id);
  if (control == nullptr) return -1;
  const LRESULT index =
      SendMessageA(control, IsComboBox(control) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : static_cast<int>(index);
}

void Win32ControlValues::SetListIndex(int id, int index) {
  HWND control = Item(id);
  if (control == nullptr) return;
  SendMessageA(control, IsComboBox(control) ? CB_SETCURSEL : LB_SETCURSEL,
               static_cast<WPARAM>(index), 0);
}

void Win32ControlValues::SetListItems(int id, const std::vector<std::string>& items) {
  HWND control = Item(id);
  if (control == nullptr) return;
  const bool combo = IsComboBox(control);
  SendMessageA(control, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  // Inserted, not added: the rules give the order, which a sorted list would change.
  for (const std::string& item : items) {
    SendMessageA(control, combo ? CB_INSERTSTRING : LB_INSERTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(item.c_str()));
  }
}

void Win32ControlValues::InsertListItem(int id, int index, std::string_view text) {
  HWND control = Item(id);
  if (control == nullptr) return;
  const std::string item(text);
  SendMessageA(control, IsComboBox(control) ? CB_INSERTSTRING : LB_INSERTSTRING,
               static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.c_str()));
}

void Win32ControlValues::RemoveListItem(int id, int index) {
  HWND control = Item(id);
  if (control == nullptr) return;
  SendMessageA(control, IsComboBox(control) ? CB_DELETESTRING : LB_DELETESTRING,
               static_cast<WPARAM>(index), 0);
}

void Win32ControlValues::EnableControl(int id, bool enabled) {
  if (HWND control = Item(id)) EnableWindow(control, enabled ? TRUE : FALSE);
}

void Win32ControlValues::FocusRefused(int id) {
  HWND control = Item(id);
  if (control == nullptr) return;
  SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
  SendMessageA(control, EM_SETSEL, 0, -1);
}

}  // namespace quorvel::win32
