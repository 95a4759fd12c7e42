// The main window on Win32: creates the controls and turns window messages into calls of the MainController.
#pragma once

#include "platform/win32_windows.h"

#include <future>
#include <string>

#include "app/main_controller.h"
#include "help/help_progress_window.h"
#include "platform/win32_connection_sharing.h"
#include "platform/win32_handles.h"
#include "platform/win32_platform.h"
#include "platform/win32_worker.h"
#include "ui/main_view.h"
#include "ui/win32_dpi.h"
#include "ui/win32_picture.h"
#include "ui/window_class_names.h"

namespace lumvora::win32 {

class MainWindow : public MainView {
 public:
  MainWindow(HINSTANCE instance, Win32Platform& platform,
             std::chrono::milliseconds commandTimeLimit = kCommandTimeLimit, MobileHotspot* mobileHotspot = nullptr);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window hidden, then runs the start-up that shows it (or ends the process).
  void Create();
  HWND Handle() const { return hwnd_; }

  // MainView
  void SetVersionCaption(const std::wstring& caption) override;
  std::wstring Ssid() override;
  std::wstring Key() override;
  void Show() override;
  void Hide() override;
  void ShowAgain() override;
  void SetBusy(bool busy) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void OnCreate();
  void OnCommand(int id, int notification);
  void OnClose();
  // Logoff or shutdown: asked (query) or told. Ends a command that runs before the session does.
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
  template <typename Place>
  void LayOutControls(Place place) const;
  void LoadIcons();
  void LoadHandCursor();
  // The window's outer size and its place centred on the screen, at a DPI.
  SIZE WindowSize(int dpi) const;
  void CentreOnScreen(int dpi);

  std::wstring ControlText(int id) const;

  HINSTANCE instance_;
  Win32Platform& platform_;
  HelpProgressWindow helpProgress_;
  Win32Worker worker_;
  Win32ConnectionSharing sharing_;  // loads nothing until a start has worked
  MainController controller_;
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
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  UniqueCursor hand_;
  // While a command runs: the window is disabled and shows the busy cursor.
  bool busy_ = false;
  HWND focusBeforeBusy_ = nullptr;
  HWND focusOnActivate_ = nullptr;
};

}  // namespace lumvora::win32
