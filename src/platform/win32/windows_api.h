// windows.h for the Win32 layer. It defines DeleteFile as a macro, which would also rename the platform
// operation of that name; the layer calls DeleteFileW by its own name instead.
#pragma once

#include <windows.h>

#undef DeleteFile
