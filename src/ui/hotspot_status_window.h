// The status window (热点状态) on Win32: owned by the main window, one at a time, each line a static control
// of its own so that a screen reader reads it as it is, the join code drawn by the program, and the
// connected devices in a report-style list view. hotspot_status_window.cpp handles its messages;
// hotspot_status_window_layout.cpp makes its fonts, rectangles and join code for the monitor's DPI.
#pragma once

#include "platform/win32/windows_api.h"

#include <array>
#include <chrono>

#include "platform/win32/handles.h"
#include "resources/resource.h"
#include "ui/hotspot_status_view.h"
#include "ui/win32_device_list.h"
#include "ui/win32_dpi.h"
#include "ui/win32_window.h"

namespace lumvora::win32 {

inline constexpr DWORD kHotspotStatusStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // fixed, close box only
inline constexpr wchar_t kHotspotStatusTitle[] = L"热点状态";

class HotspotStatusWindow : public HotspotStatusView {
 public:
  HotspotStatusWindow(HINSTANCE instance, HotspotStatusViewEvents& events) : instance_(instance), events_(events) {}
  HotspotStatusWindow(const HotspotStatusWindow&) = delete;
  HotspotStatusWindow& operator=(const HotspotStatusWindow&) = delete;
  ~HotspotStatusWindow() override;

  // The main window, which owns it: it stays above it, and goes with it.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Handle() const { return hwnd_; }
  // For the message loop: Esc (and Tab) in the window or its list. True when the message was one of them.
  bool TranslateDialogKeys(MSG& msg) const;

  // HotspotStatusView
  void Open() override;
  bool IsOpen() const override { return hwnd_ != nullptr; }
  void Show(const HotspotStatusContent& content) override;
  void RefreshAfter(std::chrono::milliseconds delay) override;

 private:
  // The controls in window order, which is also the order a screen reader takes them in.
  static constexpr std::array<int, 8> kControls = {IDC_STATUS_STATE, IDC_STATUS_NAME, IDC_STATUS_KEY,
                                                   IDC_STATUS_SHARED, IDC_STATUS_CODE, IDC_STATUS_CODE_HINT,
                                                   IDC_STATUS_DEVICES_LABEL, IDC_STATUS_DEVICES};
  // Each control's rectangle in the client area, and the client area's height, for the content at a DPI.
  struct Layout {
    std::array<RECT, kControls.size()> rects{};
    int clientHeight = 0;
  };

  friend LRESULT CALLBACK WindowProcOf<HotspotStatusWindow>(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnActivate(int state);
  void OnTimer();
  void OnNcDestroy();
  void OnDrawCode(const DRAWITEMSTRUCT& item) const;
  void OnDpiChanged(int dpi, const RECT& suggested);
  void OnGetDpiScaledSize(int dpi, SIZE* size) const;

  void CreateControls();
  void SetLine(int id, const std::wstring& text, const std::wstring& shown);
  // The appearance (hotspot_status_window_layout.cpp).
  Layout LayOut(int dpi, HFONT font) const;
  void ApplyLayout();
  void DrawCode();
  // Beside the main window, within the work area of its monitor.
  void PlaceBesideOwner(SIZE size);
  SIZE WindowSize(int dpi, int clientHeight) const;

  HWND hwnd_ = nullptr;
  // What the window shows, and where, laid out for it at dpi_.
  HotspotStatusContent shown_;
  Layout layout_;
  int dpi_ = kDesignDpi;
  DeviceList devices_;
  // The join code at the window's DPI, drawn once for each code and DPI; painting only copies it.
  UniqueBitmap code_;
  UniqueFont font_;
  UniqueIcon bigIcon_, smallIcon_;
  HINSTANCE instance_;
  HotspotStatusViewEvents& events_;
  HWND owner_ = nullptr;
};

}  // namespace lumvora::win32
