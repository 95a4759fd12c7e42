#include "ui/main_window.h"

#include <imm.h>
#include <windowsx.h>

#include <cwchar>
#include <utility>

#include "platform/startup_trace.h"
#include "resources/resource.h"
#include "ui/layout.h"

namespace lumvora::win32 {
namespace {

constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // fixed border, close box only
constexpr DWORD kMainWindowExStyle = 0;

// Point size to the font height that CreateFont wants: negative means character height.
int HeightForPoints(int points, int dpi) { return -::MulDiv(points, dpi, 72); }

HFONT CreateSongTi(int points, int dpi) {
  // Named explicitly, with the GB2312 character set, so that the designed label sizes hold whatever the
  // system's own dialog font is.
  return ::CreateFontW(HeightForPoints(points, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       L"宋体");
}

// Where a control goes at a DPI: each designed measure scaled, and a label sized to its text keeps its
// designed right edge and top. Measured before the control exists, so that it is created where it stays
// rather than moved there.
RECT ControlRect(HDC measuring, HFONT font, const ControlSpec& layout, int dpi) {
  const int left = Scale(layout.left, dpi);
  const int top = Scale(layout.top, dpi);
  RECT rect{left, top, left + Scale(layout.width, dpi), top + Scale(layout.height, dpi)};
  if (layout.sizing != Sizing::ToTextRightAligned || measuring == nullptr) return rect;
  rect.right = Scale(layout.left + layout.width, dpi);
  const HGDIOBJ old = ::SelectObject(measuring, font);
  SIZE text{};
  if (::GetTextExtentPoint32W(measuring, layout.text, static_cast<int>(std::wcslen(layout.text)), &text)) {
    rect.left = rect.right - text.cx;
    rect.bottom = rect.top + text.cy;
  }
  ::SelectObject(measuring, old);
  return rect;
}

// The single 48 x 48 icon, and the 32 x 32 cursor, loaded at the sizes that the system wants at a DPI.
HANDLE LoadImageForDpi(HINSTANCE instance, int id, UINT type, int metric, int dpi) {
  const int size = SystemMetricForDpi(metric, dpi);
  return ::LoadImageW(instance, MAKEINTRESOURCEW(id), type, size, size, 0);
}

// Posted by the worker when a command's work has returned.
constexpr UINT kCommandEndedMessage = WM_APP + 1;

bool IsButton(int id) { return id == IDC_CREATE_HOTSPOT || id == IDC_START_HOTSPOT || id == IDC_CLOSE_HOTSPOT; }

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Win32Platform& platform, std::chrono::milliseconds commandTimeLimit,
                       MobileHotspot* mobileHotspot)
    : instance_(instance),
      platform_(platform),
      helpProgress_(instance),
      worker_(kCommandEndedMessage),
      controller_(platform, *this, helpProgress_, worker_, commandTimeLimit, &sharing_, mobileHotspot) {}

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
  wc.lpfnWndProc = &MainWindow::WindowProc;
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
  platform_.SetOwnerWindow(hwnd_);
  worker_.SetWindow(hwnd_);
  controller_.Start();
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
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
    case kCommandEndedMessage:
      worker_.Finish();
      return 0;
    case WM_QUERYENDSESSION:
      OnEndSession(true);
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

