#include "faces/win32/fullscreen/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "faces/win32/resources/win32_template.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace quorvel::win32 {
namespace {

// The record in its first form: every system that has a tray reads it.
NOTIFYICONDATAA IconData(HWND owner) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = owner;
  data.uID = kTrayIconId;
  return data;
}

}  // namespace

bool CTrayIcon::AddTrayIcon() {
  NOTIFYICONDATAA data = IconData(owner_);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(res::kAppIcon));
  const std::string_view tip = res::LoadString(res::kStrProgramName);
  // The first form of the record holds 64 bytes of tip, the NUL included.
  const std::size_t length = std::min<std::size_t>(tip.size(), 63);
  std::memcpy(data.szTip, tip.data(), length);
  data.szTip[length] = '\0';
  const bool added = Shell_NotifyIconA(NIM_ADD, &data) || Shell_NotifyIconA(NIM_MODIFY, &data);
  if (data.hIcon != nullptr) DestroyIcon(data.hIcon);
  return added;
}

void CTrayIcon::RemoveTrayIcon() {
  NOTIFYICONDATAA data = IconData(owner_);
  Shell_NotifyIconA(NIM_DELETE, &data);
}

void CTrayIcon::ShowMenu() {
  POINT cursor;
  if (!GetCursorPos(&cursor)) return;
  const res::MenuTemplate* menu = res::FindMenuTemplate(res::kTrayMenu);
  if (menu == nullptr) return;
  HMENU popup = BuildPopupMenu(*menu);
  if (popup == nullptr) return;
  // The owner must be the foreground window, or the menu stays open after a click
  // elsewhere; the message after it lets the menu close as it should.
  SetForegroundWindow(owner_);
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner_, nullptr);
  PostMessageA(owner_, WM_NULL, 0, 0);
  DestroyMenu(popup);
}

}  // namespace quorvel::win32
