// How the main window looks and what it does on its own: style, colours, transparency, edit limits, tab
// order, cursor, the right-click menu, the About box and 退出; and the exe's own resources.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <algorithm>

#include "e2e/harness.h"
#include "resources/resource.h"

namespace e2e {
namespace {

class Appearance : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<App>(dir.Exe());
    main = app->WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ::Sleep(300);  // let it finish painting
  }
  HWND Control(int id) const { return ::GetDlgItem(main, id); }
  POINT ClientToScreenPoint(int x, int y) const {
    POINT p{x, y};
    ::ClientToScreen(main, &p);
    return p;
  }
  RECT ScreenRectOf(int id) const {
    RECT r{};
    ::GetWindowRect(Control(id), &r);
    return r;
  }
  // A point on the window's background, away from every control.
  POINT Background() const { return ClientToScreenPoint(Scaled(200), Scaled(20)); }

  AppDir dir;
  std::unique_ptr<App> app;
  HWND main = nullptr;
};

size_t Count(const std::vector<COLORREF>& pixels, COLORREF rgb) {
  return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), rgb));
}

TEST_F(Appearance, FixedSingleBorderWithACloseBoxOnly) {
  const LONG style = ::GetWindowLongW(main, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME) << "cannot be resized";
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_BORDER);
  EXPECT_EQ(::GetWindowLongW(main, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME), 0);
}

TEST_F(Appearance, PictureColoursAndTransparentLabelsAsDrawn) {
  RECT client{};
  ::GetClientRect(main, &client);
  ::MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const std::vector<COLORREF> pixels = ScreenPixels(client);
  const int width = client.right - client.left;
  auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; };
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const COLORREF faceRgb = RGB(GetBValue(face), GetGValue(face), GetRValue(face));  // as a DIB holds it
  // The picture is 342 pixels wide at 96 DPI, drawn from the top-left corner at the window's DPI: the last
  // column of the 343 is the button face, scaled like the rest.
  const int pictureWidth = Scaled(342);
  ASSERT_EQ(width, Scaled(343));
  for (int y = 0; y < client.bottom - client.top; y += Scaled(10)) {
    for (int x = pictureWidth; x < width; ++x) EXPECT_EQ(at(x, y), faceRgb) << "x=" << x << " y=" << y;
    EXPECT_NE(at(pictureWidth - 1, y), faceRgb) << "y=" << y;
    EXPECT_NE(at(0, y), faceRgb) << "y=" << y;
  }
  // Top left: a pale, almost white sky blue (pixels are 0x00RRGGBB).
  const COLORREF sky = at(2, 2);
  const int red = static_cast<int>((sky >> 16) & 0xFF);
  const int blue = static_cast<int>(sky & 0xFF);
  EXPECT_GT(blue, red) << "bluish";
  EXPECT_GE(red, 0xD8) << "pale";

  const std::vector<COLORREF> versionLabel = ScreenPixels(ScreenRectOf(IDC_VERSION_LABEL));
  const std::vector<COLORREF> helpLink = ScreenPixels(ScreenRectOf(IDC_HELP_LINK));
  const std::vector<COLORREF> statusLink = ScreenPixels(ScreenRectOf(IDC_STATUS_LINK));
  const std::vector<COLORREF> ssidLabel = ScreenPixels(ScreenRectOf(IDC_SSID_LABEL));
  EXPECT_GT(Count(versionLabel, 0x0000FF), 20u) << "程序版本 in blue";
  EXPECT_GT(Count(helpLink, 0x000080), 20u) << "使用说明 in navy";
  EXPECT_EQ(Count(helpLink, 0x0000FF), 0u);
  EXPECT_GT(Count(statusLink, 0x000080), 20u) << "热点状态 in navy";
  EXPECT_GT(Count(ssidLabel, 0x000000), 20u) << "field caption in black";
  // No grey box behind the labels: what is not text is the picture.
  for (const auto* label : {&versionLabel, &helpLink, &statusLink, &ssidLabel}) EXPECT_EQ(Count(*label, faceRgb), 0u);
  SaveScreenshot(main, L"main_window_appearance");
}