  LayOutControls([this](const ControlSpec& layout, const RECT& rect, HFONT font) {
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (layout.kind) {
      case ControlKind::Label:
        // SS_NOTIFY makes a label take its own mouse clicks, so that a right-click on it does not fall
        // through to the window's background. SS_NOPREFIX: no access keys.
        style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
        break;
      case ControlKind::Edit:
        className = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::PasswordEdit:
        className = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::Button:
        className = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    }
    const HWND control = ::CreateWindowExW(exStyle, className, layout.text, style, rect.left, rect.top,
                                           rect.right - rect.left, rect.bottom - rect.top, hwnd_,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance_,
                                           nullptr);
    if (control == nullptr) return;
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (layout.kind == ControlKind::Edit || layout.kind == ControlKind::PasswordEdit) {
      ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // 0 lifts the default limit of 32767 characters
    }
    if (layout.kind == ControlKind::PasswordEdit) {
      ::SendMessageW(control, EM_SETPASSWORDCHAR, L'*', 0);
      // A key is typed character by character, never composed by an input method.
      ::ImmAssociateContext(control, nullptr);
    }
    LUMVORA_STARTUP_MARK(layout.kind == ControlKind::Button  ? "button created"
                         : layout.kind == ControlKind::Label ? "label created"
                                                             : "text box created");
  });
  if (dpi_ != classDpi_) {
    // Its monitor's DPI is not the primary one's: size, place and icons follow the window's own.
    CentreOnScreen(dpi_);
    LoadIcons();
  }
}

void MainWindow::CreateFonts() {
  dialogFont_.Reset(CreateSongTi(9, dpi_));
  largeFont_.Reset(CreateSongTi(12, dpi_));
}

template <typename Place>
void MainWindow::LayOutControls(Place place) const {
  const UniqueDc measuring(::CreateCompatibleDC(nullptr));
  for (const ControlSpec& layout : kMainControls) {
    const HFONT font = layout.font == ControlFont::Large ? largeFont_.Get() : dialogFont_.Get();
    place(layout, ControlRect(measuring.Get(), font, layout, dpi_), font);
  }
}

void MainWindow::LoadIcons() {
  // Set on the window, replacing the class's icons, which were loaded for another DPI.
  UniqueIcon big(static_cast<HICON>(LoadImageForDpi(instance_, IDI_LUMVORA, IMAGE_ICON, SM_CXICON, dpi_)));
  UniqueIcon small(static_cast<HICON>(LoadImageForDpi(instance_, IDI_LUMVORA, IMAGE_ICON, SM_CXSMICON, dpi_)));
  ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
  ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
  bigIcon_ = std::move(big);
  smallIcon_ = std::move(small);
}

void MainWindow::LoadHandCursor() {
  UniqueCursor hand(
      static_cast<HCURSOR>(LoadImageForDpi(instance_, IDC_POINTING_HAND, IMAGE_CURSOR, SM_CXCURSOR, dpi_)));
  // Shown right now (the mouse is over 使用说明): the new one takes its place before the old one goes.
  if (hand_ && ::GetCursor() == hand_.Get()) ::SetCursor(hand.Get());
  hand_ = std::move(hand);
}

SIZE MainWindow::WindowSize(int dpi) const {
  const SIZE client{Scale(kMainWindowClientWidth, dpi), Scale(kMainWindowClientHeight, dpi)};
  return WindowSizeForClient(client, kMainWindowStyle, kMainWindowExStyle, dpi);
}

void MainWindow::CentreOnScreen(int dpi) {
  const SIZE size = WindowSize(dpi);
  ::SetWindowPos(hwnd_, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  // The DPI comes from the message: while the window is dragged, GetDpiForWindow may still give the old one.
  dpi_ = dpi;
  ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The controls take the new fonts before the old ones are deleted.
  const UniqueFont oldDialogFont = std::move(dialogFont_);
  const UniqueFont oldLargeFont = std::move(largeFont_);
  CreateFonts();
  LayOutControls([this](const ControlSpec& layout, const RECT& rect, HFONT font) {
    const HWND control = ::GetDlgItem(hwnd_, layout.id);
    ::MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  });
  if (backgroundTaken_) background_.ScaleFor(dpi_);
  LoadIcons();
  if (hand_) LoadHandCursor();
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void MainWindow::OnGetDpiScaledSize(int dpi, SIZE* size) const {
  // Windows would scale the whole window, frame included; the client area is what is designed.
  *size = WindowSize(dpi);
}

void MainWindow::TakeBackground() {
  backgroundTaken_ = true;
  background_ = pendingBackground_.valid() ? pendingBackground_.get()
                                           : ScaledPicture(LoadPictureResource(instance_, IDR_BACKGROUND));
  background_.ScaleFor(dpi_);
}

bool MainWindow::OnEraseBackground(HDC dc) {
  if (!backgroundTaken_) {
    TakeBackground();
    LUMVORA_STARTUP_MARK("picture taken for the first paint");
  }
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  if (!background_) return true;
  // At the top-left corner, at the size scaled for the DPI beforehand; what lies below the client area is
  // simply not seen.
  const UniqueDc memory(::CreateCompatibleDC(dc));
  const HGDIOBJ old = ::SelectObject(memory.Get(), background_.Bitmap());
  const SIZE size = background_.Size();
  ::BitBlt(dc, 0, 0, size.cx, size.cy, memory.Get(), 0, 0, SRCCOPY);
  ::SelectObject(memory.Get(), old);
  return true;
}

HBRUSH MainWindow::OnCtlColorStatic(HDC dc, HWND control) {
  // Labels show the background picture through: transparent text on no brush.
  COLORREF colour = RGB(0, 0, 0);
  switch (::GetDlgCtrlID(control)) {
    case IDC_VERSION_LABEL: colour = RGB(0, 0, 255); break;
    case IDC_HELP_LINK: colour = RGB(0, 0, 128); break;
    default: break;
  }
  ::SetTextColor(dc, colour);
  ::SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

bool MainWindow::OnSetCursor(HWND over, int hitTest) {
  if (busy_ && hitTest != HTCAPTION && hitTest != HTCLOSE && hitTest != HTSYSMENU) {
    ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514) /* IDC_WAIT */));
    return true;
  }
  if (hitTest != HTCLIENT || over != ::GetDlgItem(hwnd_, IDC_HELP_LINK)) return false;
  // Loaded when first needed: under Wine, loading it at the DPI's size costs start-up a few milliseconds.
  if (!hand_) LoadHandCursor();
  if (!hand_) return false;
  ::SetCursor(hand_.Get());
  return true;
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
  if (!controller_.AcceptsInput()) return;
  ::SetForegroundWindow(hwnd_);
  ::TrackPopupMenu(::GetSubMenu(menu_.Get(), 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, screen.x, screen.y,
                   0, hwnd_, nullptr);
}

void MainWindow::OnHelp(const HELPINFO& help) {
  // F1 on the window or one of its controls; not in a menu, nor in a message box that it owns.
  const auto item = static_cast<HWND>(help.hItemHandle);
  if (help.iContextType != HELPINFO_WINDOW || (item != hwnd_ && !::IsChild(hwnd_, item))) return;
  controller_.OnHelpLinkClick();
}

void MainWindow::OnCommand(int id, int notification) {
  if (id == IDC_HELP_LINK) {
    if (notification == STN_CLICKED) controller_.OnHelpLinkClick();
    return;
  }
  if (notification != BN_CLICKED) return;
  switch (id) {
    case IDC_CREATE_HOTSPOT: controller_.OnCreateHotspotClick(); break;
    case IDC_START_HOTSPOT: controller_.OnStartHotspotClick(); break;
    case IDC_CLOSE_HOTSPOT: controller_.OnCloseHotspotClick(); break;
    case IDM_ABOUT: controller_.OnMenuAbout(); break;
    case IDM_EXIT: controller_.OnMenuExit(); break;
    default: break;
  }
}

void MainWindow::OnClose() { controller_.OnClose(); }

void MainWindow::OnEndSession(bool ending) { controller_.OnEndSession(ending); }

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
