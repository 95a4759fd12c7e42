#include "help/help_progress_window.h"

#include <commctrl.h>

#include <cmath>

#include "ui/win32_common_controls.h"
#include "ui/win32_dpi.h"
#include "ui/win32_window.h"

namespace lumvora::win32 {
namespace {

// The bar advances in this many steps. Under Wine a repaint of the bar costs about as much as writing
// ten thousand bytes, so it is drawn a few dozen times rather than once per pixel of its width.
constexpr int kBarSteps = 32;

}  // namespace

void HelpProgressWindow::Show() {
  if (hwnd_ != nullptr) return;
  InitCommonControlClasses(ICC_PROGRESS_CLASS);
  if (!RegisterPlainWindowClass(instance_, kHelpProgressClassName, ::DefWindowProcW)) return;
  // No border and no title bar; a tool window gets no taskbar button. The window text is never shown (no
  // title bar); the class name serves as one.
  hwnd_ = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kHelpProgressClassName, kHelpProgressClassName,
                            WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr);
  if (hwnd_ == nullptr) return;
  // Sized at the DPI of the primary monitor, where it opens centred (the corner it is created at lies on it too).
  const int dpi = WindowDpi(hwnd_);
  const int width = Scale(kHelpProgressWidth, dpi);
  const int height = Scale(kHelpProgressHeight, dpi);
  ::SetWindowPos(hwnd_, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  bar_ = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height, hwnd_, nullptr,
                           instance_, nullptr);
  ApplyRange();
  ::ShowWindow(hwnd_, SW_SHOWNA);
  ::UpdateWindow(hwnd_);
}

void HelpProgressWindow::Close() {
  if (hwnd_ == nullptr) return;
  ::DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  bar_ = nullptr;
  drawnPosition_ = -1;
}

void HelpProgressWindow::SetBarMin(float value) {
  min_ = value;
  ApplyRange();
}

void HelpProgressWindow::SetBarMax(float value) {
  max_ = value;
  ApplyRange();
}

void HelpProgressWindow::ApplyRange() {
  if (bar_ == nullptr) return;
  ::SendMessageW(bar_, PBM_SETRANGE32, 0, kBarSteps);
  drawnPosition_ = -1;
}

void HelpProgressWindow::SetBarValue(float value) {
  if (bar_ == nullptr || max_ <= min_) return;
  const float fraction = std::fmin(std::fmax((value - min_) / (max_ - min_), 0.0f), 1.0f);
  const int position = static_cast<int>(fraction * static_cast<float>(kBarSteps));
  if (position == drawnPosition_) return;
  drawnPosition_ = position;
  ::SendMessageW(bar_, PBM_SETPOS, position, 0);
  // The main window is hidden and no message loop runs while the document is written: paint now.
  ::UpdateWindow(bar_);
}

}  // namespace lumvora::win32
