// Start-up, the single instance, the window's controls and the end of the program, on the real exe.
#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "resources/resource.h"

namespace e2e {
namespace {

constexpr wchar_t kNotice[] =
    L"如果热点创建失败，可能是由于：\r\n1.您的操作系统版本低于Windows7\r\n2.您的网卡不支持\r\n3.您的操作步骤有误";

TEST(StartUp, ShowsTheVersionAndTheInitialTexts) {
  AppDir dir;
  App app(dir.Exe());
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(ReadText(main), L"Lumvora");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_VERSION_LABEL)), L"程序版本：1.2.0");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_HELP_LINK)), L"使用说明");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_STATUS_LINK)), L"热点状态");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_SSID_LABEL)), L"热点名称（SSID）");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_KEY_LABEL)), L"密钥（KEY）");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_SSID_EDIT)), L"LumvoSoft");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_KEY_EDIT)), L"");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_CREATE_HOTSPOT)), L"创建热点");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_START_HOTSPOT)), L"启动热点");
  EXPECT_EQ(ReadText(::GetDlgItem(main, IDC_CLOSE_HOTSPOT)), L"关闭热点");
  const HWND keyEdit = ::GetDlgItem(main, IDC_KEY_EDIT);
  DWORD_PTR passwordChar = 0;
  ::SendMessageTimeoutW(keyEdit, EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, 5000, &passwordChar);
  EXPECT_EQ(passwordChar, static_cast<DWORD_PTR>(L'*'));
  EXPECT_TRUE(::GetWindowLongW(keyEdit, GWL_STYLE) & ES_PASSWORD);
  EXPECT_TRUE(app.MessageBoxes().empty());
  SaveScreenshot(main, L"main_window");
}

// The DPI runs set their prefix to each DPI in turn; every other run must see 96.
TEST(StartUp, TheRunSeesTheDpiItWasSetTo) {
  wchar_t expected[16] = L"96";
  ::GetEnvironmentVariableW(L"LUMVORA_EXPECTED_DPI", expected, 16);
  EXPECT_EQ(Dpi(), _wtoi(expected));
}

TEST(StartUp, PlacesEveryControlAtItsDesignedRectangle) {
  AppDir dir;
  App app(dir.Exe());
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  // At 96 DPI the design's pixels exactly; at another DPI each measure scaled, within a pixel.
  const int slack = Dpi() == 96 ? 0 : 1;
  RECT client{};
  ::GetClientRect(main, &client);
  EXPECT_NEAR(client.right, Scaled(343), slack);
  EXPECT_NEAR(client.bottom, Scaled(191), slack);
  const struct {
    int id;
    const char* name;
    RECT rect;  // left, top, right, bottom in client pixels at 96 DPI
  } expected[] = {
      {IDC_VERSION_LABEL, "IDC_VERSION_LABEL", {8, 8, 113, 25}},
      {IDC_HELP_LINK, "IDC_HELP_LINK", {288, 8, 337, 25}},
      {IDC_STATUS_LINK, "IDC_STATUS_LINK", {232, 8, 281, 25}},
      {IDC_SSID_LABEL, "IDC_SSID_LABEL", {32, 64, 128, 76}},
      {IDC_SSID_EDIT, "IDC_SSID_EDIT", {144, 56, 297, 81}},
      {IDC_KEY_LABEL, "IDC_KEY_LABEL", {62, 104, 128, 116}},
      {IDC_KEY_EDIT, "IDC_KEY_EDIT", {144, 96, 297, 121}},
      {IDC_CREATE_HOTSPOT, "IDC_CREATE_HOTSPOT", {16, 152, 105, 177}},
      {IDC_START_HOTSPOT, "IDC_START_HOTSPOT", {128, 152, 217, 177}},
      {IDC_CLOSE_HOTSPOT, "IDC_CLOSE_HOTSPOT", {240, 152, 329, 177}},
  };
  for (const auto& e : expected) {
    const HWND control = ::GetDlgItem(main, e.id);
    ASSERT_NE(control, nullptr) << e.name;
    const RECT r = ChildRect(control);
    EXPECT_NEAR(r.top, Scaled(e.rect.top), slack) << e.name;
    EXPECT_NEAR(r.right, Scaled(e.rect.right), slack) << e.name;
    if (e.id == IDC_SSID_LABEL || e.id == IDC_KEY_LABEL) {
      // The field captions are sized to their text and keep their right edge: with 宋体 they measure
      // exactly the designed size, with the font that stands in for it under Wine a few pixels more.
      EXPECT_GE(r.right - r.left, Scaled(e.rect.right - e.rect.left) - slack) << e.name;
      EXPECT_LE(r.right - r.left, Scaled(e.rect.right - e.rect.left + 12) + slack) << e.name;
      EXPECT_GE(r.bottom - r.top, Scaled(e.rect.bottom - e.rect.top) - slack) << e.name;
      EXPECT_LE(r.bottom - r.top, Scaled(e.rect.bottom - e.rect.top + 4) + slack) << e.name;
    } else {
      EXPECT_NEAR(r.left, Scaled(e.rect.left), slack) << e.name;
      EXPECT_NEAR(r.bottom, Scaled(e.rect.bottom), slack) << e.name;
    }
  }
  // Centred on the screen.
  RECT window{};
  ::GetWindowRect(main, &window);
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_LE(std::abs((window.left + window.right) - screenWidth), 1);
  EXPECT_LE(std::abs((window.top + window.bottom) - screenHeight), 1);
}

