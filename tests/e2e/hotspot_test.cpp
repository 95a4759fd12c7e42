// The three hotspot buttons on the real exe, with a fake netsh.exe that records what reached it.
#include <gtest/gtest.h>

#include <memory>

#include "e2e/harness.h"
#include "resources/resource.h"

namespace e2e {
namespace {

constexpr char kCreatePrefix[] = "netsh wlan set hostednetwork mode=allow ssid =";

class Hotspot : public ::testing::Test {
 protected:
  void Start(const std::string& behaviour = std::string()) {
    InstallFakeNetsh(dir, behaviour);
    app = std::make_unique<App>(dir.Exe());
    main = app->WaitForMainWindow();
    ASSERT_NE(main, nullptr);
  }
  HWND Control(int id) const { return ::GetDlgItem(main, id); }
  void Type(const std::wstring& ssid, const std::wstring& key) {
    SetText(Control(IDC_SSID_EDIT), ssid);
    SetText(Control(IDC_KEY_EDIT), key);
  }
  // Clicks a button and returns the box that the click ends with.
  MessageBoxInfo Click(int id) {
    PostClick(Control(id));
    const auto box = app->WaitForMessageBox(30s);
    if (!box) {
      ADD_FAILURE() << "no message box after the click";
      return MessageBoxInfo{};
    }
    return *box;
  }
  // Acknowledges the box and waits until the window takes clicks again.
  void Ok(const MessageBoxInfo& box) {
    box.PressOk();
    EXPECT_TRUE(WaitUntil([&] { return app->MessageBoxes().empty() && ::IsWindowEnabled(main); }, 5s));
  }
  std::vector<std::wstring> BatchFilesLeft() const {
    std::vector<std::wstring> left;
    for (const std::wstring& name : dir.Files()) {
      if (name.size() > 4 && name.substr(name.size() - 4) == L".bat") left.push_back(name);
    }
    return left;
  }

  AppDir dir;
  std::unique_ptr<App> app;
  HWND main = nullptr;
};

TEST_F(Hotspot, CreateWritesTheExactLineAndConfirmsSuccess) {
  Start();
  Type(L"LumvoSoft", L"12345678");
  SaveScreenshot(main, L"main_window_filled");
  const MessageBoxInfo box = Click(IDC_CREATE_HOTSPOT);
  EXPECT_EQ(box.caption, L"Lumvora");
  EXPECT_EQ(box.text, L"无线热点创建成功！");
  EXPECT_EQ(box.icon, BoxIcon::None);
  EXPECT_TRUE(BatchFilesLeft().empty()) << "the batch file is gone before the box appears";
  SaveScreenshot(box.hwnd, L"create_succeeded");
  Ok(box);
  const auto calls = NetshCalls(dir);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].batches.at(L"WXRD.bat"), std::string(kCreatePrefix) + "LumvoSoft Key=12345678\r\n");
  EXPECT_EQ(calls[0].batches.size(), 1u);
  EXPECT_EQ(calls[0].ssid, L"LumvoSoft");
  EXPECT_EQ(calls[0].key, L"12345678");
  // The interpreter gets the batch file by its full path, without delayed expansion (which would expand
  // "!" inside quotes).
  const std::string& interpreter = calls[0].interpreterCommandLine;
  EXPECT_NE(interpreter.find(" /d /q /V:OFF /c "), std::string::npos) << interpreter;
  EXPECT_NE(interpreter.find(Utf8(dir.File(L"WXRD.bat"))), std::string::npos) << interpreter;
}

