// The main window created inside the test process, where its fonts and cursor can be read back.
#include <gtest/gtest.h>

#include "app/program.h"
#include "resources/resource.h"

#include <imm.h>

#include <vector>

namespace {

using lumvora::Program;

// The DPI that this run's processes see (the prefix's), and a 96-DPI measure at a DPI.
int ProcessDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}
int Scaled(int designed, int dpi = ProcessDpi()) { return ::MulDiv(designed, dpi, 96); }

constexpr int kFieldCaptions[] = {IDC_SSID_LABEL, IDC_KEY_LABEL};
constexpr int kDialogFontControls[] = {IDC_VERSION_LABEL, IDC_STATUS_LINK,  IDC_HELP_LINK,    IDC_SSID_LABEL,
                                       IDC_KEY_LABEL,     IDC_CREATE_HOTSPOT, IDC_START_HOTSPOT, IDC_CLOSE_HOTSPOT};
constexpr int kFields[] = {IDC_SSID_EDIT, IDC_KEY_EDIT};

// The image of an icon or cursor handle: its width and hot spot.
struct Image {
  int width = 0;
  POINT hotSpot{};
  bool icon = false;
};

Image ImageOf(HICON handle) {
  ICONINFO info{};
  if (handle == nullptr || !::GetIconInfo(handle, &info)) return Image();
  BITMAP bitmap{};
  ::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  return Image{bitmap.bmWidth, POINT{static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)},
               info.fIcon != FALSE};
}

// The cursor that the window sets while the mouse is over one of its controls.
HCURSOR CursorOver(HWND main, int id) {
  ::SetCursor(nullptr);
  ::SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(::GetDlgItem(main, id)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return ::GetCursor();
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  ::GetObjectW(handle, sizeof(font), &font);
  return font;
}

RECT ChildRectOf(HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    program = new Program(::GetModuleHandleW(nullptr), lumvora::kCommandTimeLimit);
    program->Start();
    Pump();
  }
  static void TearDownTestSuite() {
    ::DestroyWindow(program->MainWindowHandle());
    Pump();
    delete program;
  }
  static HWND Control(int id) { return ::GetDlgItem(program->MainWindowHandle(), id); }

  static inline Program* program = nullptr;
};

// 9 and 12 point: 12 and 16 pixels at 96 DPI.
void ExpectFontsAt(HWND main, int dpi) {
  for (int id : kDialogFontControls) {
    const LOGFONTW font = FontOf(::GetDlgItem(main, id));
    EXPECT_STREQ(font.lfFaceName, L"宋体") << id;
    EXPECT_EQ(font.lfHeight, -::MulDiv(9, dpi, 72)) << id;
    EXPECT_EQ(font.lfCharSet, GB2312_CHARSET) << id;
  }
  for (int id : kFields) {
    const LOGFONTW font = FontOf(::GetDlgItem(main, id));
    EXPECT_STREQ(font.lfFaceName, L"宋体") << id;
    EXPECT_EQ(font.lfHeight, -::MulDiv(12, dpi, 72)) << id;
    EXPECT_EQ(font.lfWeight, FW_NORMAL) << id;
    EXPECT_FALSE(font.lfItalic) << id;
    EXPECT_EQ(font.lfCharSet, GB2312_CHARSET) << id;
  }
}