TEST_F(Appearance, TextBoxesHaveNoLengthLimitAndTheKeyIsMasked) {
  for (int id : {IDC_SSID_EDIT, IDC_KEY_EDIT}) {
    DWORD_PTR limit = 0;
    ::SendMessageTimeoutW(Control(id), EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 5000, &limit);
    EXPECT_GE(limit, 0x7FFFFFFEu) << id;
  }
  const std::wstring longText(40000, L'k');
  SetText(Control(IDC_SSID_EDIT), longText);
  DWORD_PTR length = 0;
  ::SendMessageTimeoutW(Control(IDC_SSID_EDIT), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
  EXPECT_EQ(length, longText.size());
  DWORD_PTR passwordChar = 0;
  ::SendMessageTimeoutW(Control(IDC_KEY_EDIT), EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, 5000, &passwordChar);
  EXPECT_EQ(passwordChar, static_cast<DWORD_PTR>(L'*'));
}

TEST_F(Appearance, TabMovesThroughTheFieldsAndButtonsInDesignedOrder) {
  ASSERT_TRUE(Activate(main));
  EXPECT_EQ(FocusOf(main), Control(IDC_SSID_EDIT)) << "focus starts in the SSID field";
  const int order[] = {IDC_CREATE_HOTSPOT, IDC_KEY_EDIT, IDC_START_HOTSPOT, IDC_CLOSE_HOTSPOT, IDC_SSID_EDIT};
  for (int id : order) {
    PressKey(VK_TAB);
    EXPECT_EQ(FocusOf(main), Control(id)) << "expected control " << id;
  }
  PressKey(VK_TAB, true);
  EXPECT_EQ(FocusOf(main), Control(IDC_CLOSE_HOTSPOT)) << "Shift+Tab goes back";
  // No default button: Enter in a field starts nothing.
  PressKey(VK_TAB);
  PressKey(VK_RETURN);
  ::Sleep(300);
  EXPECT_TRUE(app->MessageBoxes().empty());
  for (int id : {IDC_CREATE_HOTSPOT, IDC_START_HOTSPOT, IDC_CLOSE_HOTSPOT}) {
    EXPECT_FALSE(::GetWindowLongW(Control(id), GWL_STYLE) & BS_DEFPUSHBUTTON) << id;
    EXPECT_EQ(ReadText(Control(id)).find(L'&'), std::wstring::npos) << "no access key";
  }
}

TEST_F(Appearance, TheCursorChangesOverTheHelpLabelOnly) {
  // The cursor's image and hot spot are checked inside the process (a cursor handle of another process
  // cannot be read here); from outside, what counts is that it changes over 使用说明 and only there.
  ASSERT_TRUE(Activate(main));
  auto cursorAt = [](POINT p) {
    MoveMouseTo(p);
    CURSORINFO cursor{};
    cursor.cbSize = sizeof(cursor);
    ::GetCursorInfo(&cursor);
    return cursor.hCursor;
  };
  const HCURSOR background = cursorAt(Background());
  const HCURSOR overHelp = cursorAt(CentreOf(Control(IDC_HELP_LINK)));
  EXPECT_NE(overHelp, background);
  for (int id : {IDC_VERSION_LABEL, IDC_SSID_LABEL, IDC_CREATE_HOTSPOT}) {
    EXPECT_EQ(cursorAt(CentreOf(Control(id))), background) << "control " << id;
  }
  EXPECT_EQ(cursorAt(CentreOf(Control(IDC_HELP_LINK))), overHelp);
  EXPECT_EQ(cursorAt(CentreOf(Control(IDC_STATUS_LINK))), overHelp) << "the hand over 热点状态 too";
}

// Whether the visible pop-up menu is the window's own: a menu of two items. (The items of another
// process's menu cannot be read from here; which item does what is checked by choosing them.) A text
// box's own menu has six items or more.
bool IsOwnMenu(HWND menuWindow) {
  RECT rect{};
  ::GetWindowRect(menuWindow, &rect);
  const int itemHeight = ::GetSystemMetrics(SM_CYMENUSIZE);
  return rect.bottom - rect.top >= 2 * itemHeight - 4 && rect.bottom - rect.top < 3 * itemHeight + 8;
}

void CloseMenus(DWORD pid) {
  for (int i = 0; i < 3 && !OpenMenus(pid).empty(); ++i) PressKey(VK_ESCAPE);
}

// The window and the menu open over it, in one screenshot.
void SaveScreenshotWithMenu(HWND main, const RECT& menu, const wchar_t* name) {
  RECT window{};
  ::GetWindowRect(main, &window);
  RECT both{};
  ::UnionRect(&both, &window, &menu);
  SaveScreenshot(both, name);
}

TEST_F(Appearance, RightClickOnTheBackgroundOpensTheMenuAtTheMouse) {
  ASSERT_TRUE(Activate(main));
  const POINT at = Background();
  ClickAt(at, Button::Right);
  const auto menus = OpenMenus(app->Pid());
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_TRUE(IsOwnMenu(menus[0]));
  RECT rect{};
  ::GetWindowRect(menus[0], &rect);
  EXPECT_LE(std::abs(rect.left - at.x), 2) << "left edge at the mouse";
  EXPECT_LE(std::abs(rect.top - at.y), 2);
  SaveScreenshotWithMenu(main, rect, L"main_window_menu");
  CloseMenus(app->Pid());
}

// Shift+F10 and the Menu key: the window's menu below a focused button, a text box's own menu in a text box.
TEST_F(Appearance, TheKeyboardOpensTheMenuBelowTheFocusedButton) {
  ASSERT_TRUE(Activate(main));
  const struct {
    WORD key;
    bool shift;
  } keys[] = {{VK_F10, true}, {VK_APPS, false}};
  // Tab from the SSID field: 创建热点, then the key field, 启动热点 and 关闭热点.
  for (const int focus : {IDC_CREATE_HOTSPOT, IDC_KEY_EDIT, IDC_START_HOTSPOT, IDC_CLOSE_HOTSPOT}) {
    PressKey(VK_TAB);
    ASSERT_EQ(::GetDlgCtrlID(FocusOf(main)), focus);
    for (const auto& k : keys) {
      PressKey(k.key, k.shift);
      ASSERT_TRUE(WaitUntil([&] { return !OpenMenus(app->Pid()).empty(); }, 2s)) << focus << " key " << k.key;
      const auto menus = OpenMenus(app->Pid());
      EXPECT_EQ(menus.size(), 1u);
      if (focus == IDC_KEY_EDIT) {
        EXPECT_FALSE(IsOwnMenu(menus[0])) << "the text box's own menu";
      } else {
        EXPECT_TRUE(IsOwnMenu(menus[0])) << focus;
        RECT menu{};
        ::GetWindowRect(menus[0], &menu);
        const RECT button = ScreenRectOf(focus);
        EXPECT_LE(std::abs(menu.left - button.left), 2) << focus;
        EXPECT_LE(std::abs(menu.top - button.bottom), 2) << focus;
        if (focus == IDC_CREATE_HOTSPOT && k.key == VK_APPS) {
          SaveScreenshotWithMenu(main, menu, L"main_window_menu_from_keyboard");
        }
      }
      CloseMenus(app->Pid());
      EXPECT_EQ(::GetDlgCtrlID(FocusOf(main)), focus) << "the focus stays";
    }
  }
}

// A screen reader names each field after the caption created right before it.
TEST_F(Appearance, EachFieldIsNamedAfterItsCaption) {
  ASSERT_EQ(::CoInitialize(nullptr), S_OK);
  const struct {
    int id;
    const wchar_t* name;
  } fields[] = {{IDC_SSID_EDIT, L"热点名称（SSID）"}, {IDC_KEY_EDIT, L"密钥（KEY）"}, {IDC_STATUS_LINK, L"热点状态"}};
  for (const auto& field : fields) {
    IAccessible* accessible = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(Control(field.id), OBJID_CLIENT, IID_IAccessible,
                                           reinterpret_cast<void**>(&accessible)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &name), S_OK) << field.id;
    EXPECT_EQ(std::wstring(name != nullptr ? name : L""), field.name);
    ::SysFreeString(name);
    accessible->Release();
  }
  ::CoUninitialize();
}

