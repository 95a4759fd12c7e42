#include "ui/hotspot_status_window.h"

#include "platform/platform.h"
#include "platform/win32/system_library.h"
#include "ui/window_class_names.h"

namespace lumvora::win32 {
namespace {

constexpr UINT_PTR kRefreshTimer = 1;

}  // namespace

HotspotStatusWindow::~HotspotStatusWindow() {
  if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}

void HotspotStatusWindow::Open() {
  if (hwnd_ != nullptr) {
    if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
    ::SetForegroundWindow(hwnd_);
    return;
  }
  if (!RegisterPlainWindowClass(instance_, kHotspotStatusClassName, &WindowProcOf<HotspotStatusWindow>)) {
    throw PlatformError(L"注册窗口类", kHotspotStatusClassName, SystemErrorText(::GetLastError()));
  }
  // Created hidden where the main window is, so that it takes the DPI of that monitor; then laid out for it.
  RECT owner{};
  ::GetWindowRect(owner_, &owner);
  if (::CreateWindowExW(0, kHotspotStatusClassName, kHotspotStatusTitle, kHotspotStatusStyle, owner.left, owner.top,
                        0, 0, owner_, nullptr, instance_, this) == nullptr) {
    throw PlatformError(L"打开窗口", kHotspotStatusTitle, SystemErrorText(::GetLastError()));
  }
  dpi_ = WindowDpi(hwnd_);
  // The program's icon, at the sizes of the window's own DPI.
  SetWindowIcons(hwnd_, instance_, IDI_LUMVORA, dpi_, bigIcon_, smallIcon_);
  font_.Reset(CreateSongTi(9, dpi_));
  CreateControls();
  PlaceBesideOwner(WindowSize(dpi_, LayOut(dpi_, font_.Get()).clientHeight));
  layout_ = Layout();
  ApplyLayout();
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetFocus(devices_.Handle());
}

void HotspotStatusWindow::CreateControls() {
  for (const int id : kControls) {
    HWND control = nullptr;
    if (id == IDC_STATUS_DEVICES) {
      if (devices_.Create(hwnd_, id, instance_)) control = devices_.Handle();
    } else {
      // Long lines wrap, breaking where they must as an edit control does: a cause is a sentence.
      DWORD style = WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_EDITCONTROL;
      const wchar_t* text = L"";
      if (id == IDC_STATUS_CODE) {
        // Drawn by the window; its text is what a screen reader says of it.
        style = WS_CHILD | SS_OWNERDRAW;
        text = L"连接这个热点的二维码";
      } else if (id == IDC_STATUS_CODE_HINT) {
        style = WS_CHILD | SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL;
      }
      control = ::CreateWindowExW(0, L"STATIC", text, style, 0, 0, 0, 0, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    }
    if (control == nullptr) {
      const DWORD error = ::GetLastError();
      ::DestroyWindow(hwnd_);
      throw PlatformError(L"打开窗口", kHotspotStatusTitle, SystemErrorText(error));
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  }
  devices_.ScaleColumns(dpi_);
}

bool HotspotStatusWindow::TranslateDialogKeys(MSG& msg) const {
  if (hwnd_ == nullptr || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
  // Esc arrives as IDCANCEL, as in a dialog.
  return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

LRESULT HotspotStatusWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) ::DestroyWindow(hwnd_);
      return 0;
    case WM_CLOSE:
      ::DestroyWindow(hwnd_);
      return 0;
    case WM_TIMER:
      if (wParam == kRefreshTimer) OnTimer();
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam));
      return 0;
    case WM_DRAWITEM:
      OnDrawCode(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_GETDPISCALEDSIZE:
      OnGetDpiScaledSize(static_cast<int>(wParam), reinterpret_cast<SIZE*>(lParam));
      return TRUE;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy();
      return 0;
    default:
      return ::DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

void HotspotStatusWindow::OnActivate(int state) {
  // The list is the one control that takes the keyboard: arrows move through the devices.
  if (state != WA_INACTIVE && devices_.Handle() != nullptr) ::SetFocus(devices_.Handle());
}

void HotspotStatusWindow::OnTimer() {
  ::KillTimer(hwnd_, kRefreshTimer);
  events_.OnStatusRefreshDue();
}

void HotspotStatusWindow::OnNcDestroy() {
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  // The controls are gone: their font and picture may go too, and a new window starts from nothing.
  devices_ = DeviceList();
  shown_ = HotspotStatusContent();
  code_.Reset();
  font_.Reset();
  bigIcon_.Reset();
  smallIcon_.Reset();
}

void HotspotStatusWindow::RefreshAfter(std::chrono::milliseconds delay) {
  if (hwnd_ != nullptr) ::SetTimer(hwnd_, kRefreshTimer, static_cast<UINT>(delay.count()), nullptr);
}

void HotspotStatusWindow::SetLine(int id, const std::wstring& text, const std::wstring& shown) {
  // Set only when it changed: a static repaints on every new text, and a refresh mostly changes nothing.
  if (text != shown) ::SetDlgItemTextW(hwnd_, id, text.c_str());
}

void HotspotStatusWindow::Show(const HotspotStatusContent& content) {
  if (hwnd_ == nullptr) return;
  SetLine(IDC_STATUS_STATE, content.state, shown_.state);
  SetLine(IDC_STATUS_NAME, content.name, shown_.name);
  SetLine(IDC_STATUS_KEY, content.key, shown_.key);
  SetLine(IDC_STATUS_SHARED, content.shared, shown_.shared);
  SetLine(IDC_STATUS_DEVICES_LABEL, content.devicesHeading, shown_.devicesHeading);
  SetLine(IDC_STATUS_CODE_HINT, content.codeHint, shown_.codeHint);
  const bool newCode = content.codeSize != shown_.codeSize || content.codeDark != shown_.codeDark;
  shown_ = content;
  if (newCode) DrawCode();
  devices_.Show(content.devices);
  ApplyLayout();
}

}  // namespace lumvora::win32
