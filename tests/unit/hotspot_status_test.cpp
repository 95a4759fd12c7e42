// The status window's portable parts: the join code's text and modules, and the rows of the device list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "hotspot/connected_devices.h"
#include "hotspot/join_code.h"

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

}  // namespace
}  // namespace lumvora::testing
