// The main window on Win32: creates the controls and turns window messages into calls of its events (the
// main window's logic).
#pragma once

#include "platform/win32/windows_api.h"

#include <functional>
#include <future>
#include <string>

#include "platform/win32/handles.h"
#include "ui/layout.h"
#include "ui/main_view.h"
#include "ui/win32_dpi.h"
#include "ui/win32_picture.h"
#include "ui/win32_window.h"
#include "ui/window_class_names.h"

namespace lumvora::win32 {

inline constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // fixed border, close box only
inline constexpr DWORD kMainWindowExStyle = 0;

class MainWindow : public MainView {
 public:
  MainWindow(HINSTANCE instance, MainViewEvents& events) : instance_(instance), events_(events) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window hidden; the logic's start-up shows it.
  void Create();
  HWND Handle() const { return hwnd_; }
  // For the message loop: F2 in the window or one of its controls opens the status window. True when the
  // message was the key and has been handled.
  bool TranslateShortcut(MSG& msg) const;

  // MainView
  void SetVersionCaption(const std::wstring& caption) override;
  std::wstring Ssid() override;
  std::wstring Key() override;
  void Show() override;
  void Hide() override;
  void ShowAgain() override;
  void SetBusy(bool busy) override;

 private:
  friend LRESULT CALLBACK WindowProcOf<MainWindow>(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void OnCreate();
  void OnCommand(int id, int notification);
  void OnClose();
  // Logoff or shutdown, as it happens (or is called off): ends a command that runs before the session does.
  void OnEndSession(bool ending);
  // True when it gave the focus back to a control (the default would give it to the window).
  bool OnActivate(int state);
  bool OnEraseBackground(HDC dc);
  void TakeBackground();
  HBRUSH OnCtlColorStatic(HDC dc, HWND control);
  bool OnSetCursor(HWND over, int hitTest);
  void OnRightButtonDown(POINT client);
  // True when it opened the menu: for the keyboard's request from a button only.
  bool OnContextMenu(POINT screen);
  void OnHelp(const HELPINFO& help);
  void OnDpiChanged(int dpi, const RECT& suggested);
  void OnGetDpiScaledSize(int dpi, SIZE* size) const;

  void ShowMenuAt(POINT screen);
  // Fonts, control rectangles, picture, icons and cursor for dpi_.
  void CreateFonts();
  void CreateControls();
  // Calls place with each control's layout, its rectangle and its font at dpi_.
  void LayOutControls(const std::function<void(const ControlSpec&, const RECT&, HFONT)>& place) const;
  void LoadIcons();
  void LoadHandCursor();
  // The window's outer size and its place centred on the screen, at a DPI.
  SIZE WindowSize(int dpi) const;
  void CentreOnScreen(int dpi);

  std::wstring ControlText(int id) const;

  HINSTANCE instance_;
  MainViewEvents& events_;
  HWND hwnd_ = nullptr;
  // The DPI that every measure, font and picture is scaled to; the class icons were loaded for classDpi_.
  int dpi_ = kDesignDpi;
  int classDpi_ = kDesignDpi;
  UniqueFont dialogFont_;
  UniqueFont largeFont_;
  // The picture is decoded (and scaled) beside the window's creation and taken when it is first painted.
  std::future<ScaledPicture> pendingBackground_;
  ScaledPicture background_;
  bool backgroundTaken_ = false;
  UniqueMenu menu_;
  UniqueAccelerators shortcuts_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  UniqueCursor hand_;
  // While a command runs: the window is disabled and shows the busy cursor.
  bool busy_ = false;
  HWND focusBeforeBusy_ = nullptr;
  HWND focusOnActivate_ = nullptr;
};

}  // namespace lumvora::win32