// A netsh of any runnable kind planted beside the exe (the interpreter would look in its current
// directory first) never runs: the system's own does.
TEST_F(Hotspot, ANetshPlantedInTheApplicationDirectoryNeverRuns) {
  Start();
  const std::string fake = ReadFileBytes(BuiltFile(FAKE_NETSH_EXE));
  const std::string script = "@echo planted>>\"%~dp0planted_ran.txt\"\r\n";
  const std::pair<const wchar_t*, std::string> planted[] = {
      {L"netsh.exe", fake}, {L"netsh.com", fake}, {L"netsh.bat", script}, {L"netsh.cmd", script}};
  for (const auto& [name, content] : planted) {
    WriteFileBytes(dir.File(name), content);
    Ok(Click(IDC_START_HOTSPOT));
    ::DeleteFileW(dir.File(name).c_str());
  }
  EXPECT_FALSE(FileExists(dir.File(L"planted_ran.txt")));
  const auto calls = NetshCalls(dir);
  ASSERT_EQ(calls.size(), 4u);
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  for (const NetshCall& call : calls) EXPECT_EQ(_stricmp(call.exe.c_str(), Utf8(std::wstring(system) + L"\\netsh.exe").c_str()), 0) << call.exe;
}

TEST_F(Hotspot, BatchLinesForTheInitialTextsABlankAndAChineseSsid) {
  Start();
  const struct {
    std::wstring ssid, key;
    std::string line;
  } cases[] = {
      {L"LumvoSoft", L"", std::string(kCreatePrefix) + "LumvoSoft Key=\r\n"},
      {L" ", L"", std::string(kCreatePrefix) + "\" \" Key=\r\n"},
      {L"热点测试", L"abcdefgh", std::string(kCreatePrefix) + Ansi(L"热点测试") + " Key=abcdefgh\r\n"},
  };
  for (const auto& c : cases) {
    Type(c.ssid, c.key);
    Ok(Click(IDC_CREATE_HOTSPOT));
  }
  const auto calls = NetshCalls(dir);
  ASSERT_EQ(calls.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(calls[i].batches.at(L"WXRD.bat"), cases[i].line);
    EXPECT_EQ(calls[i].ssid, cases[i].ssid);
  }
  EXPECT_EQ(Ansi(L"热点测试"), "\xC8\xC8\xB5\xE3\xB2\xE2\xCA\xD4") << "code page 936";
}

TEST_F(Hotspot, StartAndCloseWriteTheirFixedLinesWhateverTheTextBoxesHold) {
  Start();
  Type(L"a&echo bad>canary.txt", L"\"");
  const MessageBoxInfo started = Click(IDC_START_HOTSPOT);
  EXPECT_EQ(started.text, L"无线热点启动成功！");
  Ok(started);
  const MessageBoxInfo closed = Click(IDC_CLOSE_HOTSPOT);
  EXPECT_EQ(closed.text, L"无线热点已关闭！");
  EXPECT_EQ(closed.icon, BoxIcon::None);
  Ok(closed);
  const auto calls = NetshCalls(dir);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].batches.at(L"QDWXRD.bat"), "netsh wlan start hostednetwork\r\n");
  EXPECT_EQ(calls[1].batches.at(L"GBWXRD.bat"), "netsh wlan set hostednetwork mode=disallow\r\n");
  EXPECT_TRUE(BatchFilesLeft().empty());
}

