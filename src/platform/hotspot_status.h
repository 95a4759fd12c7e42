// What the status window reads of Windows: the hosted network with its key, its peers and the neighbour
// table of its adapter, and Windows' Mobile Hotspot with its clients. Read only: nothing here changes a
// setting. The Win32 layer implements it; the unit tests with a scripted fake. Nothing here includes a
// Windows header.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/command_operations.h"
#include "platform/mobile_hotspot.h"

namespace lumvora {

using MacAddress = std::array<std::uint8_t, 6>;

// An entry of the hosted adapter's neighbour table (ARP for IPv4, neighbour discovery for IPv6).
struct NeighbourEntry {
  MacAddress mac{};
  std::wstring ip;
  bool ipv4 = true;
};

// The hosted network as Windows holds it.
struct HostedNetworkReading {
  HostedNetworkState state;
  // Its key where Windows holds a pass phrase (not a binary key), without the NUL that Windows counts in.
  std::optional<std::string> passphrase;
  // The devices that have joined it (authenticated), while it is active.
  std::vector<MacAddress> peers;
  // The neighbour table of its adapter, where its status names one.
  std::vector<NeighbourEntry> neighbours;
};

class HotspotStatusReader {
 public:
  virtual ~HotspotStatusReader() = default;
  // Loads the wireless API and the IP helper on first use, never at start-up.
  virtual HostedNetworkReading ReadHostedNetwork() = 0;
  // Bytes in the ANSI code page, as text: how an SSID that is not UTF-8 is shown.
  virtual std::wstring FromAnsiCodePage(const std::vector<std::uint8_t>& bytes) = 0;
  // Whether this Windows offers the Mobile Hotspot to programs (Windows 10 1607 and later).
  virtual bool MobileHotspotAvailable() = 0;
  // Its state, its configuration, the connection it shares and, while it is on, its clients. Waits a
  // limited time: a call that did not answer is reported as timed out (and a new one is not started while
  // it still runs).
  virtual MobileHotspotResult ReadMobileHotspot() = 0;
};

}  // namespace lumvora
