#pragma once
// The program's icon in the taskbar's status area: icon 42 of the full-screen window,
// with the program's name as its tip and callback message WM_APP + 42, and its menu 131.

#include "faces/win32/resources/windows_api.h"

namespace quorvel::win32 {

inline constexpr UINT kTrayIconId = 42;
inline constexpr UINT kTrayCallbackMessage = WM_APP + 42;

class CTrayIcon {
 public:
  explicit CTrayIcon(HWND owner) : owner_(owner) {}

  // Adds the icon; when the system still holds it (a "TaskbarCreated" that came while
  // it was there), it is modified instead. False when neither worked.
  bool AddTrayIcon();
  // Removing an icon that is not there is harmless.
  void RemoveTrayIcon();
  // Shows the tray menu at the cursor, owned by the window, which receives the chosen
  // command as WM_COMMAND.
  void ShowMenu();

 private:
  HWND owner_;
};

}  // namespace quorvel::win32