TEST_F(Hotspot, HostileValuesReachNetshIntactOrAreRefused) {
  Start();
  const std::wstring hostile[] = {
      L"a&echo x>canary.txt", L"a|echo x>canary.txt", L"a>canary.txt", L"a^b", L"%PATH%",
      L"(a)&(echo x>canary.txt)", L"trailing ", L"semi;colon,comma=eq!bang", L"50%&100%",
      // Backslashes before the closing quote once escaped it and swallowed the key; the run against the real
      // interpreter found these.
      L"my net\\", L" \\", L"(^a!\\", L"a\\\\ b\\\\\\",
  };
  size_t expectedCalls = 0;
  for (const std::wstring& value : hostile) {
    for (int field = 0; field < 2; ++field) {
      const std::wstring ssid = field == 0 ? value : L"LumvoSoft";
      const std::wstring key = field == 1 ? value : L"12345678";
      Type(ssid, key);
      const MessageBoxInfo box = Click(IDC_CREATE_HOTSPOT);
      EXPECT_EQ(box.text, L"无线热点创建成功！");
      Ok(box);
      const auto calls = NetshCalls(dir);
      ASSERT_EQ(calls.size(), ++expectedCalls);
      EXPECT_EQ(calls.back().ssid, ssid) << calls.back().commandLine;
      EXPECT_EQ(calls.back().key, key) << calls.back().commandLine;
    }
  }
  EXPECT_FALSE(FileExists(dir.File(L"canary.txt"))) << "an injected command ran";

  // A double quote cannot be passed safely: refused before anything is written or started.
  Type(L"a\"&echo x>canary.txt&\"", L"12345678");
  MessageBoxInfo refused = Click(IDC_CREATE_HOTSPOT);
  EXPECT_EQ(refused.caption, L"提示");
  EXPECT_EQ(refused.text, L"热点名称(SSID)不能包含双引号或控制字符！");
  EXPECT_EQ(refused.icon, BoxIcon::Information);
  Ok(refused);
  Type(L"LumvoSoft", L"1234\"5678");
  refused = Click(IDC_CREATE_HOTSPOT);
  EXPECT_EQ(refused.text, L"密钥(KEY)不能包含双引号或控制字符！");
  Ok(refused);
  Type(L"net\u0E01", L"12345678");  // Thai: not in code page 936
  refused = Click(IDC_CREATE_HOTSPOT);
  EXPECT_EQ(refused.text, L"热点名称(SSID)包含系统代码页无法表示的字符！");
  EXPECT_EQ(refused.icon, BoxIcon::Information);
  Ok(refused);
  EXPECT_EQ(NetshCalls(dir).size(), expectedCalls);
  EXPECT_FALSE(FileExists(dir.File(L"canary.txt")));
  EXPECT_TRUE(BatchFilesLeft().empty());
}

// Run by the test e2e_cp1251_866 (LC_ALL=ru_RU.UTF-8), where the ANSI code page is 1251 and the console's
// 866: the batch file must be in the one the interpreter reads, and so must the refusal's judgement.
TEST_F(Hotspot, WhereTheCodePagesDifferBatchFileAndRefusalFollowTheConsoles) {
  if (::GetACP() == ::GetOEMCP()) GTEST_SKIP() << "ANSI and OEM code pages are the same here";
  ASSERT_EQ(::GetOEMCP(), 866u);
  Start();
  Type(L"Сеть─1", L"ключ 1234");  // "─" is in 866 only
  const MessageBoxInfo box = Click(IDC_CREATE_HOTSPOT);
  EXPECT_EQ(box.text, L"无线热点创建成功！");
  Ok(box);
  Type(L"Сеть€", L"12345678");  // "€" is in 1251 only
  const MessageBoxInfo refused = Click(IDC_CREATE_HOTSPOT);
  EXPECT_EQ(refused.text, L"热点名称(SSID)包含系统代码页无法表示的字符！");
  Ok(refused);
  const auto calls = NetshCalls(dir);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].ssid, L"Сеть─1");
  EXPECT_EQ(calls[0].key, L"ключ 1234");
  EXPECT_EQ(calls[0].batches.at(L"WXRD.bat"),
            std::string(kCreatePrefix) + "\x91\xA5\xE2\xEC\xC4" "1 Key=\"\xAA\xAB\xEE\xE7 1234\"\r\n");
}

TEST_F(Hotspot, AnEmptySsidShowsOnlyTheNotice) {
  Start();
  Type(L"", L"12345678");
  const MessageBoxInfo box = Click(IDC_CREATE_HOTSPOT);
  EXPECT_EQ(box.caption, L"提示");
  EXPECT_EQ(box.text, L"热点名称(SSID)不能为空！");
  EXPECT_EQ(box.icon, BoxIcon::Information);
  SaveScreenshot(box.hwnd, L"empty_ssid");
  Ok(box);
  ::Sleep(300);
  EXPECT_TRUE(NetshCalls(dir).empty());
  EXPECT_TRUE(BatchFilesLeft().empty());
}

