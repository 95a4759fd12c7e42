// The main window created inside the test process, where its fonts and cursor can be read back.
#include <gtest/gtest.h>

#include "platform/win32_platform.h"
#include "resources/resource.h"
#include "ui/main_window.h"

#include <imm.h>

namespace {

using lumvora::win32::MainWindow;
using lumvora::win32::Win32Platform;

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  ::GetObjectW(handle, sizeof(font), &font);
  return font;
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    platform = new Win32Platform(::GetModuleHandleW(nullptr));
    window = new MainWindow(::GetModuleHandleW(nullptr), *platform);
    window->Create();
    Pump();
  }
  static void TearDownTestSuite() {
    ::DestroyWindow(window->Handle());
    Pump();
    delete window;
    delete platform;
  }
  static HWND Control(int id) { return ::GetDlgItem(window->Handle(), id); }

  static inline Win32Platform* platform = nullptr;
  static inline MainWindow* window = nullptr;
};

TEST_F(MainWindowTest, DialogFontIs9PointSongTiAndTheFieldsUse12Point) {
  for (int id : {IDC_VERSION_LABEL, IDC_HELP_LINK, IDC_SSID_LABEL, IDC_KEY_LABEL, IDC_CREATE_HOTSPOT,
                 IDC_START_HOTSPOT, IDC_CLOSE_HOTSPOT}) {
    const LOGFONTW font = FontOf(Control(id));
    EXPECT_STREQ(font.lfFaceName, L"宋体") << id;
    EXPECT_EQ(font.lfHeight, -12) << id;
    EXPECT_EQ(font.lfCharSet, GB2312_CHARSET) << id;
  }
  for (int id : {IDC_SSID_EDIT, IDC_KEY_EDIT}) {
    const LOGFONTW font = FontOf(Control(id));
    EXPECT_STREQ(font.lfFaceName, L"宋体") << id;
    EXPECT_EQ(font.lfHeight, -16) << id;
    EXPECT_EQ(font.lfWeight, FW_NORMAL) << id;
    EXPECT_FALSE(font.lfItalic) << id;
    EXPECT_EQ(font.lfCharSet, GB2312_CHARSET) << id;
  }
}

TEST_F(MainWindowTest, TheKeyFieldHasNoInputMethod) {
  EXPECT_EQ(::ImmGetContext(Control(IDC_KEY_EDIT)), nullptr);
}

TEST_F(MainWindowTest, FieldCaptionsAreSizedToTheirTextAndEndAtTheSameEdge) {
  for (int id : {IDC_SSID_LABEL, IDC_KEY_LABEL}) {
    const HWND label = Control(id);
    wchar_t text[64] = {};
    ::GetWindowTextW(label, text, 64);
    const HDC dc = ::GetDC(label);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT measured{};
    ::DrawTextW(dc, text, -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    RECT rect{};
    ::GetWindowRect(label, &rect);
    ::MapWindowPoints(nullptr, window->Handle(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.right - rect.left, measured.right) << id;
    EXPECT_EQ(rect.bottom - rect.top, measured.bottom) << id;
    EXPECT_EQ(rect.right, 128) << id;
  }
}

TEST_F(MainWindowTest, HandCursorWithItsHotSpotOverTheHelpLabel) {
  const HWND main = window->Handle();
  const HCURSOR before = ::SetCursor(nullptr);
  ::SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(IDC_HELP_LINK)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  const HCURSOR hand = ::GetCursor();
  ASSERT_NE(hand, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 12u);
  EXPECT_EQ(info.yHotspot, 1u);
  BITMAP bitmap{};
  ::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 32);
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  // Elsewhere the window leaves the cursor to the default handling: the arrow.
  ::SetCursor(nullptr);
  ::SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(IDC_VERSION_LABEL)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(::GetCursor(), hand);
  ::SetCursor(before);
}

}  // namespace
