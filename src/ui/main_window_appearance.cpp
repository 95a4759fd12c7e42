// The main window's appearance: fonts, control rectangles, icons, cursor, background picture and colours,
// each made for the window's DPI and made again when it changes.
#include "ui/main_window.h"

#include <imm.h>

#include <cwchar>
#include <utility>

#include "platform/win32/startup_trace.h"
#include "resources/resource.h"

namespace lumvora::win32 {
namespace {

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


}  // namespace

void MainWindow::CreateControls() {
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
}

void MainWindow::CreateFonts() {
  dialogFont_.Reset(CreateSongTi(9, dpi_));
  largeFont_.Reset(CreateSongTi(12, dpi_));
}

void MainWindow::LayOutControls(const std::function<void(const ControlSpec&, const RECT&, HFONT)>& place) const {
  const UniqueDc measuring(::CreateCompatibleDC(nullptr));
  for (const ControlSpec& layout : kMainControls) {
    const HFONT font = layout.font == ControlFont::Large ? largeFont_.Get() : dialogFont_.Get();
    place(layout, ControlRect(measuring.Get(), font, layout, dpi_), font);
  }
}

void MainWindow::LoadIcons() {
  // Set on the window, replacing the class's icons, which were loaded for another DPI.
  SetWindowIcons(hwnd_, instance_, IDI_LUMVORA, dpi_, bigIcon_, smallIcon_);
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
    case IDC_HELP_LINK:
    case IDC_STATUS_LINK: colour = RGB(0, 0, 128); break;
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
  if (hitTest != HTCLIENT || (over != ::GetDlgItem(hwnd_, IDC_HELP_LINK) && over != ::GetDlgItem(hwnd_, IDC_STATUS_LINK))) {
    return false;
  }
  // Loaded when first needed: under Wine, loading it at the DPI's size costs start-up a few milliseconds.
  if (!hand_) LoadHandCursor();
  if (!hand_) return false;
  ::SetCursor(hand_.Get());
  return true;
}

}  // namespace lumvora::win32