// The second start tells the user, then brings the first window back from the taskbar to the front, and
// leaves the batch files alone: the first may be running one.
TEST(SingleInstance, ASecondStartIsToldBringsTheFirstForwardAndEnds) {
  AppDir dir;
  App first(dir.Exe());
  const HWND main = first.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ::ShowWindow(main, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(main) != FALSE; }, 5s));
  WriteFileBytes(dir.File(L"QDWXRD.bat"), "netsh wlan start hostednetwork\r\n");

  App second(dir.Exe());
  const auto box = second.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Lumvora");
  EXPECT_EQ(box->text, L"该程序已经在运行！");
  EXPECT_EQ(box->icon, BoxIcon::None);
  const HWND secondMain = second.MainWindow();
  EXPECT_TRUE(secondMain == nullptr || !::IsWindowVisible(secondMain)) << "the second never shows its window";
  SaveScreenshot(box->hwnd, L"already_running");
  box->PressOk();
  EXPECT_TRUE(second.WaitForExit(10s));
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(main) && ::GetForegroundWindow() == main; }, 5s))
      << "restored and in front";
  EXPECT_TRUE(::IsWindowVisible(main));
  EXPECT_TRUE(first.MessageBoxes().empty());
  EXPECT_TRUE(FileExists(dir.File(L"QDWXRD.bat")));
}

TEST(SingleInstance, TwoStartedAtTheSameMomentLeaveExactlyOneRunning) {
  AppDir dir;
  App a(dir.Exe());
  App b(dir.Exe());
  // Whichever lost the race shows the message; acknowledge it.
  std::optional<MessageBoxInfo> box;
  App* loser = nullptr;
  WaitUntil(
      [&] {
        for (App* app : {&a, &b}) {
          auto boxes = app->MessageBoxes();
          if (!boxes.empty()) {
            box = boxes.front();
            loser = app;
            return true;
          }
        }
        return false;
      },
      15s);
  ASSERT_NE(loser, nullptr) << "one of the two must be told that the other runs";
  EXPECT_EQ(box->text, L"该程序已经在运行！");
  App* winner = loser == &a ? &b : &a;
  box->PressOk();
  EXPECT_TRUE(loser->WaitForExit(10s));
  EXPECT_NE(winner->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(winner->Running());
}

// Closing the window by any of its ways shows the notice once, then the process ends.
void ExpectNoticeThenEnd(App& app, bool screenshot) {
  const auto box = app.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Lumvora");
  EXPECT_EQ(box->text, kNotice);
  EXPECT_EQ(box->icon, BoxIcon::None);
  EXPECT_EQ(app.MessageBoxes().size(), 1u);
  if (screenshot) SaveScreenshot(box->hwnd, L"troubleshooting_notice");
  box->PressOk();
  EXPECT_TRUE(app.WaitForExit(5s)) << "the process ends once the notice is acknowledged";
}

TEST(Ending, TheCloseBoxShowsTheNoticeOnceThenEnds) {
  AppDir dir;
  App app(dir.Exe());
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  // What the close box, Alt+F4 and the system menu's Close all send.
  ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectNoticeThenEnd(app, true);
}

TEST(Ending, ARepeatedCloseRequestDoesNotShowTheNoticeTwice) {
  AppDir dir;
  App app(dir.Exe());
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(app.WaitForMessageBox().has_value());
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  ::Sleep(300);
  ExpectNoticeThenEnd(app, false);
}

TEST(Ending, AltF4FromTheKeyboardShowsTheNotice) {
  AppDir dir;
  App app(dir.Exe());
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ::SetForegroundWindow(main);
  WaitUntil([&] { return ::GetForegroundWindow() == main; }, 2s);
  INPUT keys[4] = {};
  for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = VK_MENU;
  keys[1].ki.wVk = VK_F4;
  keys[2].ki.wVk = VK_F4;
  keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
  keys[3].ki.wVk = VK_MENU;
  keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(4, keys, sizeof(INPUT));
  ExpectNoticeThenEnd(app, false);
}

// A run killed while its command ran leaves its batch file, with the key: the next start deletes it.
TEST(Files, BatchFilesLeftByAKilledRunAreGoneAtTheNextStart) {
  AppDir dir;
  for (const wchar_t* name : {L"WXRD.bat", L"QDWXRD.bat", L"GBWXRD.bat"}) {
    WriteFileBytes(dir.File(name), "netsh wlan set hostednetwork mode=allow ssid =LumvoSoft Key=12345678\r\n");
  }
  App app(dir.Exe());
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  EXPECT_EQ(dir.Files(), std::vector<std::wstring>{L"Lumvora.exe"});
}

TEST(Files, StartingAndEndingLeaveNothingInTheApplicationDirectory) {
  AppDir dir;
  {
    App app(dir.Exe());
    const HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ExpectNoticeThenEnd(app, false);
  }
  EXPECT_EQ(dir.Files(), std::vector<std::wstring>{L"Lumvora.exe"});
}

}  // namespace
}  // namespace e2e