TEST_F(Hotspot, AFailingCommandShowsNetshsOwnWords) {
  Start("exit=1\noutput=\\n承载网络无法启动。\\n组或资源的状态不是执行请求操作的正确状态。\\n\\n\\n");
  const MessageBoxInfo box = Click(IDC_START_HOTSPOT);
  EXPECT_EQ(box.caption, L"Lumvora");
  EXPECT_EQ(box.icon, BoxIcon::Warning);
  EXPECT_EQ(box.text,
            L"无线热点启动失败！\r\n\r\n\r\n承载网络无法启动。\r\n组或资源的状态不是执行请求操作的正确状态。");
  EXPECT_TRUE(BatchFilesLeft().empty());
  SaveScreenshot(box.hwnd, L"start_failed");
  Ok(box);
}

TEST_F(Hotspot, AnSsidTooLongForNetshIsAFailureNeverASuccess) {
  Start("judge=1");
  Type(std::wstring(10000, L'x'), L"12345678");
  const MessageBoxInfo box = Click(IDC_CREATE_HOTSPOT);
  EXPECT_EQ(box.icon, BoxIcon::Warning);
  EXPECT_EQ(box.text.substr(0, 9), L"无线热点创建失败！");
  // Whatever the interpreter printed about the line, the box stays on the screen.
  RECT rect{};
  ::GetWindowRect(box.hwnd, &rect);
  EXPECT_LE(rect.right - rect.left, ::GetSystemMetrics(SM_CXSCREEN));
  SaveScreenshot(box.hwnd, L"create_failed_long_ssid");
  Ok(box);
  EXPECT_TRUE(BatchFilesLeft().empty());
}

TEST_F(Hotspot, AStaleBatchFileIsOverwrittenNotAppendedTo) {
  WriteFileBytes(dir.File(L"QDWXRD.bat"), std::string(500, 'Z') + "\r\nnetsh wlan start hostednetwork\r\n");
  Start();
  Ok(Click(IDC_START_HOTSPOT));
  const auto calls = NetshCalls(dir);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].batches.at(L"QDWXRD.bat"), "netsh wlan start hostednetwork\r\n");
  EXPECT_TRUE(BatchFilesLeft().empty());
}

TEST_F(Hotspot, TheWindowIsDisabledButPaintsWhileACommandRuns) {
  Start("sleep=3000");
  PostClick(Control(IDC_START_HOTSPOT));
  ASSERT_TRUE(WaitUntil([&] { return !NetshCalls(dir).empty(); }, 10s)) << "netsh started";
  EXPECT_FALSE(::IsWindowEnabled(main));
  // A hung window would not answer within the time-out.
  DWORD_PTR result = 0;
  EXPECT_NE(::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result), 0);
  ::InvalidateRect(main, nullptr, TRUE);
  EXPECT_NE(::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result), 0);
  SaveScreenshot(main, L"command_running");
  PostClick(Control(IDC_CLOSE_HOTSPOT));  // ignored: the window is disabled
  const auto box = app->WaitForMessageBox(20s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"无线热点启动成功！");
  Ok(*box);
  ::Sleep(500);
  EXPECT_TRUE(app->MessageBoxes().empty());
  EXPECT_EQ(NetshCalls(dir).size(), 1u) << "no second run started while the first ran";
}

TEST_F(Hotspot, ABatchFileThatCannotBeCreatedIsReportedAndTheProgramGoesOn) {
  // A directory in the way of the batch file: it cannot be created, as in a read-only directory.
  ::CreateDirectoryW(dir.File(L"QDWXRD.bat").c_str(), nullptr);
  Start();
  const MessageBoxInfo box = Click(IDC_START_HOTSPOT);
  EXPECT_EQ(box.caption, L"Lumvora");
  EXPECT_EQ(box.icon, BoxIcon::Error);
  EXPECT_NE(box.text.find(L"QDWXRD.bat"), std::wstring::npos) << "names the file";
  EXPECT_NE(box.text.find(L"创建文件"), std::wstring::npos) << "names the operation";
  SaveScreenshot(box.hwnd, L"cannot_write");
  Ok(box);
  ::RemoveDirectoryW(dir.File(L"QDWXRD.bat").c_str());
  EXPECT_TRUE(NetshCalls(dir).empty());
  EXPECT_TRUE(app->Running());
  const MessageBoxInfo next = Click(IDC_CLOSE_HOTSPOT);
  EXPECT_EQ(next.text, L"无线热点已关闭！") << "the window stays usable";
  Ok(next);
}

