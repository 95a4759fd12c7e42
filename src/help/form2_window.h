// The progress strip on Win32: a borderless window without a taskbar button, filled by a progress bar.
#pragma once

#include "platform/win32_windows.h"

#include "help/form2_view.h"

namespace lumvora::win32 {

inline constexpr wchar_t kForm2ClassName[] = L"LumvoraForm2";
inline constexpr int kForm2ClientWidth = 289;
inline constexpr int kForm2ClientHeight = 17;

class Form2Window : public Form2View {
 public:
  explicit Form2Window(HINSTANCE instance) : instance_(instance) {}
  Form2Window(const Form2Window&) = delete;
  Form2Window& operator=(const Form2Window&) = delete;
  ~Form2Window() override { Close(); }

  void Show() override;
  void Close() override;
  void SetP1Min(float value) override;
  void SetP1Max(float value) override;
  void SetP1Value(float value) override;

 private:
  void ApplyRange();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  HWND p1_ = nullptr;
  float min_ = 0;
  float max_ = 100;
  // The bar is redrawn only when the position it draws changes: with one update per byte, repainting on
  // every call would cost far more than writing the file.
  int drawnPosition_ = -1;
};

}  // namespace lumvora::win32
