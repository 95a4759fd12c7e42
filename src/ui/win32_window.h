// What every window of the program does the same way: its class registered, and its window procedure
// handing each message to the window's object.
#pragma once

#include "platform/win32/windows_api.h"

namespace lumvora::win32 {

// A class with the arrow cursor on the button face, registered once; false where it cannot be.
bool RegisterPlainWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC windowProc);

// The window procedure of a window's object (one with hwnd_ and HandleMessage, which makes it a friend):
// the object is the creation parameter, linked to the window at WM_NCCREATE and kept in GWLP_USERDATA.
template <typename Window>
LRESULT CALLBACK WindowProcOf(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self != nullptr ? self->HandleMessage(message, wParam, lParam) : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace lumvora::win32
