#include "ui/win32_common_controls.h"

#include <commctrl.h>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {

bool InitCommonControlClasses(DWORD classes) {
  static DWORD registered = 0;
  if ((registered & classes) == classes) return true;
  BOOL(WINAPI * init)(const INITCOMMONCONTROLSEX*) = nullptr;
  if (!FindFunction(LoadSystemLibrary(L"comctl32.dll"), "InitCommonControlsEx", init)) return false;
  const INITCOMMONCONTROLSEX controls{sizeof(controls), classes};
  if (init(&controls) == FALSE) return false;
  registered |= classes;
  return true;
}

}  // namespace lumvora::win32
