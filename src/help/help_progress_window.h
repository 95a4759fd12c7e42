// The progress strip on Win32: a borderless window without a taskbar button, filled by a progress bar.
#pragma once

#include "platform/win32/windows_api.h"

#include "help/help_progress_view.h"
#include "ui/window_class_names.h"

namespace lumvora::win32 {

// At 96 DPI; scaled to the DPI of the monitor it opens on.
inline constexpr int kHelpProgressWidth = 289;
inline constexpr int kHelpProgressHeight = 17;

class HelpProgressWindow : public HelpProgressView {
 public:
  explicit HelpProgressWindow(HINSTANCE instance) : instance_(instance) {}
  HelpProgressWindow(const HelpProgressWindow&) = delete;
  HelpProgressWindow& operator=(const HelpProgressWindow&) = delete;
  ~HelpProgressWindow() override { Close(); }

  void Show() override;
  void Close() override;
  void SetBarMin(float value) override;
  void SetBarMax(float value) override;
  void SetBarValue(float value) override;

 private:
  void ApplyRange();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND bar_ = nullptr;
  float min_ = 0;
  float max_ = 100;
  // The bar is redrawn only when the position it draws changes: with one update per byte, repainting on
  // every call would cost far more than writing the file.
  int drawnPosition_ = -1;
};

}  // namespace lumvora::win32
