#include "ui/main_window.h"

#include "resources/resource.h"
#include "ui/layout.h"

namespace lumvora::win32 {
namespace {

constexpr DWORD kForm1Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;  // fixed border, close box only
constexpr DWORD kForm1ExStyle = 0;

// Point size to the font height that CreateFont wants: negative means character height, at 96 DPI.
int HeightForPoints(int points) { return -::MulDiv(points, 96, 72); }

HFONT CreateSongTi(int points) {
  // Named explicitly, with the GB2312 character set, so that the designed label sizes hold whatever the
  // system's own dialog font is.
  return ::CreateFontW(HeightForPoints(points), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       L"宋体");
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Win32Platform& platform)
    : instance_(instance), platform_(platform), form_(platform, *this) {}

void MainWindow::Create() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &MainWindow::WindowProc;
  wc.hInstance = instance_;
  wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kForm1ClassName;
  wc.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_LUMVORA));
  if (::RegisterClassExW(&wc) == 0) {
    throw PlatformError(L"注册主窗口类", kForm1ClassName, SystemErrorText(::GetLastError()));
  }

  RECT frame{0, 0, kForm1ClientWidth, kForm1ClientHeight};
  ::AdjustWindowRectEx(&frame, kForm1Style, FALSE, kForm1ExStyle);
  hwnd_ = ::CreateWindowExW(kForm1ExStyle, kForm1ClassName, kAppTitle, kForm1Style, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) {
    throw PlatformError(L"创建主窗口", kAppTitle, SystemErrorText(::GetLastError()));
  }
  platform_.SetOwnerWindow(hwnd_);
  form_.Load();
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
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

void MainWindow::OnCreate() {
  dialogFont_.Reset(CreateSongTi(9));
  largeFont_.Reset(CreateSongTi(12));
  for (const ControlSpec& spec : kForm1Controls) {
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (spec.kind) {
      case ControlKind::Label:
        style |= SS_LEFT | SS_NOTIFY;
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
    const HWND control = ::CreateWindowExW(exStyle, className, spec.text, style, spec.left, spec.top, spec.width,
                                           spec.height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                                           instance_, nullptr);
    if (control == nullptr) continue;
    const HFONT font = spec.font == ControlFont::Large ? largeFont_.Get() : dialogFont_.Get();
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (spec.kind == ControlKind::PasswordEdit) ::SendMessageW(control, EM_SETPASSWORDCHAR, L'*', 0);
  }
}

void MainWindow::OnCommand(int id, int notification) {
  if (notification != BN_CLICKED) return;
  switch (id) {
    case IDC_COMMAND1: form_.OnCommand1Click(); break;
    case IDC_COMMAND2: form_.OnCommand2Click(); break;
    case IDC_COMMAND3: form_.OnCommand3Click(); break;
    default: break;
  }
}

void MainWindow::OnClose() { form_.OnClose(); }

std::wstring MainWindow::ControlText(int id) const {
  const HWND control = ::GetDlgItem(hwnd_, id);
  const int length = ::GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

void MainWindow::SetVerInfoCaption(const std::wstring& caption) {
  ::SetDlgItemTextW(hwnd_, IDC_VER_INFO, caption.c_str());
}

std::wstring MainWindow::Text1() { return ControlText(IDC_TEXT1); }

std::wstring MainWindow::Text2() { return ControlText(IDC_TEXT2); }

void MainWindow::Show() {
  RECT window{};
  ::GetWindowRect(hwnd_, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
  ::UpdateWindow(hwnd_);
  if (const HWND first = ::GetDlgItem(hwnd_, IDC_TEXT1)) ::SetFocus(first);
}

void MainWindow::SetBusy(bool busy) {
  if (busy) {
    focusBeforeBusy_ = ::GetFocus();
    ::EnableWindow(hwnd_, FALSE);
    return;
  }
  ::EnableWindow(hwnd_, TRUE);
  if (focusBeforeBusy_ != nullptr && ::IsChild(hwnd_, focusBeforeBusy_)) ::SetFocus(focusBeforeBusy_);
}

}  // namespace lumvora::win32
