// The internet connection shared with the hotspot after 启动热点 and taken back before 关闭热点, on the real
// exe, with stand-ins for the wireless API, netsh and Windows' sharing manager.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <objbase.h>

#include <memory>
#include <optional>
#include <set>
#include <sstream>

#include "e2e/harness.h"
#include "e2e/settings_file.h"
#include "resources/resource.h"

namespace e2e {
namespace {

// The adapter of this machine's route to the internet, as Windows names it; none without a default route.
std::optional<std::string> RouteAdapter() {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = 0x01010101;  // 1.1.1.1
  DWORD index = 0;
  NET_LUID luid{};
  GUID guid{};
  if (::GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&to), &index) != NO_ERROR ||
      ::ConvertInterfaceIndexToLuid(index, &luid) != NO_ERROR || ::ConvertInterfaceLuidToGuid(&luid, &guid) != NO_ERROR) {
    return std::nullopt;
  }
  wchar_t text[40] = {};
  ::StringFromGUID2(guid, text, 40);
  return Utf8(text);
}

TEST(Sharing, TheInternetConnectionIsSharedAfterAStartAndTakenBackBeforeAClose) {
  const std::optional<std::string> route = RouteAdapter();
  if (!route) std::printf("no default route here: only the cases that need none run\n");
  const std::string I = route.value_or("{00000000-0000-0000-0000-0000000000FF}");
  const std::string H = "{5A7E0000-0000-4000-8000-000000000002}", h = "{5a7e0000-0000-4000-8000-000000000002}",
                    O = "{0BE00000-0000-4000-8000-000000000003}", P = "{0BE00000-0000-4000-8000-000000000004}";
  // Listed as well and never touched: one whose sharing settings cannot be had, one for incoming calls only.
  const std::string X = "{0BE00000-0000-4000-8000-000000000005}", Y = "{0BE00000-0000-4000-8000-000000000006}";
  // Turning sharing off everywhere goes through the connections in the stand-in's order: its file's, sorted.
  std::vector<std::string> offEverywhere;
  for (const std::string& guid : std::set<std::string>{I, h, O, P}) offEverywhere.push_back("-" + guid + " netsh=1");
  const auto staleOnce = [&] {
    std::vector<std::string> calls{"+public " + I + " netsh=1"};
    calls.insert(calls.end(), offEverywhere.begin(), offEverywhere.end());
    calls.insert(calls.end(), {"+public " + I + " netsh=1", "+private " + h + " netsh=1"});
    return calls;
  };
  const std::wstring started = L"无线热点启动成功！\r\n";
  const std::wstring shared = started + L"已把“以太网”的互联网连接共享给热点，连上热点的设备可以上网了。";
  const std::wstring failed = L"），连上热点的设备暂时不能上网。可以按使用说明手动共享。";
  const struct {
    const char* what;
    bool registered, needsRoute, close;
    std::string roles;  // I, H, O and P: none, public or private
    std::string script, hosted;
    std::wstring text;  // the box; ending in "（" for a failure to share, whose end is fixed
    std::vector<std::string> calls;
    std::string rolesAfter;
    std::wstring thenClose = {};  // the box of a 关闭热点 that follows, the hosted network unavailable by then
  } cases[] = {
      {"nothing shared", true, true, false, "none none none none", "", H, shared,
       {"+public " + I + " netsh=1", "+private " + h + " netsh=1"}, "public private none none"},
      {"already shared", true, true, false, "public private none none", "", H, shared, {}, "public private none none"},
      {"another pair moves", true, true, false, "none none public private", "", H, shared,
       {"-" + O + " netsh=1", "-" + P + " netsh=1", "+public " + I + " netsh=1", "+private " + h + " netsh=1"},
       "public private none none"},
      {"stale settings once", true, true, false, "none none none none",
       "fail=+public " + I + "\nfailcode=80040201\nfailtimes=1", H, shared,
       staleOnce(), "public private none none"},
      {"failing for good", true, true, false, "none none public private", "fail=+private " + h, H,
       started + L"没能共享互联网连接（",
       {"-" + O + " netsh=1", "-" + P + " netsh=1", "+public " + I + " netsh=1", "+private " + h + " netsh=1",
        "-" + I + " netsh=1", "+public " + O + " netsh=1", "+private " + P + " netsh=1"},
       "none none public private"},
      // The route leads through the hotspot's own adapter: nothing to share.
      {"no internet", true, false, false, "none none none none", "", route ? I : H,
       started + L"这台电脑现在没有连上互联网，连上热点的设备暂时不能上网。", {}, "none none none none"},
      // The user's own pair (Ethernet shared with a virtual machine's adapter) makes way, and comes back after.
      {"the user's pair comes back", true, true, false, "public none none private", "", H, shared,
       {"-" + I + " netsh=1", "-" + P + " netsh=1", "+public " + I + " netsh=1", "+private " + h + " netsh=1",
        "-" + h + " netsh=1", "-" + I + " netsh=1", "+public " + I + " netsh=1", "+private " + P + " netsh=1"},
       "public none none private", L"无线热点已关闭！"},
      {"close takes it back first", true, false, true, "public private none none", "", H, L"无线热点已关闭！",
       {"-" + h + " netsh=0", "-" + I + " netsh=0"}, "none none none none"},
      {"no sharing manager", false, false, false, "none none none none", "", H, started + L"没能共享互联网连接（", {},
       "none none none none"},
  };
  for (const auto& c : cases) {
    if (c.needsRoute && !route) continue;
    SCOPED_TRACE(c.what);
    AppDir dir;
    const WlanApiStandIn api(WlanApiStandIn::Kind::Fake);
    std::optional<SharingManagerStandIn> manager;
    if (c.registered) manager.emplace();
    SetWlanState(dir, "allowed=1\nipdevice=" + c.hosted + (c.close ? "\nstate=active" : ""));
    const std::string guids[] = {I, h, O, P};
    const std::string names[] = {"以太网", "本地连接* 2", "宽带连接", "本地连接 3"};
    std::istringstream roles(c.roles);
    std::string state = c.script + "\n", role;
    for (int i = 0; i < 4 && roles >> role; ++i) state += guids[i] + "=" + role + "," + names[i] + "\n";
    state += "noconfig" + X + "=1\n" + X + "=none,VPN 连接\nflags" + Y + "=20\n" + Y + "=none,传入的连接\n";
    WriteFileBytes(dir.File(L"ics_state.txt"), state);
    InstallFakeNetsh(dir);
    App app(dir.Exe());
    const HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    PostClick(::GetDlgItem(main, c.close ? IDC_CLOSE_HOTSPOT : IDC_START_HOTSPOT));
    const auto box = app.WaitForMessageBox(90s);
    ASSERT_TRUE(box.has_value());
    if (c.text.back() == L'（') {
      EXPECT_EQ(box->text.substr(0, c.text.size()), c.text);
      EXPECT_EQ(box->text.substr(box->text.size() - std::wstring(failed).size()), failed) << Utf8(box->text);
      EXPECT_EQ(box->icon, BoxIcon::Warning);
    } else {
      EXPECT_EQ(box->text, c.text);
      EXPECT_EQ(box->icon, BoxIcon::None);
    }
    if (std::string(c.what) == "nothing shared") SaveScreenshot(box->hwnd, L"start_shared");
    box->PressOk();
    if (!c.thenClose.empty()) {
      SetWlanState(dir, "allowed=1\nstate=unavailable");
      ASSERT_TRUE(WaitUntil([&] { return app.MessageBoxes().empty() && ::IsWindowEnabled(main); }, 5s));
      PostClick(::GetDlgItem(main, IDC_CLOSE_HOTSPOT));
      EXPECT_EQ(app.WaitForMessageBox(90s).value_or(MessageBoxInfo{}).text, c.thenClose);
    }
    std::vector<std::string> calls;
    std::istringstream recorded(ReadFileBytes(dir.File(L"ics_calls.txt")));
    for (std::string line; std::getline(recorded, line);) calls.push_back(line);
    EXPECT_EQ(calls, c.calls);
    Settings after = ReadSettings(dir.File(L"ics_state.txt"));
    std::string rolesAfter;
    for (const std::string& guid : guids) {
      if (!rolesAfter.empty()) rolesAfter += ' ';
      rolesAfter += after[guid].substr(0, after[guid].find(','));
    }
    EXPECT_EQ(rolesAfter, c.rolesAfter);
    EXPECT_EQ(NetshCalls(dir).size(), c.thenClose.empty() ? 1u : 2u);
  }
}

}  // namespace
}  // namespace e2e