TEST_F(Appearance, OtherButtonsAndClicksOnControlsOpenNoWindowMenu) {
  ASSERT_TRUE(Activate(main));
  ClickAt(Background(), Button::Left);
  ClickAt(Background(), Button::Middle);
  EXPECT_TRUE(OpenMenus(app->Pid()).empty()) << "left and middle buttons do nothing";
  for (int id : {IDC_VERSION_LABEL, IDC_HELP_LINK, IDC_STATUS_LINK, IDC_SSID_LABEL, IDC_KEY_LABEL, IDC_SSID_EDIT,
                 IDC_KEY_EDIT, IDC_CREATE_HOTSPOT, IDC_START_HOTSPOT, IDC_CLOSE_HOTSPOT}) {
    if (id == IDC_HELP_LINK) continue;  // a left click there opens the help; the right button is what counts
    ClickAt(CentreOf(Control(id)), Button::Right);
    for (HWND menu : OpenMenus(app->Pid())) EXPECT_FALSE(IsOwnMenu(menu)) << "control " << id;
    CloseMenus(app->Pid());
  }
  ClickAt(CentreOf(Control(IDC_HELP_LINK)), Button::Right);
  EXPECT_TRUE(OpenMenus(app->Pid()).empty());
  EXPECT_TRUE(app->MessageBoxes().empty());
  // A text box keeps its own menu (Copy, Paste, ...).
  ClickAt(CentreOf(Control(IDC_SSID_EDIT)), Button::Right);
  const auto menus = OpenMenus(app->Pid());
  EXPECT_EQ(menus.size(), 1u) << "the edit control's own menu";
  CloseMenus(app->Pid());
}

