// Windows' Mobile Hotspot standing in on the real exe, where the wireless stand-in says the driver has no
// hosted network: the Mobile Hotspot classes are the test's (fake_tethering.cpp), registered for the cases
// that need them; unregistered, they answer "class not registered" as in Wine's own prefix.
#include <gtest/gtest.h>

#include <memory>

#include "e2e/harness.h"
#include "resources/resource.h"

namespace e2e {
namespace {

TEST(MobileHotspot, StandsInForTheHostedNetworkWhereTheDriverHasNone) {
  const std::wstring stoodIn = L"\r\n\r\n这台电脑的无线网卡不支持承载网络，Lumvora 改用了 Windows 的“移动热点”。";
  const std::wstring startFailed = L"无线热点启动失败！" + stoodIn + L"\r\n";
  const std::wstring stateWrong = L"无法启动承载网络。组或资源的状态不是执行请求操作的正确状态。";
  const std::string notCapable = "capable=0\nstate=unavailable", netshFails = "exit=1\noutput=" + Utf8(stateWrong);
  const std::string profile = "GetInternetConnectionProfile\n";
  const std::wstring notCapableText =
      L"无线热点启动失败！\r\n\r\n无线网卡的驱动不支持承载网络，所以无法在这台电脑上建立热点。可以到电脑或网卡厂商的网站更新驱动；"
      L"Windows 10 及以上版本可以改用“设置 → 网络和 Internet → 移动热点”。\r\n\r\n" + stateWrong;
  const struct {
    const char* what;
    bool registered;
    std::string wlan, tethering, netsh;
    int button;
    std::wstring text;
    std::string calls;
    std::wstring again = {};  // the box of a second click while the first one's call still runs (3 s build)
  } cases[] = {
      // Only name and key change: the user's 5 GHz band stays.
      {"create", true, notCapable, "band=2", "", IDC_CREATE_HOTSPOT, L"无线热点创建成功！" + stoodIn,
       profile + "Configure LumvoSoft 12345678 band=2\n"},
      {"start", true, notCapable, "profile=以太网 2", netshFails, IDC_START_HOTSPOT,
       L"无线热点启动成功！" + stoodIn + L"\r\n已共享“以太网 2”的互联网连接，连上热点的设备可以上网了。", profile + "start\n"},
      {"close", true, notCapable, "state=on", "", IDC_CLOSE_HOTSPOT, L"无线热点已关闭！" + stoodIn,
       profile + profile + "stop\n"},
      {"close without internet", true, notCapable, "internet=0\nstate=on", "", IDC_CLOSE_HOTSPOT,
       L"无线热点已关闭！" + stoodIn, profile + profile + "stop\n"},
      {"never completes", true, notCapable, "never=start", netshFails, IDC_START_HOTSPOT,
       startFailed + L"Windows 的“移动热点”没有及时回答，结果还不知道：它仍在进行。请稍等几秒，再点一次按钮查看。",
       profile + "start\n", L"上一次操作还没有结束，请稍等几秒再试。"},
      {"no internet", true, notCapable, "internet=0", netshFails, IDC_START_HOTSPOT,
       startFailed + L"Windows 的“移动热点”需要一个可以共享的互联网连接，这台电脑现在没有连上互联网。", profile},
      {"Wi-Fi off", true, notCapable, "start=3", netshFails, IDC_START_HOTSPOT,
       startFailed + L"无线网卡已关闭。请打开无线开关（或按 Fn 组合键），或在 Windows 中打开 WLAN。", profile + "start\n"},
      {"in progress", true, notCapable, "start=6", netshFails, IDC_START_HOTSPOT,
       startFailed + L"Windows 的“移动热点”正在开启或关闭，请稍等几秒再试。", profile + "start\n"},
      {"stays off", true, notCapable, "stuck=1", netshFails, IDC_START_HOTSPOT,
       startFailed + L"Windows 的“移动热点”没有开启。", profile + "start\n"},
      {"not registered", false, notCapable, "", netshFails, IDC_START_HOTSPOT, notCapableText, ""},
      {"before Windows 10 1607", true, notCapable, "statics3=0", netshFails, IDC_START_HOTSPOT, notCapableText, ""},
      {"driver capable", true, "allowed=1", "", "", IDC_START_HOTSPOT, L"无线热点启动成功！", ""},
  };
  for (const auto& c : cases) {
    AppDir dir;
    const WlanApiStandIn api(WlanApiStandIn::Kind::Fake);
    std::unique_ptr<TetheringStandIn> tethering(c.registered ? new TetheringStandIn : nullptr);
    SetWlanState(dir, c.wlan);
    SetTetheringState(dir, c.tethering);
    InstallFakeNetsh(dir, c.netsh);
    if (!c.again.empty()) {
      ASSERT_TRUE(::CopyFileW(BuiltFile(SHORT_LIMIT_EXE).c_str(), dir.Exe().c_str(), FALSE));
    }
    App app(dir.Exe());
    const HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr) << c.what;
    SetText(::GetDlgItem(main, IDC_SSID_EDIT), L"LumvoSoft");
    SetText(::GetDlgItem(main, IDC_KEY_EDIT), L"12345678");
    PostClick(::GetDlgItem(main, c.button));
    const auto box = app.WaitForMessageBox(40s);
    ASSERT_TRUE(box.has_value()) << c.what;
    EXPECT_EQ(box->text, c.text) << c.what;
    EXPECT_EQ(box->icon, box->text.find(L"失败") == std::wstring::npos ? BoxIcon::None : BoxIcon::Warning) << c.what;
    EXPECT_EQ(TetheringCalls(dir), c.calls) << c.what;
    box->PressOk();
    if (c.again.empty()) continue;
    ASSERT_TRUE(WaitUntil([&] { return app.MessageBoxes().empty() && ::IsWindowEnabled(main); }, 5s));
    PostClick(::GetDlgItem(main, c.button));
    const MessageBoxInfo next = app.WaitForMessageBox(20s).value_or(MessageBoxInfo{});
    EXPECT_EQ(next.text, c.again);
    EXPECT_EQ(next.icon, BoxIcon::Information);
    EXPECT_EQ(NetshCalls(dir).size(), 1u) << "the second click ran no command";
  }
}

}  // namespace
}  // namespace e2e
