// The status window's appearance: the state across the top; the name, the key, the shared connection and
// the line under them on the left of the join code (each as high as its text wraps to); the devices below;
// the join code drawn module by module; the window beside the main window. Every measure is designed at
// 96 DPI and scaled to the window's DPI, and made again when it changes; at 200 % the window still fits a
// screen of 768 pixels, but for the longest names and keys.
#include "ui/hotspot_status_window.h"

#include <algorithm>
#include <utility>

namespace lumvora::win32 {
namespace {

// At 96 DPI.
constexpr int kClientWidth = 460;
constexpr int kMargin = 12;
constexpr int kLineGap = 4;
constexpr int kSectionGap = 10;
constexpr int kCodeGap = 12;           // between the lines and the join code on their right
constexpr int kDeviceListHeight = 92;  // the column titles and four devices
constexpr int kOwnerGap = 8;  // between the main window and this one
// A module of the join code is at least 4 pixels at 96 DPI, so that a phone's camera reads it from a
// screen; every QR code needs a light border of four modules round it.
constexpr int kModulePixels = 4;
constexpr int kQuietZoneModules = 4;

// The height of the text as a static control with SS_EDITCONTROL draws it in that width.
int TextHeight(HDC dc, const std::wstring& text, int width) {
  const std::wstring measured = text.empty() ? std::wstring(L" ") : text;
  RECT rect{0, 0, width, 0};
  ::DrawTextW(dc, measured.c_str(), static_cast<int>(measured.size()), &rect,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  return rect.bottom;
}

RECT WorkAreaOf(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  return monitor.rcWork;
}

// The top at which a window of that height lies within the work area, as near the wanted one as it can.
int TopWithin(const RECT& work, int wanted, int height) {
  return std::max<int>(work.top, std::min<int>(wanted, work.bottom - height));
}

}  // namespace

HotspotStatusWindow::Layout HotspotStatusWindow::LayOut(int dpi, HFONT font) const {
  Layout layout;
  const UniqueDc measuring(::CreateCompatibleDC(nullptr));
  const HGDIOBJ old = ::SelectObject(measuring.Get(), font);
  const int left = Scale(kMargin, dpi);
  const int width = Scale(kClientWidth - 2 * kMargin, dpi);
  int y = Scale(kMargin, dpi);
  auto place = [&](std::size_t index, int x, int w, int h, int gapAfter) {
    layout.rects[index] = RECT{x, y, x + w, y + h};
    y += h + Scale(gapAfter, dpi);
  };
  place(0, left, width, TextHeight(measuring.Get(), shown_.state, width), 2 * kLineGap);
  // With a code, the lines leave its width free on the right.
  const int side = shown_.codeSize > 0 ? (shown_.codeSize + 2 * kQuietZoneModules) * Scale(kModulePixels, dpi) : 0;
  const int linesWidth = side > 0 ? width - side - Scale(kCodeGap, dpi) : width;
  const int top = y;
  const std::wstring* lines[] = {&shown_.name, &shown_.key, &shown_.shared};
  for (std::size_t i = 1; i < 4; ++i) place(i, left, linesWidth, TextHeight(measuring.Get(), *lines[i - 1], linesWidth), kLineGap);
  if (!shown_.codeHint.empty()) {
    y += Scale(kSectionGap - kLineGap, dpi);
    place(5, left, linesWidth, TextHeight(measuring.Get(), shown_.codeHint, linesWidth), kLineGap);
  }
  if (side > 0) {
    layout.rects[4] = RECT{left + width - side, top, left + width, top + side};
    y = std::max(y, top + side + Scale(kLineGap, dpi));
  }
  y += Scale(kSectionGap - kLineGap, dpi);
  place(6, left, width, TextHeight(measuring.Get(), shown_.devicesHeading, width), kLineGap);
  place(7, left, width, Scale(kDeviceListHeight, dpi), kMargin);
  layout.clientHeight = y;
  ::SelectObject(measuring.Get(), old);
  return layout;
}

SIZE HotspotStatusWindow::WindowSize(int dpi, int clientHeight) const {
  return WindowSizeForClient(SIZE{Scale(kClientWidth, dpi), clientHeight}, kHotspotStatusStyle, 0, dpi);
}

void HotspotStatusWindow::PlaceBesideOwner(SIZE size) {
  RECT owner{};
  ::GetWindowRect(owner_, &owner);
  const RECT work = WorkAreaOf(owner_);
  const int gap = Scale(kOwnerGap, dpi_);
  // Right of the main window; else left of it; else as far right as the work area goes.
  int x = owner.right + gap;
  if (x + size.cx > work.right) x = owner.left - gap - size.cx;
  if (x < work.left) x = std::max<int>(work.left, work.right - size.cx);
  ::SetWindowPos(hwnd_, nullptr, x, TopWithin(work, owner.top, size.cy), size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void HotspotStatusWindow::ApplyLayout() {
  const Layout layout = LayOut(dpi_, font_.Get());
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const RECT& rect = layout.rects[i];
    if (::EqualRect(&rect, &layout_.rects[i])) continue;
    ::MoveWindow(::GetDlgItem(hwnd_, kControls[i]), rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, TRUE);
  }
  const int showCode = shown_.codeSize > 0 ? SW_SHOWNA : SW_HIDE;
  ::ShowWindow(::GetDlgItem(hwnd_, IDC_STATUS_CODE), showCode);
  ::ShowWindow(::GetDlgItem(hwnd_, IDC_STATUS_CODE_HINT), shown_.codeHint.empty() ? SW_HIDE : SW_SHOWNA);
  RECT client{}, window{};
  ::GetClientRect(hwnd_, &client);
  if (client.bottom != layout.clientHeight) {
    // The content grew or shrank: the window follows it downwards, staying within the work area.
    ::GetWindowRect(hwnd_, &window);
    const SIZE size = WindowSize(dpi_, layout.clientHeight);
    ::SetWindowPos(hwnd_, nullptr, window.left, TopWithin(WorkAreaOf(hwnd_), window.top, size.cy), size.cx,
                   size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  layout_ = layout;
}

void HotspotStatusWindow::DrawCode() {
  code_.Reset();
  const int modules = shown_.codeSize;
  if (modules <= 0 || shown_.codeDark.size() != static_cast<std::size_t>(modules) * modules) return;
  const int module = Scale(kModulePixels, dpi_);
  const int side = (modules + 2 * kQuietZoneModules) * module;
  const HDC screen = ::GetDC(hwnd_);
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, side, side));
  const UniqueDc memory(::CreateCompatibleDC(screen));
  ::ReleaseDC(hwnd_, screen);
  if (!bitmap || !memory) return;
  // Dark modules on white, whatever the system's colours: that is what a scanner looks for.
  const HGDIOBJ old = ::SelectObject(memory.Get(), bitmap.Get());
  const RECT all{0, 0, side, side};
  ::FillRect(memory.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  const auto dark = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  for (int y = 0; y < modules; ++y) {
    for (int x = 0; x < modules; ++x) {
      if (!shown_.codeDark[static_cast<std::size_t>(y) * modules + x]) continue;
      const RECT cell{(x + kQuietZoneModules) * module, (y + kQuietZoneModules) * module,
                      (x + kQuietZoneModules + 1) * module, (y + kQuietZoneModules + 1) * module};
      ::FillRect(memory.Get(), &cell, dark);
    }
  }
  ::SelectObject(memory.Get(), old);
  code_ = std::move(bitmap);
  ::InvalidateRect(::GetDlgItem(hwnd_, IDC_STATUS_CODE), nullptr, FALSE);
}

void HotspotStatusWindow::OnDrawCode(const DRAWITEMSTRUCT& item) const {
  if (item.CtlID != IDC_STATUS_CODE || !code_) return;
  const UniqueDc memory(::CreateCompatibleDC(item.hDC));
  const HGDIOBJ old = ::SelectObject(memory.Get(), code_.Get());
  ::BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
           item.rcItem.bottom - item.rcItem.top, memory.Get(), 0, 0, SRCCOPY);
  ::SelectObject(memory.Get(), old);
}

void HotspotStatusWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  // The DPI comes from the message: while the window is dragged, GetDpiForWindow may still give the old one.
  dpi_ = dpi;
  ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The controls take the new font before the old one is deleted.
  const UniqueFont oldFont = std::move(font_);
  font_.Reset(CreateSongTi(9, dpi_));
  for (const int id : kControls) {
    ::SendMessageW(::GetDlgItem(hwnd_, id), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
  }
  devices_.ScaleColumns(dpi_);
  SetWindowIcons(hwnd_, instance_, IDI_LUMVORA, dpi_, bigIcon_, smallIcon_);
  DrawCode();
  layout_ = Layout();
  ApplyLayout();
}

void HotspotStatusWindow::OnGetDpiScaledSize(int dpi, SIZE* size) const {
  // The content decides the height: laid out with the font at that DPI.
  const UniqueFont font(CreateSongTi(9, dpi));
  *size = WindowSize(dpi, LayOut(dpi, font.Get()).clientHeight);
}

}  // namespace lumvora::win32
