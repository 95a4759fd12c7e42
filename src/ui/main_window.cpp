#include "ui/main_window.h"

#include <imm.h>
#include <windowsx.h>

#include <cwchar>
#include <utility>

#include "platform/platform.h"
#include "platform/win32/startup_trace.h"
#include "platform/win32/system_library.h"
#include "resources/resource.h"

namespace lumvora::win32 {
namespace {

bool IsButton(int id) { return id == IDC_CREATE_HOTSPOT || id == IDC_START_HOTSPOT || id == IDC_CLOSE_HOTSPOT; }

}  // namespace

void MainWindow::Create() {
  // The DPI of the monitor the window opens on; WM_CREATE corrects it should the window's own differ.
  classDpi_ = SystemDpi();
  // Decoding the JPEG costs about as much as creating the window and its controls: do both at once.
  try {
    pendingBackground_ = std::async(std::launch::async, [instance = instance_, dpi = classDpi_] {
      ScaledPicture picture(LoadPictureResource(instance, IDR_BACKGROUND));
      picture.ScaleFor(dpi);
      LUMVORA_STARTUP_MARK("picture decoded (on its thread)");
      return picture;
    });
    LUMVORA_STARTUP_MARK("picture decoding thread started");
  } catch (const std::system_error&) {
    // No thread to be had: the picture is decoded when it is first needed.
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &WindowProcOf<MainWindow>;
  wc.hInstance = instance_;
  wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClassName;
  wc.hIcon = static_cast<HICON>(LoadImageForDpi(instance_, IDI_LUMVORA, IMAGE_ICON, SM_CXICON, classDpi_));
  wc.hIconSm = static_cast<HICON>(LoadImageForDpi(instance_, IDI_LUMVORA, IMAGE_ICON, SM_CXSMICON, classDpi_));
  LUMVORA_STARTUP_MARK("icons loaded");
  if (::RegisterClassExW(&wc) == 0) {
    throw PlatformError(L"注册主窗口类", kMainWindowClassName, SystemErrorText(::GetLastError()));
  }
  LUMVORA_STARTUP_MARK("window class registered");

  // Created where it will be shown, centred on the screen. Moving it there later is slower under Wine: the
  // move, not the showing, then pays for setting up the window on the display.
  const SIZE size = WindowSize(classDpi_);
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
  hwnd_ = ::CreateWindowExW(kMainWindowExStyle, kMainWindowClassName, kAppTitle, kMainWindowStyle, x, y, size.cx,
                            size.cy, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) {
    throw PlatformError(L"创建主窗口", kAppTitle, SystemErrorText(::GetLastError()));
  }
  LUMVORA_STARTUP_MARK("main window and its controls created (hidden)");
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_ERASEBKGND:
      if (OnEraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
      break;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
      break;
    case WM_RBUTTONDOWN:
      OnRightButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_CONTEXTMENU:
      if (OnContextMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) return 0;
      break;
    case WM_HELP:
      OnHelp(*reinterpret_cast<const HELPINFO*>(lParam));
      return TRUE;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_GETDPISCALEDSIZE:
      OnGetDpiScaledSize(static_cast<int>(wParam), reinterpret_cast<SIZE*>(lParam));
      return TRUE;
    case WM_ACTIVATE:
      if (OnActivate(LOWORD(wParam))) return 0;
      break;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_SYSCOMMAND:
      // Alt+F4, the system menu and the taskbar's close ask through here. The default handling drops the
      // request while the window is disabled for a command; it is remembered instead.
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        OnClose();
        return 0;
      }
      break;
    case WM_QUERYENDSESSION:
      // Only a question, which another program may still call off: nothing is ended for it, and it is
      // answered at once, as Windows asks.
      return TRUE;
    case WM_ENDSESSION:
      OnEndSession(wParam != FALSE);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MainWindow::OnCreate() {
  LUMVORA_STARTUP_MARK("main window's WM_CREATE");
  dpi_ = WindowDpi(hwnd_);
  CreateFonts();
  LUMVORA_STARTUP_MARK("fonts created");
  // The menu is never shown as a bar: its one pop-up opens where the window is right-clicked.
  menu_.Reset(::CreateMenu());
  const HMENU popup = ::CreatePopupMenu();
  ::AppendMenuW(popup, MF_STRING, IDM_ABOUT, L"关于");
  ::AppendMenuW(popup, MF_STRING, IDM_EXIT, L"退出");
  ::AppendMenuW(menu_.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"菜单");
  LUMVORA_STARTUP_MARK("menu created");
  // F2: a key of its own for 热点状态, as F1 is 使用说明's (F1 comes as WM_HELP, and needs none).
  ACCEL statusKey{FVIRTKEY, VK_F2, IDM_HOTSPOT_STATUS};
  shortcuts_.Reset(::CreateAcceleratorTableW(&statusKey, 1));

  CreateControls();
  if (dpi_ != classDpi_) {
    // Its monitor's DPI is not the primary one's: size, place and icons follow the window's own.
    CentreOnScreen(dpi_);
    LoadIcons();
  }
}

void MainWindow::OnRightButtonDown(POINT client) {
  // Only presses on the background arrive here: controls take their own mouse input.
  POINT screen = client;
  ::ClientToScreen(hwnd_, &screen);
  ShowMenuAt(screen);
}

bool MainWindow::OnContextMenu(POINT screen) {
  // Shift+F10 and the Menu key come as the position -1. The mouse's request that follows a right click is
  // left alone: the press has opened the menu already. A text box answers with its own menu.
  if (screen.x != -1 || screen.y != -1) return false;
  const HWND focus = ::GetFocus();
  if (focus == nullptr || !::IsChild(hwnd_, focus) || !IsButton(::GetDlgCtrlID(focus))) return false;
  RECT button{};
  ::GetWindowRect(focus, &button);
  ShowMenuAt(POINT{button.left, button.bottom});
  return true;
}

void MainWindow::ShowMenuAt(POINT screen) {
  // Not while a command runs: the keyboard still reaches the button that has the focus.
  if (!events_.AcceptsInput()) return;
  ::SetForegroundWindow(hwnd_);
  ::TrackPopupMenu(::GetSubMenu(menu_.Get(), 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, screen.x, screen.y,
                   0, hwnd_, nullptr);
}

void MainWindow::OnHelp(const HELPINFO& help) {
  // F1 on the window or one of its controls; not in a menu, nor in a message box that it owns.
  const auto item = static_cast<HWND>(help.hItemHandle);
  if (help.iContextType != HELPINFO_WINDOW || (item != hwnd_ && !::IsChild(hwnd_, item))) return;
  events_.OnHelpLinkClick();
}

bool MainWindow::TranslateShortcut(MSG& msg) const {
  if (!shortcuts_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
  return ::TranslateAcceleratorW(hwnd_, shortcuts_.Get(), &msg) != 0;
}

void MainWindow::OnCommand(int id, int notification) {
  if (id == IDC_HELP_LINK || id == IDC_STATUS_LINK) {
    if (notification != STN_CLICKED) return;
    id == IDC_HELP_LINK ? events_.OnHelpLinkClick() : events_.OnStatusLinkClick();
    return;
  }
  // The key comes as an accelerator's command (notification 1), not as a click.
  if (id == IDM_HOTSPOT_STATUS) {
    events_.OnStatusLinkClick();
    return;
  }
  if (notification != BN_CLICKED) return;
  switch (id) {
    case IDC_CREATE_HOTSPOT: events_.OnCreateHotspotClick(); break;
    case IDC_START_HOTSPOT: events_.OnStartHotspotClick(); break;
    case IDC_CLOSE_HOTSPOT: events_.OnCloseHotspotClick(); break;
    case IDM_ABOUT: events_.OnMenuAbout(); break;
    case IDM_EXIT: events_.OnMenuExit(); break;
    default: break;
  }
}

void MainWindow::OnClose() { events_.OnClose(); }

void MainWindow::OnEndSession(bool ending) { events_.OnEndSession(ending); }

bool MainWindow::OnActivate(int state) {
  // A plain window gives the focus to itself when it is activated again, after a message box for one:
  // the user would have to click before typing. Like a dialog, remember the control that had the focus
  // and give it back.
  if (state == WA_INACTIVE) {
    const HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(hwnd_, focus)) focusOnActivate_ = focus;
    return false;
  }
  if (focusOnActivate_ == nullptr || !::IsChild(hwnd_, focusOnActivate_) || !::IsWindowEnabled(hwnd_)) return false;
  ::SetFocus(focusOnActivate_);
  return true;
}

std::wstring MainWindow::ControlText(int id) const {
  const HWND control = ::GetDlgItem(hwnd_, id);
  const int length = ::GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

void MainWindow::SetVersionCaption(const std::wstring& caption) {
  ::SetDlgItemTextW(hwnd_, IDC_VERSION_LABEL, caption.c_str());
}

std::wstring MainWindow::Ssid() { return ControlText(IDC_SSID_EDIT); }

std::wstring MainWindow::Key() { return ControlText(IDC_KEY_EDIT); }

void MainWindow::Show() {
  LUMVORA_STARTUP_MARK("start-up logic done (version read, single instance checked)");
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
  LUMVORA_STARTUP_MARK("window shown");
  ::UpdateWindow(hwnd_);
  LUMVORA_STARTUP_MARK("first paint done");
  LUMVORA_STARTUP_END();
  if (const HWND first = ::GetDlgItem(hwnd_, IDC_SSID_EDIT)) ::SetFocus(first);
}

void MainWindow::Hide() { ::ShowWindow(hwnd_, SW_HIDE); }

void MainWindow::ShowAgain() {
  ::ShowWindow(hwnd_, SW_SHOW);
  ::UpdateWindow(hwnd_);
}

void MainWindow::SetBusy(bool busy) {
  busy_ = busy;
  POINT pointer{};
  RECT window{};
  // The cursor changes at once where it is over the window, not only at the mouse's next move.
  const bool over = ::GetCursorPos(&pointer) && ::GetWindowRect(hwnd_, &window) && ::PtInRect(&window, pointer);
  if (busy) {
    focusBeforeBusy_ = ::GetFocus();
    ::EnableWindow(hwnd_, FALSE);
    if (over) ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514) /* IDC_WAIT */));
    return;
  }
  ::EnableWindow(hwnd_, TRUE);
  if (over) ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */));
  if (focusBeforeBusy_ != nullptr && ::IsChild(hwnd_, focusBeforeBusy_)) ::SetFocus(focusBeforeBusy_);
}

}  // namespace lumvora::win32