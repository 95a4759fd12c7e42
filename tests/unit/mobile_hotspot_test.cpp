// Windows' Mobile Hotspot standing in where the driver has no hosted network: when it is asked, what for,
// and the box that follows, against a scripted stand-in.
#include <gtest/gtest.h>

#include "hotspot/hotspot_operations.h"
#include "hotspot/mobile_hotspot_step.h"
#include "unit/fakes.h"

namespace lumvora::testing {
namespace {

MobileHotspotResult Shared(TetheringState state, std::optional<TetheringStatus> status = std::nullopt) {
  MobileHotspotResult result;
  result.internet = result.manager = true;
  result.profileName = L"以太网 2";
  result.state = state;
  result.status = status;
  result.ssid = L"LumvoSoft";
  result.passphrase = L"12345678";
  return result;
}
MobileHotspotResult With(MobileHotspotResult result, std::int32_t hresult, bool internet, std::wstring ssid) {
  result.hresult = hresult;
  result.systemText = L"参数错误。";
  result.internet = result.manager = internet;
  result.ssid = std::move(ssid);
  return result;
}

enum Button { kCreate, kStart, kClose };
constexpr auto kOn = TetheringState::On, kOff = TetheringState::Off, kMoving = TetheringState::InTransition;
constexpr int kInvalidArg = static_cast<std::int32_t>(0x80070057);

TEST(MobileHotspot, StandsInOnlyWhereTheDriverLacksTheHostedNetworkAndSaysWhatHappened) {
  const std::wstring in = std::wstring(L"\r\n\r\n") + kMobileHotspotStoodInLine + L"\r\n";
  const std::wstring created = L"无线热点创建成功！", createFailed = L"无线热点创建失败！", started = L"无线热点启动成功！",
                     startFailed = L"无线热点启动失败！", closed = L"无线热点已关闭！", closeFailed = L"无线热点关闭失败！";
  const struct {
    const char* what;
    Button button;
    std::wstring key;
    bool capable, available;
    MobileHotspotResult result;  // what the one operation answers (close: the stop, after a query saying on)
    std::wstring calls, text;
  } cases[] = {
      {"create works", kCreate, L"12345678", false, true, Shared(kOff), L"Available Configure(LumvoSoft,12345678) ",
       created + in.substr(0, in.size() - 2)},
      {"create kept another name", kCreate, L"12345678", false, true, With(Shared(kOff), 0, true, L"Other"),
       L"Available Configure(LumvoSoft,12345678) ", createFailed + in + L"Windows 的“移动热点”保存的名称或密钥与输入的不同。"},
      {"create: a key it refuses", kCreate, L"short", false, true, With(Shared(kOff), kInvalidArg, true, L""),
       L"Available Configure(LumvoSoft,short) ", createFailed + in + kKeyRuleLine},
      {"start works", kStart, L"", false, true, Shared(kOn, TetheringStatus::Success), L"Available Start ",
       started + in + L"已共享“以太网 2”的互联网连接，连上热点的设备可以上网了。"},
      {"no internet to share", kStart, L"", false, true, MobileHotspotResult{}, L"Available Start ",
       startFailed + in + kNoInternetToShareLine},
      {"Wi-Fi off", kStart, L"", false, true, Shared(kOff, TetheringStatus::WiFiDeviceOff), L"Available Start ",
       startFailed + in + kRadioOffLine},
      {"in progress", kStart, L"", false, true, Shared(kOff, TetheringStatus::OperationInProgress), L"Available Start ",
       startFailed + in + kMobileHotspotBusyLine},
      {"state stays Off", kStart, L"", false, true, Shared(kOff, TetheringStatus::Success), L"Available Start ",
       startFailed + in + L"Windows 的“移动热点”没有开启。"},
      {"another status, with Windows' words", kStart, L"", false, true,
       [] { auto r = Shared(kOff, TetheringStatus::EntitlementCheckFailure); r.additionalErrorMessage = L"运营商拒绝"; return r; }(),
       L"Available Start ", startFailed + in + L"Windows 的“移动热点”回答（状态 5）：移动运营商不允许这个账户共享网络。\r\n运营商拒绝"},
      {"no answer in time", kStart, L"", false, true, [] { MobileHotspotResult r; r.timedOut = true; return r; }(),
       L"Available Start ", startFailed + in + kMobileHotspotTimedOutLine},
      {"no manager: the system's words", kStart, L"", false, true, With(MobileHotspotResult{}, kInvalidArg, false, L""),
       L"Available Start ", startFailed + in + L"Windows 的“移动热点”出错（0x80070057）：参数错误。"},
      {"close works", kClose, L"", false, true, Shared(kOff, TetheringStatus::Success), L"Available Query Stop ",
       closed + in.substr(0, in.size() - 2)},
      {"close still moving", kClose, L"", false, true, Shared(kMoving, TetheringStatus::Success),
       L"Available Query Stop ", closeFailed + in + kMobileHotspotBusyLine},
      {"API missing: today's box", kStart, L"", false, false, {}, L"Available ",
       startFailed + L"\r\n\r\n" + kNotCapableLine + L"\r\n\r\n无法启动承载网络。"},
      {"driver capable: never asked", kStart, L"", true, true, {}, L"", started},
  };
  for (const auto& c : cases) {
    ControllerRig rig;
    FakeMobileHotspot& hotspot = rig.mobileHotspot;
    hotspot.available = c.available;
    hotspot.configured = hotspot.started = hotspot.stopped = c.result;
    hotspot.queried = Shared(kOn);
    rig.controller.Start();
    HostedNetworkState& network = rig.command.hostedNetwork;
    network.apiPresent = network.serviceRunning = network.answered = network.interfacesFound = network.radioOn = true;
    network.capable = network.allowed = c.capable;
    network.status = c.capable ? HostedNetworkStatus::Active : HostedNetworkStatus::Unavailable;
    rig.command.runResult = {true, c.capable ? 0u : 1u, c.capable ? L"" : L"无法启动承载网络。"};
    rig.view.ssid = L"LumvoSoft";
    rig.view.key = c.key;
    if (c.button == kCreate) rig.controller.OnCreateHotspotClick();
    if (c.button == kStart) rig.controller.OnStartHotspotClick();
    if (c.button == kClose) rig.controller.OnCloseHotspotClick();
    EXPECT_EQ(hotspot.calls, c.calls) << c.what;
    ASSERT_EQ(rig.session.messages.size(), 1u) << c.what;
    EXPECT_EQ(rig.session.messages[0].text, c.text) << c.what;
    EXPECT_EQ(rig.session.messages[0].icon, c.text.find(L"失败") == std::wstring::npos ? MessageIcon::None : MessageIcon::Warning)
        << c.what;
  }
}

// A close where the Mobile Hotspot is off already asks nothing more than its state.
TEST(MobileHotspot, ACloseWhereItIsOffOnlyLooks) {
  FakeMobileHotspot hotspot;
  hotspot.queried = Shared(kOff);
  const MobileHotspotResult result = RunMobileHotspot(hotspot, CloseOperation());
  EXPECT_EQ(hotspot.calls, L"Query ");
  EXPECT_TRUE(JudgeMobileHotspot(CloseOperation(), result).succeeded);
}

}  // namespace
}  // namespace lumvora::testing
