#include "hotspot/connected_devices.h"

#include <optional>

namespace lumvora {

const wchar_t kUnknownDeviceName[] = L"（未知）";

namespace {

const wchar_t kHexDigits[] = L"0123456789ABCDEF";

std::optional<int> HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return std::nullopt;
}

// Windows gives a client's MAC as text; written with or without separators, it is shown like a peer's.
std::wstring NormalizedMac(const std::wstring& text) {
  MacAddress mac{};
  std::size_t digits = 0;
  for (const wchar_t c : text) {
    if (c == L':' || c == L'-' || c == L'.') continue;
    const std::optional<int> value = HexValue(c);
    if (!value || digits == 12) return text;
    mac[digits / 2] = static_cast<std::uint8_t>(mac[digits / 2] * 16 + *value);
    ++digits;
  }
  return digits == 12 ? MacText(mac) : text;
}

std::wstring FirstHostName(const std::vector<HostNameEntry>& names, HostNameEntry::Kind kind) {
  for (const HostNameEntry& name : names) {
    if (name.kind == kind) return name.text;
  }
  return {};
}

}  // namespace

std::wstring MacText(const MacAddress& mac) {
  std::wstring text;
  for (const std::uint8_t byte : mac) {
    if (!text.empty()) text += L'-';
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 0xF];
  }
  return text;
}

std::vector<DeviceRow> HostedNetworkDevices(const std::vector<MacAddress>& peers,
                                            const std::vector<NeighbourEntry>& neighbours) {
  std::vector<DeviceRow> rows;
  for (const MacAddress& peer : peers) {
    std::wstring ipv4, ipv6;
    for (const NeighbourEntry& entry : neighbours) {
      if (entry.mac != peer) continue;
      std::wstring& ip = entry.ipv4 ? ipv4 : ipv6;
      if (ip.empty()) ip = entry.ip;
    }
    rows.push_back({kUnknownDeviceName, ipv4.empty() ? ipv6 : ipv4, MacText(peer)});
  }
  return rows;
}

std::vector<DeviceRow> TetheringClientDevices(const std::vector<TetheringClientEntry>& clients) {
  using Kind = HostNameEntry::Kind;
  std::vector<DeviceRow> rows;
  for (const TetheringClientEntry& client : clients) {
    std::wstring name = FirstHostName(client.hostNames, Kind::DomainName);
    std::wstring ip = FirstHostName(client.hostNames, Kind::Ipv4);
    if (ip.empty()) ip = FirstHostName(client.hostNames, Kind::Ipv6);
    rows.push_back({name.empty() ? kUnknownDeviceName : name, ip, NormalizedMac(client.mac)});
  }
  return rows;
}

}  // namespace lumvora
