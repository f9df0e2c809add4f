#pragma once
// The desk windows of the Win32 face as the application object opens them: the options
// sheet and the main dialog.

#include <functional>
#include <string>

#include "app/settings.h"
#include "faces/win32/resources/windows_api.h"
#include "platform/services.h"

namespace quorvel::win32 {

class Win32UserMessages;

// Runs the options sheet "Quorvel Options" over `owner`; true when it was closed with OK
// (what the pages hold is stored then).
bool RunOptionsSheet(HWND owner, Settings& settings, const Services& services,
                     Win32UserMessages& messages);

// Runs the main dialog modally, without a parent, on `diskPath`; `runOptions` opens the
// options sheet over it.
void RunMainDialog(Settings& settings, const Services& services, Win32UserMessages& messages,
                   const std::function<bool(HWND owner)>& runOptions, const std::string& diskPath);

}  // namespace quorvel::win32
