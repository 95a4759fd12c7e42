// The status window's portable parts: the join code's text and modules, the rows of the device list, the
// lines for each state, and its controller.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "hotspot/connected_devices.h"
#include "hotspot/join_code.h"
#include "hotspot/mobile_hotspot_step.h"
#include "unit/fakes.h"

namespace lumvora::testing {
namespace {

TEST(JoinCode, TextEscapesNameAndKeyInUtf8) {
  const struct { std::wstring ssid, key; std::string text; } cases[] = {
      {L"a\\b;c,d:e\"f", L"12345678", "WIFI:T:WPA;S:a\\\\b\\;c\\,d\\:e\\\"f;P:12345678;;"},
      {L"Lumvo", L"k\\e;y,:\"", "WIFI:T:WPA;S:Lumvo;P:k\\\\e\\;y\\,\\:\\\";;"},
      {L"热点", L"12345678", "WIFI:T:WPA;S:\xE7\x83\xAD\xE7\x82\xB9;P:12345678;;"},
      // Windows' UTF-16: a surrogate pair is one character, a lone surrogate none that UTF-8 can carry.
      {{wchar_t(0xD842), wchar_t(0xDFB7), wchar_t(0xDFB7)}, L"1", "WIFI:T:WPA;S:\xF0\xA0\xAE\xB7\xEF\xBF\xBD;P:1;;"},
      {L"open:net", L"", "WIFI:T:nopass;S:open\\:net;;"},
  };
  for (const auto& c : cases) EXPECT_EQ(WifiJoinText(c.ssid, c.key), c.text);
}

// A finder pattern: dark ring, light ring, dark 3 x 3 centre, and a light separator round it.
bool FinderAt(const QrCodeModules& qr, int left, int top) {
  for (int y = -1; y <= 7; ++y)
    for (int x = -1; x <= 7; ++x) {
      const int ring = std::max(std::abs(x - 3), std::abs(y - 3));
      if (qr.Dark(left + x, top + y) != (ring != 2 && ring != 4)) return false;
    }
  return true;
}

TEST(JoinCode, ModulesFormTheSmallestQrCodeAtLevelMOrBetter) {
  // 35 bytes take version 3; 2331 are the most that version 40 holds at level M.
  const struct { std::string text; int size; } cases[] = {
      {WifiJoinText(L"LumvoSoft", L"12345678"), 29}, {std::string(2331, 'x'), 177}, {std::string(2332, 'x'), 0}};
  for (const auto& c : cases) {
    const QrCodeModules qr = EncodeJoinCode(c.text);
    ASSERT_EQ(qr.size, c.size) << c.text.size() << " bytes";
    ASSERT_EQ(qr.dark.size(), std::size_t(qr.size * qr.size));
    if (qr.size == 0) continue;
    EXPECT_GE(qr.ecc, QrEcc::Medium);
    EXPECT_TRUE(FinderAt(qr, 0, 0) && FinderAt(qr, qr.size - 7, 0) && FinderAt(qr, 0, qr.size - 7));
    EXPECT_TRUE(qr.Dark(8, qr.size - 8));  // the module that is dark in every QR code
  }
  EXPECT_NE(EncodeJoinCode(std::string("a\0b", 3)).dark, EncodeJoinCode("a").dark);
}

TEST(ConnectedDevices, RowsFromHostedNetworkPeersAndMobileHotspotClients) {
  const MacAddress a{0xAA, 0xBB, 0xCC, 0x0D, 0xEE, 0xF0}, b{0, 0x11, 0x22, 0x33, 0x44, 0x55}, c{1, 2, 3, 4, 5, 6};
  const std::vector<NeighbourEntry> neighbours = {
      {a, L"fe80::1", false}, {a, L"192.168.137.2"}, {b, L"fe80::2", false}, {b, L"fe80::3", false}};
  using K = HostNameEntry::Kind;
  const std::wstring unknown = L"（未知）";
  const struct { std::vector<DeviceRow> rows, expected; } cases[] = {
      {HostedNetworkDevices({b, a, c}, neighbours),
       {{unknown, L"fe80::2", L"00-11-22-33-44-55"}, {unknown, L"192.168.137.2", L"AA-BB-CC-0D-EE-F0"},
        {unknown, L"", L"01-02-03-04-05-06"}}},
      {TetheringClientDevices({{L"aabbcc0deef0", {{K::Ipv6, L"fe80::1"}, {K::Ipv4, L"192.168.137.5"},
                                                  {K::DomainName, L"iPhone"}, {K::DomainName, L"other"}}},
                               {L"00:11:22:33:44:55", {{K::Bluetooth, L"bt"}, {K::Ipv6, L"fe80::2"}}},
                               {L"AA-BB-CC-DD-EE-FF-00", {{K::Ipv4, L"192.168.137.9"}}}, {L"AA-BB-CC-DD-EE", {}}}),
       {{L"iPhone", L"192.168.137.5", L"AA-BB-CC-0D-EE-F0"}, {unknown, L"fe80::2", L"00-11-22-33-44-55"},
        {unknown, L"192.168.137.9", L"AA-BB-CC-DD-EE-FF-00"}, {unknown, L"", L"AA-BB-CC-DD-EE"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.rows, c.expected);
}

std::wstring Ansi(const std::vector<std::uint8_t>& bytes) { return L"ANSI:" + std::wstring(bytes.begin(), bytes.end()); }

TEST(HotspotStatus, TheStateLineForEachState) {
  MobileHotspotResult on, noAnswer, noManager;
  on.manager = true, on.state = TetheringState::On, noAnswer.timedOut = true;
  const struct { std::function<void(HotspotStatus&)> set; std::wstring line; } cases[] = {
      {[](HotspotStatus& s) { s.hosted.state.status = HostedNetworkStatus::Active; }, L"热点已开启（承载网络）"},
      {[&](HotspotStatus& s) { s.mobile = on; }, L"热点已开启（Windows 的“移动热点”）"},
      {[&](HotspotStatus& s) { s.mobile = noAnswer; }, kMobileHotspotNoAnswerLine},
      {[&](HotspotStatus& s) { s.mobile = noManager; }, kMobileHotspotUnreachableLine},
      {[](HotspotStatus& s) { s.hosted.state.serviceRunning = false; }, kServiceStoppedLine},
      {[](HotspotStatus& s) { s.hosted.state.interfacesFound = false; }, kNoAdapterLine},
      {[](HotspotStatus& s) { s.hosted.state.radioOn = false; }, kRadioOffLine},
      {[](HotspotStatus& s) { s.hosted.state.capable = false; }, kNotCapableLine},
      {[](HotspotStatus&) {}, L"热点没有开启"},
  };
  for (const auto& c : cases) {
    HotspotStatus status;
    status.hosted.state = {true, true, true, true, true, true, true, HostedNetworkStatus::Idle, {}, {}};
    c.set(status);
    EXPECT_EQ(DescribeHotspotStatus(status, Ansi).state, c.line);
  }
}

TEST(HotspotStatus, NameKeySharedConnectionCodeAndDevicesOfTheNetworkThatIsOn) {
  HotspotStatus hosted;
  hosted.hosted = {{true, true, true, true, true, true, true, HostedNetworkStatus::Active, std::vector<std::uint8_t>{'N', ';'},
                    L"{5a7e0000-0000-4000-8000-000000000002}"}, "k:12345678", {{1, 2, 3, 4, 5, 6}}, {}};
  hosted.connections = {{{L"{5A7E0000-0000-4000-8000-000000000002}", L"本地连接* 2", true, SharingRole::Private},
                         {L"{1}", L"以太网", true, SharingRole::Public}}};
  const HotspotStatusLines lines = DescribeHotspotStatus(hosted, Ansi);
  EXPECT_EQ(std::vector<std::wstring>({lines.name, lines.key, lines.shared, lines.devicesHeading}),
            std::vector<std::wstring>({L"热点名称：N;", L"密钥：k:12345678", L"共享的互联网连接：以太网", L"已连接的设备（1）"}));
  EXPECT_EQ(lines.joinText, "WIFI:T:WPA;S:N\\;;P:k\\:12345678;;");
  EXPECT_EQ(lines.joinCode.dark, EncodeJoinCode(lines.joinText).dark);
  EXPECT_EQ(lines.codeHint, kScanHintLine);
  hosted.hosted.state.ssid = {0xC8, 0xC8};
  EXPECT_EQ(DescribeHotspotStatus(hosted, Ansi).codeHint, kNameNotForCodeLine) << "on, with a key: why no code";
  // A name that is not UTF-8 is read in the ANSI code page, and gets no code; a key that is not ASCII is unknown.
  hosted.hosted.state.ssid = {0xC8, 0xC8}, hosted.hosted.passphrase = "\x80\x81";
  const HotspotStatusLines other = DescribeHotspotStatus(hosted, Ansi);
  EXPECT_EQ(other.name + other.key, L"热点名称：ANSI:\xC8\xC8密钥：（未知）");
  EXPECT_TRUE(other.joinText.empty() && other.joinCode.size == 0);
  EXPECT_EQ(SsidText({0xE7, 0x83, 0xAD}, Ansi), L"热");
  for (const std::vector<std::uint8_t>& bad : {std::vector<std::uint8_t>{0xC0, 0x80}, {0xED, 0xA0, 0x80}, {0xE7, 0x83}}) {
    EXPECT_EQ(SsidText(bad, Ansi).substr(0, 5), L"ANSI:") << "overlong, surrogate, cut short";
  }
}

TEST(HotspotStatus, TheLabelOpensTheWindowWhichReadsOnItsOwnWorkerEvery3SecondsWhileOpen) {
  ControllerRig rig;
  rig.statusWorker.hold = true;
  rig.controller.OnStatusLinkClick();
  EXPECT_EQ(rig.statusView.content.state, L"正在读取热点的状态……");
  rig.statusWorker.Finish();
  EXPECT_EQ(rig.statusView.content.state, L"热点没有开启");
  EXPECT_EQ(rig.statusView.refreshAfter, std::chrono::milliseconds(3000));
  rig.statusController.OnStatusRefreshDue();
  rig.statusWorker.Finish();
  rig.statusView.open = false;
  rig.statusController.OnStatusRefreshDue();
  EXPECT_EQ(rig.hotspotStatus.reads, 2) << "two reads while open, none after";
  // While a command runs on the command's worker, the label opens nothing.
  rig.worker.hold = true;
  rig.controller.OnStartHotspotClick();
  rig.controller.OnStatusLinkClick();
  EXPECT_FALSE(rig.statusView.open);
}

}  // namespace
}  // namespace lumvora::testing