TEST_F(Appearance, AboutShowsTheSixLines) {
  ASSERT_TRUE(Activate(main));
  ClickAt(Background(), Button::Right);
  ASSERT_EQ(OpenMenus(app->Pid()).size(), 1u);
  PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  const auto box = app->WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Lumvora");
  EXPECT_EQ(box->icon, BoxIcon::None);
  EXPECT_EQ(box->text,
            L"主程序版本：1.2.0\r\n完成时间：2012-6-7\r\n主程序设计：Kestrune\r\n帮助文件制作：Quillom\r\n\r\n"
            L"          纪念已逝的大学生活");
  SaveScreenshot(box->hwnd, L"about_box");
  box->PressOk();
  EXPECT_TRUE(WaitUntil([&] { return app->MessageBoxes().empty(); }, 5s));
  EXPECT_TRUE(app->Running());
}

TEST_F(Appearance, ExitShowsTheNoticeOnceThenEnds) {
  ASSERT_TRUE(Activate(main));
  ClickAt(Background(), Button::Right);
  ASSERT_EQ(OpenMenus(app->Pid()).size(), 1u);
  // With the mouse: the second item.
  RECT menu{};
  ::GetWindowRect(OpenMenus(app->Pid())[0], &menu);
  ClickAt(POINT{menu.left + 20, menu.bottom - 8}, Button::Left);
  const auto box = app->WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text.substr(0, 15), L"如果热点创建失败，可能是由于：");
  EXPECT_EQ(app->MessageBoxes().size(), 1u);
  box->PressOk();
  EXPECT_TRUE(app->WaitForExit(5s));
}

// The exe's own resources, read from the file.
class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    module = ::LoadLibraryExW(LumvoraExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override { ::FreeLibrary(module); }
  std::string Bytes(const wchar_t* type, int id) const {
    const HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (info == nullptr) return std::string();
    const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module, info)));
    return std::string(data, ::SizeofResource(module, info));
  }
  HMODULE module = nullptr;
};

