#pragma once
// windows.h as the face includes it: the ANSI functions, without the macro that would
// rename the string table's LoadString to the system's LoadStringA; and the common
// controls, which need its types first.

#include <windows.h>
// clang-format off
#include <commctrl.h>
// clang-format on

#ifdef LoadString
#undef LoadString
#endif
