#pragma once
// windows.h as the face includes it: the ANSI functions, without the macro that would
// rename the string table's LoadString to the system's LoadStringA.

#include <windows.h>

#ifdef LoadString
#undef LoadString
#endif
