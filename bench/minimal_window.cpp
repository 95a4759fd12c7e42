// The reference for the start-up benchmark: a Win32 program that only creates and shows an empty window.
// Its traced build carries the same start-up marks as Lumvora's, so the two breakdowns line up.
#include <windows.h>

#include "bench_util.h"
#include "platform/win32/startup_trace.h"

namespace {
LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  LUMVORA_STARTUP_BEGIN();
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = bench::kMinimalWindowClassName;
  ::RegisterClassW(&wc);
  LUMVORA_STARTUP_MARK("window class registered");
  const HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"Minimal", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 349, 217, nullptr, nullptr, instance, nullptr);
  LUMVORA_STARTUP_MARK("main window created (hidden)");
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  LUMVORA_STARTUP_MARK("window shown");
  ::UpdateWindow(hwnd);
  LUMVORA_STARTUP_MARK("first paint done");
  LUMVORA_STARTUP_END();
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