// While netsh runs, no other program can write the batch file or rename it, any reader that shares reading
// can read it, and it is gone afterwards.
TEST_F(Hotspot, TheBatchFileIsLockedWhileItRunsAndDeletedAfterwards) {
  Start("probe=1\nreaders=1");
  Ok(Click(IDC_CLOSE_HOTSPOT));
  const auto calls = NetshCalls(dir);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].probe, "write=0 rename=0 ");
  EXPECT_EQ(calls[0].readers, "read=1 readwrite=1 write=0 ");
  EXPECT_EQ(calls[0].batches.at(L"GBWXRD.bat"), "netsh wlan set hostednetwork mode=disallow\r\n");
  EXPECT_TRUE(BatchFilesLeft().empty());
}

// In a build whose time limit is a few seconds, a netsh that takes far longer is ended, with the
// interpreter, before the box appears; and the next click runs as usual.
TEST_F(Hotspot, ACommandOverTheTimeLimitIsEndedWithEverythingItStarted) {
  ASSERT_TRUE(::CopyFileW(BuiltFile(SHORT_LIMIT_EXE).c_str(), dir.Exe().c_str(), FALSE));
  Start("sleep=60000");
  const MessageBoxInfo box = Click(IDC_START_HOTSPOT);
  EXPECT_EQ(box.text, L"无线热点启动失败！\r\n\r\n命令在60秒内没有结束，结果未知。");
  EXPECT_TRUE(ChildProcesses(0, L"netsh.exe").empty()) << "netsh left running";
  EXPECT_TRUE(ChildProcesses(app->Pid(), L"cmd.exe").empty()) << "the interpreter left running";
  EXPECT_TRUE(BatchFilesLeft().empty());
  Ok(box);
  InstallFakeNetsh(dir);
  const MessageBoxInfo next = Click(IDC_START_HOTSPOT);
  EXPECT_EQ(next.text, L"无线热点启动成功！");
  Ok(next);
  EXPECT_EQ(NetshCalls(dir).size(), 2u);
}

// Whatever ends the program ends the command with it: netsh does not go on alone.
TEST_F(Hotspot, AProgramKilledWhileACommandRunsTakesTheCommandWithIt) {
  Start("sleep=60000");
  PostClick(Control(IDC_START_HOTSPOT));
  ASSERT_TRUE(WaitUntil([&] { return !NetshCalls(dir).empty(); }, 10s)) << "netsh started";
  app->Kill();
  EXPECT_TRUE(WaitUntil([&] { return ChildProcesses(0, L"netsh.exe").empty(); }, 5s)) << "netsh left running";
}

