#include "ui/win32_dpi.h"

#include <utility>

#include "platform/win32/system_library.h"

namespace lumvora::win32 {
namespace {

// user32 is loaded in every window program: looked up there, nothing is loaded from anywhere.
template <typename Function>
Function User32Function(const char* name) {
  return LoadedFunction<Function>(L"user32.dll", name);
}

int ScreenDpi(HWND window) {
  const HDC dc = ::GetDC(window);
  const int dpi = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSY) : kDesignDpi;
  if (dc != nullptr) ::ReleaseDC(window, dc);
  return dpi > 0 ? dpi : kDesignDpi;
}

}  // namespace

int SystemDpi() {
  static const auto getDpiForSystem = User32Function<UINT(WINAPI*)()>("GetDpiForSystem");
  return getDpiForSystem != nullptr ? static_cast<int>(getDpiForSystem()) : ScreenDpi(nullptr);
}

int WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const int dpi = getDpiForWindow != nullptr ? static_cast<int>(getDpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : ScreenDpi(window);
}

SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi) {
  static const auto adjustForDpi =
      User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (adjustForDpi == nullptr || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

int SystemMetricForDpi(int index, int dpi) {
  static const auto metricForDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  return metricForDpi != nullptr ? metricForDpi(index, static_cast<UINT>(dpi)) : ::GetSystemMetrics(index);
}

HFONT CreateSongTi(int points, int dpi) {
  // A negative height is the characters' height, without the internal leading.
  return ::CreateFontW(-::MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       L"宋体");
}

HANDLE LoadImageForDpi(HINSTANCE instance, int id, UINT type, int metric, int dpi) {
  const int size = SystemMetricForDpi(metric, dpi);
  return ::LoadImageW(instance, MAKEINTRESOURCEW(id), type, size, size, 0);
}

void SetWindowIcons(HWND window, HINSTANCE instance, int id, int dpi, UniqueIcon& big, UniqueIcon& small) {
  UniqueIcon newBig(static_cast<HICON>(LoadImageForDpi(instance, id, IMAGE_ICON, SM_CXICON, dpi)));
  UniqueIcon newSmall(static_cast<HICON>(LoadImageForDpi(instance, id, IMAGE_ICON, SM_CXSMICON, dpi)));
  ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newBig.Get()));
  ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(newSmall.Get()));
  big = std::move(newBig);
  small = std::move(newSmall);
}

}  // namespace lumvora::win32
