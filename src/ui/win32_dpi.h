// The display scale. Every measure is designed at 96 DPI and scaled to the DPI of the window's monitor.
// The per-monitor calls exist from Windows 10 1607 on: they are looked up in user32, and older systems,
// where the whole process has one DPI, fall back to the screen's.
#pragma once

#include "platform/win32/windows_api.h"

#include "platform/win32/handles.h"

namespace lumvora::win32 {

inline constexpr int kDesignDpi = 96;

inline int Scale(int designed, int dpi) { return ::MulDiv(designed, dpi, kDesignDpi); }

// The DPI of the primary monitor, where a new window opens centred, before the window exists.
int SystemDpi();
int WindowDpi(HWND window);
// The size of the window whose client area is client pixels at that DPI (frame and title bar added).
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);
// GetSystemMetrics at that DPI (icon and cursor sizes).
int SystemMetricForDpi(int index, int dpi);

// 宋体 at a point size for a DPI, named explicitly with the GB2312 character set, so that the designed label
// sizes hold whatever the system's own dialog font is.
HFONT CreateSongTi(int points, int dpi);

// An icon or cursor resource loaded at the size that the system wants at that DPI (metric: SM_CXICON,
// SM_CXSMICON or SM_CXCURSOR).
HANDLE LoadImageForDpi(HINSTANCE instance, int id, UINT type, int metric, int dpi);

// The window's title-bar and taskbar icons, at that DPI's sizes, in place of whatever it had: the ones given
// are kept for as long as the window shows them.
void SetWindowIcons(HWND window, HINSTANCE instance, int id, int dpi, UniqueIcon& big, UniqueIcon& small);

}  // namespace lumvora::win32