// Success only where netsh's exit code and what Windows says of its hosted network agree; a failure says
// why in plain words, before netsh's own. Each case starts the program afresh: it loads wlanapi.dll once.
TEST_F(Hotspot, TheOutcomeIsCheckedAgainstWhatWindowsSaysOfTheHostedNetwork) {
  const std::wstring started = L"无线热点启动失败！\r\n\r\n", created = L"无线热点创建失败！\r\n\r\n";
  const std::wstring stateWrong = L"无法启动承载网络。组或资源的状态不是执行请求操作的正确状态。";
  using Kind = WlanApiStandIn::Kind;
  const struct {
    const char* what;
    Kind api;
    std::string state, netsh;
    int button;
    std::wstring key, text;
  } cases[] = {
      {"no service", Kind::Fake, "service=0", "exit=1\noutput=无线自动配置服务(wlansvc)没有运行。", IDC_START_HOTSPOT, L"",
       started + L"Windows 的 WLAN AutoConfig 服务没有运行。请按 Win+R，输入 services.msc，启动“WLAN AutoConfig”服务。"
                 L"\r\n\r\n无线自动配置服务(wlansvc)没有运行。"},
      {"no adapter", Kind::Fake, "interfaces=0\nstate=unavailable", "exit=1\noutput=" + Utf8(stateWrong),
       IDC_START_HOTSPOT, L"",
       started + L"这台电脑上没有找到无线网卡，或者它已被禁用。请在“网络连接”中启用无线网络连接。\r\n\r\n" + stateWrong},
      {"radio off", Kind::Fake, "radio=0\nallowed=1\nstate=unavailable", "exit=1\noutput=" + Utf8(stateWrong),
       IDC_START_HOTSPOT, L"",
       started + L"无线网卡已关闭。请打开无线开关（或按 Fn 组合键），或在 Windows 中打开 WLAN。\r\n\r\n" + stateWrong},
      {"not capable", Kind::Fake, "capable=0\nstate=unavailable", "exit=1\noutput=" + Utf8(stateWrong),
       IDC_START_HOTSPOT, L"",
       started + L"无线网卡的驱动不支持承载网络，所以无法在这台电脑上建立热点。可以到电脑或网卡厂商的网站更新驱动；"
                 L"Windows 10 及以上版本可以改用“设置 → 网络和 Internet → 移动热点”。\r\n\r\n" + stateWrong},
      {"a key netsh refuses", Kind::Fake, "", "judge=1", IDC_CREATE_HOTSPOT, L"short",
       created + L"密钥必须是 8～63 个英文字母、数字或符号。\r\n\r\n参数 ssid 或 key 的值无效。"},
      {"create: exit 0, not allowed", Kind::Fake, "", "stuck=1", IDC_CREATE_HOTSPOT, L"12345678",
       created + L"netsh 报告成功，但承载网络没有被允许。"},
      {"create: exit 0, another SSID kept", Kind::Fake, "allowed=1\nssid=4f74686572", "stuck=1", IDC_CREATE_HOTSPOT,
       L"12345678", created + L"netsh 报告成功，但 Windows 保存的热点名称与输入的不同。"},
      {"start: exit 0, not active", Kind::Fake, "allowed=1", "stuck=1", IDC_START_HOTSPOT, L"",
       started + L"netsh 报告成功，但承载网络没有启动。"},
      {"close: exit 0, still allowed", Kind::Fake, "allowed=1\nstate=active", "stuck=1", IDC_CLOSE_HOTSPOT, L"",
       L"无线热点关闭失败！\r\n\r\nnetsh 报告成功，但承载网络仍然被允许。"},
      {"created", Kind::Fake, "", "", IDC_CREATE_HOTSPOT, L"12345678", L"无线热点创建成功！"},
      {"started", Kind::Fake, "allowed=1\nssid=4c756d766f536f6674", "", IDC_START_HOTSPOT, L"", L"无线热点启动成功！"},
      {"closed", Kind::Fake, "allowed=1\nstate=active", "", IDC_CLOSE_HOTSPOT, L"", L"无线热点已关闭！"},
      {"start after close: not allowed", Kind::Fake, "", "exit=1\noutput=" + Utf8(stateWrong), IDC_START_HOTSPOT, L"",
       started + L"承载网络现在是禁止状态（点过“关闭热点”之后就是这样）。请先点“创建热点”，再点“启动热点”。\r\n\r\n" +
           stateWrong},
      {"no wlanapi.dll: exit 0", Kind::Missing, "", "", IDC_START_HOTSPOT, L"", L"无线热点启动成功！"},
      {"no wlanapi.dll: exit 1", Kind::Missing, "", "exit=1\noutput=" + Utf8(stateWrong), IDC_START_HOTSPOT, L"",
       started + stateWrong},
  };
  for (const auto& c : cases) {
    const WlanApiStandIn api(c.api);
    SetWlanState(dir, c.state);
    Start(c.netsh);
    if (c.button == IDC_CREATE_HOTSPOT) Type(L"LumvoSoft", c.key);
    const MessageBoxInfo box = Click(c.button);
    EXPECT_EQ(box.text, c.text) << c.what;
    EXPECT_EQ(box.icon, box.text.find(L"失败") == std::wstring::npos ? BoxIcon::None : BoxIcon::Warning) << c.what;
    if (std::string(c.what) == "not capable") SaveScreenshot(box.hwnd, L"start_failed_not_capable");
    Ok(box);
    app.reset();  // it holds wlanapi.dll until it ends
  }
}

