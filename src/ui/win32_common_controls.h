// The common controls (the progress strip's bar, the status window's device list). comctl32 is not one of
// the system's known DLLs: imported, it would be looked for beside the exe first, where anyone may put a
// file of that name. It is loaded from the system directory when a control of it is first needed instead.
#pragma once

#include "platform/win32/windows_api.h"

namespace lumvora::win32 {

// Registers the window classes of the controls (ICC_PROGRESS_CLASS, ICC_LISTVIEW_CLASSES, ...); false where
// comctl32 cannot be had.
bool InitCommonControlClasses(DWORD classes);

}  // namespace lumvora::win32