#pragma pack(push, 2)
struct GroupEntry {
  BYTE width, height, colours, reserved;
  WORD planesOrHotX, bitCountOrHotY;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST_F(Resources, OneIconOf48PixelsIn24BitColour) {
  const std::string group = Bytes(RT_GROUP_ICON, IDI_LUMVORA);
  ASSERT_GE(group.size(), 6u + sizeof(GroupEntry));
  EXPECT_EQ(*reinterpret_cast<const WORD*>(group.data() + 4), 1) << "one image";
  const auto* entry = reinterpret_cast<const GroupEntry*>(group.data() + 6);
  EXPECT_EQ(entry->width, 48);
  EXPECT_EQ(entry->height, 48);
  EXPECT_EQ(entry->bitCountOrHotY, 24);
  const std::string image = Bytes(RT_ICON, entry->id);
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
  EXPECT_EQ(header->biWidth, 48);
  EXPECT_EQ(header->biBitCount, 24);
  // The icon the exe shows in Explorer is its first icon group: this one.
  int groups = 0;
  ::EnumResourceNamesW(module, RT_GROUP_ICON, [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR n) CALLBACK -> BOOL {
    ++*reinterpret_cast<int*>(n);
    return TRUE;
  }, reinterpret_cast<LONG_PTR>(&groups));
  EXPECT_EQ(groups, 1);
}

TEST_F(Resources, HandCursorOf32PixelsIn16ColoursWithItsHotSpotAtTheFingertip) {
  const std::string group = Bytes(RT_GROUP_CURSOR, IDC_POINTING_HAND);
  ASSERT_GE(group.size(), 6u + 14u);
  EXPECT_EQ(*reinterpret_cast<const WORD*>(group.data() + 4), 1);
  const WORD id = *reinterpret_cast<const WORD*>(group.data() + 6 + 12);
  const std::string image = Bytes(RT_CURSOR, id);
  ASSERT_GE(image.size(), 4u + sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(*reinterpret_cast<const WORD*>(image.data()), 12) << "hot spot x";
  EXPECT_EQ(*reinterpret_cast<const WORD*>(image.data() + 2), 1) << "hot spot y";
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data() + 4);
  EXPECT_EQ(header->biWidth, 32);
  EXPECT_EQ(header->biHeight, 64) << "image and mask";
  EXPECT_EQ(header->biBitCount, 4) << "16 colours";
}

TEST_F(Resources, VersionResource) {
  const std::string version = Bytes(RT_VERSION, 1);
  ASSERT_FALSE(version.empty());
  std::string copy = version;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(::VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010002u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  const struct {
    const wchar_t* name;
    const wchar_t* value;
  } strings[] = {{L"CompanyName", L"LumvoSoft"},     {L"FileDescription", L"update"},
                 {L"ProductName", L"Lumvora"},       {L"InternalName", L"Lumvora"},
                 {L"OriginalFilename", L"Lumvora.exe"}, {L"FileVersion", L"1.02"},
                 {L"ProductVersion", L"1.02"}};
  for (const auto& s : strings) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + s.name;
    ASSERT_TRUE(::VerQueryValueW(copy.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) << s.name;
    EXPECT_EQ(std::wstring(value), s.value);
  }
  DWORD* translation = nullptr;
  ASSERT_TRUE(::VerQueryValueW(copy.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &size));
  EXPECT_EQ(*translation, 0x04B00804u) << "language 0804, code page 1200";
}

// The manifest as the system reads it: malformed XML, a wrong namespace or a misspelt value would read back
// as nothing.
TEST_F(Resources, TheManifestAsksForAdministratorRightsAndPerMonitorDpi) {
  const std::wstring exe = LumvoraExe();
  ACTCTXW request{};
  request.cbSize = sizeof(request);
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = exe.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(1);
  const HANDLE context = ::CreateActCtxW(&request);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "resource 24 id 1 is a manifest the system can read";

  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel{};
  ASSERT_TRUE(::QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &runLevel,
                             sizeof(runLevel), nullptr));
  EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_REQUIRE_ADMIN);
  EXPECT_EQ(runLevel.UiAccess, 0u);

  // Windows 7, 8, 8.1 and 10, found by their bytes: the layout of an element differs between SDKs.
  alignas(8) char compatibility[512] = {};
  ASSERT_TRUE(::QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, compatibility,
                             sizeof(compatibility), nullptr));
  EXPECT_EQ(*reinterpret_cast<const DWORD*>(compatibility), 4u) << "four systems";
  const std::string elements(compatibility, sizeof(compatibility));
  const GUID systems[] = {{0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
                          {0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
                          {0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
                          {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}}};
  for (const GUID& id : systems) {
    EXPECT_NE(elements.find(std::string(reinterpret_cast<const char*>(&id), sizeof(id))), std::string::npos)
        << std::hex << id.Data1;
  }

  auto setting = [&](const wchar_t* space, const wchar_t* name) {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    return ::QueryActCtxSettingsW(0, context, space, name, value, 64, &written) ? std::wstring(value) : L"(none)";
  };
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true/pm");
  EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            L"PerMonitorV2, PerMonitor");
  ::ReleaseActCtx(context);

  // Nothing that would differ between the flavours, and no Common Controls 6: the controls keep the classic look.
  const std::string text = Bytes(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, 1);
  EXPECT_EQ(text.find("processorArchitecture"), std::string::npos);
  EXPECT_EQ(text.find("Common-Controls"), std::string::npos);
}

}  // namespace
}  // namespace e2e