// A close request while the command runs (here, as the taskbar or taskkill send it) waits for the run:
// then the batch file is gone, and the notice is shown once before the end.
TEST_F(Hotspot, ACloseWhileACommandRunsEndsOnlyAfterItsBatchFileIsDeleted) {
  Start("sleep=3000");
  PostClick(Control(IDC_START_HOTSPOT));
  ASSERT_TRUE(WaitUntil([&] { return !NetshCalls(dir).empty(); }, 10s)) << "netsh started";
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  ::Sleep(500);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(app->MessageBoxes().empty()) << "nothing happens while the command runs";
  EXPECT_EQ(BatchFilesLeft(), std::vector<std::wstring>{L"QDWXRD.bat"});
  const auto box = app->WaitForMessageBox(20s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text.substr(0, 15), L"如果热点创建失败，可能是由于：");
  EXPECT_TRUE(BatchFilesLeft().empty());
  EXPECT_EQ(app->MessageBoxes().size(), 1u);
  box->PressOk();
  EXPECT_TRUE(app->WaitForExit(5s));
}

// While a command runs, the button that was clicked keeps the keyboard focus, but Shift+F10, the Menu key and
// F1 open nothing; the window answers at once throughout; and a close from the system menu is carried out
// once the command has ended, its batch file gone.
TEST_F(Hotspot, WhileACommandRunsTheKeyboardOpensNothingAndACloseWaitsForIt) {
  Start("sleep=5000");
  const HWND button = Control(IDC_START_HOTSPOT);
  ASSERT_TRUE(WaitUntil([&] { return Activate(main); }, 3s));
  ClickAt(CentreOf(button), Button::Left);
  ASSERT_TRUE(WaitUntil([&] { return !NetshCalls(dir).empty(); }, 10s)) << "netsh started";
  EXPECT_EQ(FocusOf(main), button);
  int slowAnswers = 0;
  auto answersAtOnce = [&] {
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result) == 0) ++slowAnswers;
  };
  const struct {
    WORD vk;
    bool shift;
  } keys[] = {{VK_F10, true}, {VK_APPS, false}, {VK_F1, false}};
  for (const auto& key : keys) {
    PressKey(key.vk, key.shift);
    for (int i = 0; i < 5; ++i, ::Sleep(100)) answersAtOnce();
    EXPECT_TRUE(OpenMenus(app->Pid()).empty()) << key.vk;
    EXPECT_TRUE(ChildProcesses(app->Pid(), L"hh.exe").empty()) << key.vk;
    EXPECT_TRUE(app->MessageBoxes().empty()) << key.vk;
  }
  ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  while (!ChildProcesses(0, L"netsh.exe").empty()) {
    answersAtOnce();
    EXPECT_TRUE(app->MessageBoxes().empty()) << "nothing while the command runs";
    ::Sleep(100);
  }
  EXPECT_EQ(slowAnswers, 0) << "WM_NULL timed out";
  const auto box = app->WaitForMessageBox(20s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text.substr(0, 15), L"如果热点创建失败，可能是由于：");
  EXPECT_TRUE(BatchFilesLeft().empty());
  box->PressOk();
  EXPECT_TRUE(app->WaitForExit(5s));
}