// A field caption's rectangle: its text measured with its own font, ending at the designed right edge.
void ExpectCaptionsSizedToTextAt(HWND main, int dpi) {
  for (int id : kFieldCaptions) {
    const HWND label = ::GetDlgItem(main, id);
    wchar_t text[64] = {};
    ::GetWindowTextW(label, text, 64);
    const HDC dc = ::GetDC(label);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT measured{};
    ::DrawTextW(dc, text, -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    const RECT rect = ChildRectOf(label);
    EXPECT_EQ(rect.right - rect.left, measured.right) << id;
    EXPECT_EQ(rect.bottom - rect.top, measured.bottom) << id;
    EXPECT_EQ(rect.right, Scaled(128, dpi)) << id;
  }
}

TEST_F(MainWindowTest, DialogFontIs9PointSongTiAndTheFieldsUse12Point) {
  ExpectFontsAt(program->MainWindowHandle(), ProcessDpi());
}

TEST_F(MainWindowTest, TheKeyFieldHasNoInputMethod) {
  EXPECT_EQ(::ImmGetContext(Control(IDC_KEY_EDIT)), nullptr);
}

TEST_F(MainWindowTest, FieldCaptionsAreSizedToTheirTextAndEndAtTheSameEdge) {
  ExpectCaptionsSizedToTextAt(program->MainWindowHandle(), ProcessDpi());
}

TEST_F(MainWindowTest, HandCursorWithItsHotSpotOverTheHelpLabel) {
  const HWND main = program->MainWindowHandle();
  const HCURSOR before = ::GetCursor();
  const HCURSOR hand = CursorOver(main, IDC_HELP_LINK);
  ASSERT_NE(hand, nullptr);
  const Image image = ImageOf(hand);
  EXPECT_FALSE(image.icon);
  const int size = ::GetSystemMetricsForDpi(SM_CXCURSOR, ProcessDpi());
  EXPECT_EQ(image.width, size) << "the system's cursor size at this DPI";
  // The fingertip, (12, 1) of the 32 x 32 image, wherever the image was scaled to.
  const int slack = size == 32 ? 0 : 1;
  EXPECT_NEAR(image.hotSpot.x, ::MulDiv(12, size, 32), slack);
  EXPECT_NEAR(image.hotSpot.y, ::MulDiv(1, size, 32), slack);
  EXPECT_EQ(CursorOver(main, IDC_STATUS_LINK), hand) << "热点状态 takes the same hand";
  // Elsewhere the window leaves the cursor to the default handling: the arrow.
  EXPECT_NE(CursorOver(main, IDC_VERSION_LABEL), hand);
  ::SetCursor(before);
}

// How many columns from the left the painted background shows before the button face begins.
int PaintedPictureWidth(HWND main) {
  RECT client{};
  ::GetClientRect(main, &client);
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  const HBITMAP canvas = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
  const HGDIOBJ old = ::SelectObject(memory, canvas);
  ::SendMessageW(main, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
  int width = 0;
  while (width < client.right && ::GetPixel(memory, width, client.bottom / 2) != ::GetSysColor(COLOR_BTNFACE)) ++width;
  ::SelectObject(memory, old);
  ::DeleteObject(canvas);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return width;
}

std::vector<RECT> ControlRects(HWND main) {
  std::vector<RECT> rects;
  for (HWND child = ::GetWindow(main, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    rects.push_back(ChildRectOf(child));
  }
  return rects;
}

// As when the window is dragged onto a monitor of another DPI: Windows posts WM_DPICHANGED with that DPI
// and the window's rectangle there, the frame drawn here around the designed client area scaled.
RECT MoveToDpi(HWND main, int dpi) {
  RECT window{};
  ::GetWindowRect(main, &window);
  RECT frame{0, 0, Scaled(343, dpi), Scaled(191, dpi)};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(main, GWL_STYLE)), FALSE, 0);
  static RECT suggested;
  suggested = RECT{window.left + 10, window.top + 10, window.left + 10 + frame.right - frame.left,
                   window.top + 10 + frame.bottom - frame.top};
  ::PostMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  Pump();
  return suggested;
}

TEST_F(MainWindowTest, AtAnotherDpiEveryMeasureFollowsAndBackAtTheFirstAllIsAsBefore) {
  const HWND main = program->MainWindowHandle();
  const int first = ProcessDpi();
  const std::vector<RECT> before = ControlRects(main);
  for (const int dpi : {144, 120, 192, first}) {
    SCOPED_TRACE(dpi);
    const RECT suggested = MoveToDpi(main, dpi);
    RECT now{}, client{};
    ::GetWindowRect(main, &now);
    ::GetClientRect(main, &client);
    EXPECT_TRUE(::EqualRect(&now, &suggested)) << "the suggested rectangle";
    EXPECT_EQ(client.right, Scaled(343, dpi));
    EXPECT_EQ(client.bottom, Scaled(191, dpi));
    // Each control where the first DPI had it, scaled: within a pixel for the rounding of each measure, and
    // one more for the text that sizes the captions.
    const std::vector<RECT> rects = ControlRects(main);
    ASSERT_EQ(rects.size(), before.size());
    for (size_t i = 0; i < rects.size(); ++i) {
      EXPECT_NEAR(rects[i].top, ::MulDiv(before[i].top, dpi, first), 1) << i;
      EXPECT_NEAR(rects[i].right, ::MulDiv(before[i].right, dpi, first), 1) << i;
      EXPECT_NEAR(rects[i].left, ::MulDiv(before[i].left, dpi, first), 2) << i;
      EXPECT_NEAR(rects[i].bottom, ::MulDiv(before[i].bottom, dpi, first), 2) << i;
    }
    ExpectFontsAt(main, dpi);
    ExpectCaptionsSizedToTextAt(main, dpi);
    EXPECT_EQ(PaintedPictureWidth(main), Scaled(342, dpi)) << "the picture scaled, then the button face";
    EXPECT_EQ(ImageOf(reinterpret_cast<HICON>(::SendMessageW(main, WM_GETICON, ICON_BIG, 0))).width,
              ::GetSystemMetricsForDpi(SM_CXICON, dpi));
    EXPECT_EQ(ImageOf(CursorOver(main, IDC_HELP_LINK)).width, ::GetSystemMetricsForDpi(SM_CXCURSOR, dpi));
  }
  const std::vector<RECT> after = ControlRects(main);
  for (size_t i = 0; i < after.size(); ++i) EXPECT_TRUE(::EqualRect(&after[i], &before[i])) << "exactly back " << i;
}

// Windows 10 asks before the move what size the window wants at the new DPI: the designed client area.
TEST_F(MainWindowTest, AskedItsSizeAtAnotherDpiItWantsTheDesignedClientArea) {
  const HWND main = program->MainWindowHandle();
  for (const int dpi : {120, 144, 192}) {
    SIZE asked{};
    EXPECT_TRUE(::SendMessageW(main, WM_GETDPISCALEDSIZE, static_cast<WPARAM>(dpi), reinterpret_cast<LPARAM>(&asked)));
    RECT wanted{0, 0, Scaled(343, dpi), Scaled(191, dpi)};
    ::AdjustWindowRectExForDpi(&wanted, static_cast<DWORD>(::GetWindowLongW(main, GWL_STYLE)), FALSE, 0,
                               static_cast<UINT>(dpi));
    EXPECT_EQ(asked.cx, wanted.right - wanted.left) << dpi;
    EXPECT_EQ(asked.cy, wanted.bottom - wanted.top) << dpi;
  }
}

}  // namespace