// A logoff or shutdown while a command runs: by the time the program has answered, netsh is ended and the
// batch file, with the key, deleted, and no Mobile Hotspot step follows. Only asked (which may be called
// off), it answers at once and ends nothing: the command finishes and its box is shown.
TEST_F(Hotspot, TheEndOfTheSessionEndsTheCommandAndDeletesTheBatchFileFirst) {
  const struct {
    UINT message;
    WPARAM wParam;
    bool mobileHotspot;  // the driver has no hosted network
  } cases[] = {{WM_QUERYENDSESSION, 0, false}, {WM_ENDSESSION, TRUE, false}, {WM_ENDSESSION, TRUE, true}};
  for (const auto& c : cases) {
    std::optional<WlanApiStandIn> api;
    std::optional<TetheringStandIn> tethering;
    if (c.mobileHotspot) api.emplace(WlanApiStandIn::Kind::Fake);
    if (c.mobileHotspot) tethering.emplace();
    if (c.mobileHotspot) SetWlanState(dir, "capable=0\nstate=unavailable");
    Start(c.message == WM_QUERYENDSESSION ? "sleep=5000" : "sleep=30000");
    PostClick(Control(IDC_START_HOTSPOT));
    ASSERT_TRUE(WaitUntil([&] { return !NetshCalls(dir).empty(); }, 10s)) << "netsh started";
    EXPECT_EQ(BatchFilesLeft(), std::vector<std::wstring>{L"QDWXRD.bat"});
    DWORD_PTR result = 0;
    EXPECT_NE(::SendMessageTimeoutW(main, c.message, c.wParam, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &result), 0u)
        << c.message;
    if (c.message == WM_QUERYENDSESSION) {
      EXPECT_EQ(result, static_cast<DWORD_PTR>(TRUE)) << "the session may end";
      EXPECT_FALSE(ChildProcesses(0, L"netsh.exe").empty()) << "a question ends nothing";
      EXPECT_EQ(app->WaitForMessageBox(30s).value_or(MessageBoxInfo{}).text, L"无线热点启动成功！");
    }
    EXPECT_TRUE(ChildProcesses(0, L"netsh.exe").empty()) << c.message;
    EXPECT_TRUE(BatchFilesLeft().empty()) << c.message;
    EXPECT_EQ(TetheringCalls(dir), "") << "no Mobile Hotspot call";
    app.reset();
    ::DeleteFileW(dir.File(L"netsh_calls.txt").c_str());
  }
}

// After OK on any box, the keyboard focus is back where it was, as in a dialog.
TEST_F(Hotspot, FocusReturnsToTheKeyFieldAfterEachBox) {
  Start();
  Activate(main);
  ClickAt(CentreOf(Control(IDC_KEY_EDIT)), Button::Left);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == Control(IDC_KEY_EDIT); }, 2s));
  const struct {
    const wchar_t* ssid;
    int button;
  } cases[] = {{L"", IDC_CREATE_HOTSPOT}, {L"LumvoSoft", IDC_START_HOTSPOT}};  // a notice; a command's result
  for (const auto& c : cases) {
    SetText(Control(IDC_SSID_EDIT), c.ssid);
    // The button's command without a click, which would take the focus to the button.
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(c.button, BN_CLICKED), reinterpret_cast<LPARAM>(Control(c.button)));
    const auto box = app->WaitForMessageBox(30s);
    ASSERT_TRUE(box.has_value());
    Ok(*box);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == Control(IDC_KEY_EDIT); }, 2s)) << c.button;
  }
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// The exe at the root of a drive: the application directory then ends in two backslashes, and the batch
// file must still land in (and vanish from) the root. The test command maps drive R: to an empty folder.
TEST(DriveRoot, BatchFilesAreWrittenAndRemovedInTheRoot) {
  ASSERT_TRUE(FileExists(L"R:\\")) << "drive R: is not mapped (scripts/wine-env.sh maps it)";
  DriveRootDir root(L"R:");
  InstallFakeNetsh(root);
  App app(root.Exe());
  const HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PostClick(::GetDlgItem(main, IDC_START_HOTSPOT));
  const auto box = app.WaitForMessageBox(30s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"无线热点启动成功！");
  box->PressOk();
  const auto calls = NetshCalls(root);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].batches.at(L"QDWXRD.bat"), "netsh wlan start hostednetwork\r\n");
  EXPECT_FALSE(FileExists(L"R:\\QDWXRD.bat"));
}

}  // namespace
}  // namespace e2e
